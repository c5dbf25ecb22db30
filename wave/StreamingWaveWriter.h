#pragma once
// A capture file written while its sound is still arriving, so that a take of
// any length passes through memory a few kilobytes at a time.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/FileDescriptor.h"
#include "wave/TakeFile.h"

namespace tonarel {

/// Writes the 44-byte capture file layout of TakeFile.h to an open file,
/// front to back: first the header of an empty capture file (a placeholder whose
/// lengths say "no sound"), then the sound as it is appended; Finish writes
/// the real lengths into the header.
///
/// Only whole frames reach the file. The start of a frame that has not fully
/// arrived is held here (at most one frame less one byte) until the rest
/// comes. Sound beyond the writer's limit is dropped, as a WAV header cannot
/// state more.
///
/// Errors are errno values. After the first failed write nothing more is
/// written, and every later call returns that error again.
class StreamingWaveWriter {
public:
    /// Takes over `file`, open for writing (and reading, for a caller that
    /// copies from it later) at offset 0 of an empty file, and writes the
    /// placeholder header; Error() tells whether that worked. At most
    /// `maxDataBytes` of sound are kept, rounded down to whole frames; it may
    /// not exceed MaxCaptureDataBytes(format).
    StreamingWaveWriter(FileDescriptor file, const CaptureFormat& format, uint32_t maxDataBytes);

    StreamingWaveWriter(const StreamingWaveWriter&) = delete;
    StreamingWaveWriter& operator=(const StreamingWaveWriter&) = delete;

    /// Appends captured sound in the file's format. Returns 0, or the errno
    /// of the write that failed.
    int Append(std::span<const std::byte> sound);

    /// Writes the lengths of the whole frames appended so far into the header
    /// (the file is then a complete capture file). Appending may go on after
    /// it; the next Finish states the longer length. Returns 0 or an errno.
    int Finish();

    /// Bytes of whole frames in the file after the header.
    uint32_t DataBytes() const { return dataBytes_; }
    /// The bytes of an incomplete frame, held back.
    std::span<const std::byte> HeldBytes() const { return held_; }
    /// 0 while every write has worked, else the errno of the first that failed.
    int Error() const { return error_; }
    /// The file written to, still owned here (for reading it: pread, which
    /// leaves the writing position alone).
    int Descriptor() const { return file_.Get(); }
    /// Gives the file up to the caller, positioned at the end of the sound.
    FileDescriptor ReleaseFile() { return std::move(file_); }

private:
    /// Writes whole frames, as many as the limit leaves room for.
    int WriteFrames(std::span<const std::byte> frames);

    FileDescriptor file_;
    CaptureFormat format_;
    uint32_t frameBytes_;
    uint32_t maxDataBytes_;
    uint32_t dataBytes_ = 0;
    std::vector<std::byte> held_;
    int error_ = 0;
};

}  // namespace tonarel
