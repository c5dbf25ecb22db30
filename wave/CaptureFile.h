#pragma once
// Reading a capture file: its header, then its bytes in order from any file
// offset. Each reader is one open of the file with its own position; an
// analysis opens the take once and passes the one reader to both readings.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

#include "common/RegularFile.h"
#include "wave/WaveHeader.h"

namespace tonarel {

class CaptureFile {
public:
    enum class OpenError {
        kCannotOpen,         ///< missing, unreadable, or a directory; systemError says why
        kShorterThanHeader,  ///< fewer than 44 bytes
        kNotRegularFile,     ///< a FIFO, a device or a socket: never read, never waited on
    };
    struct OpenFailure {
        OpenError error;
        int systemError;  ///< an errno value for kCannotOpen, else 0
    };

    /// Opens `fileName` for reading (never creating it) and reads its 44-byte
    /// header; the reader then stands at file offset 44, the first data byte.
    /// Returns nothing, and fills `failure` when given, if the file cannot be
    /// opened, is not a regular file (refused at once, see
    /// OpenRegularFileForReading) or holds less than a header. The header's fields are not
    /// checked here: a wrong sample width is the caller's to judge.
    static std::optional<CaptureFile> Open(const std::filesystem::path& fileName, OpenFailure* failure = nullptr);

    const WaveHeader& Header() const { return header_; }

    /// The length of the whole file in bytes, as it was when opened.
    uint64_t FileBytes() const { return fileBytes_; }

    /// The sample bytes that a scan of the take may read: DataSize, but
    /// never more than the file holds behind its header (a truncated take
    /// reads like a shorter one). A negative DataSize (0xFFFFFFFF is what a
    /// writer that did not know the length puts there) reads like one beyond
    /// the file: the bytes present, at most 0x7FFFFFFF.
    uint32_t DataBytesPresent() const;

    /// Reads up to `byteCount` bytes at the current position into
    /// `destination`; returns how many arrived (fewer only at the end of the
    /// file or on a read error, which is treated as the end).
    std::size_t Read(void* destination, std::size_t byteCount);

    /// The next `sampleCount` samples (at most kMostViewedSamples) at the
    /// current position, read in place without copying, and moves past them.
    /// Fewer only at the end of the file; an odd last byte is left unread.
    /// The view is valid until the next call on this reader.
    std::span<const int16_t> ViewSamples(std::size_t sampleCount);
    static constexpr std::size_t kMostViewedSamples = 4096;

    /// Moves to `fileOffset` counted from byte 0 of the file; false if the
    /// position cannot be reached.
    bool SeekToFileOffset(uint64_t fileOffset);

    /// The bytes a reader reads ahead, allocated once per open whatever the
    /// file's length.
    static constexpr std::size_t kReadAheadBytes = 64 * 1024;

private:
    CaptureFile() = default;

    // Refills the buffer so that it holds at least `byteCount` bytes from the
    // current position (fewer at the end of the file), with the current
    // position at the buffer's start.
    void Buffer(std::size_t byteCount);

    OwnedFile file_;
    // Bytes read ahead, held as samples so that views of them are samples.
    std::unique_ptr<int16_t[]> buffer_;
    std::size_t bufferedFrom_ = 0;  // byte index of the current position in buffer_
    std::size_t bufferedTo_ = 0;    // byte index just past the bytes read ahead
    WaveHeader header_{};
    uint64_t fileBytes_ = 0;
};

}  // namespace tonarel
