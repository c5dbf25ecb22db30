#pragma once
// A take kept on disk while it is being recorded, instead of in memory: a
// forgotten recording fills the disk slowly rather than the memory quickly,
// and what was captured survives a capture that ends unexpectedly.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/FileDescriptor.h"
#include "wave/StreamingWaveWriter.h"
#include "wave/TakeFile.h"

namespace tonarel {

/// One take: the sound goes into a temporary file of the take's own in a
/// given folder as it arrives (a hidden ".tonarel-take.<pid>.<n>.tmp"), and
/// saving finishes that file's header and renames it into place, so that a
/// saved file is never seen half written. The capture may go on after a save;
/// the saved file then stays as it was saved, and a later save holds the
/// whole take again. Memory use does not depend on the take's length.
///
/// The temporary files are removed when the take is destroyed, and at once
/// when the take can no longer be written. Saved files stay. Single-threaded.
class TakeOnDisk {
public:
    /// Starts an empty take in `format`, keeping at most `maxDataBytes` of
    /// sound (whole frames; no more than MaxCaptureDataBytes). Creates the
    /// temporary file in `folder` at once, so that a folder where nothing can
    /// be written is found before the recording starts: throws CaptureError
    /// saying so, in Chinese, naming the folder.
    TakeOnDisk(std::filesystem::path folder, const CaptureFormat& format, uint32_t maxDataBytes);
    ~TakeOnDisk();

    TakeOnDisk(const TakeOnDisk&) = delete;
    TakeOnDisk& operator=(const TakeOnDisk&) = delete;

    /// Appends captured sound (see StreamingWaveWriter for partial frames
    /// and the limit). Returns false once the take can no longer be written
    /// (disk full, file size limit): the take is then lost, its temporary
    /// files are gone, later sound is ignored, and SaveAs throws the
    /// explanation.
    bool Append(std::span<const std::byte> sound) noexcept;

    /// Whole frames of sound kept since the take started.
    uint32_t DataBytes() const noexcept;

    /// True once the take has been lost (see Append).
    bool Failed() const noexcept { return failure_.has_value(); }

    /// Writes the take so far to `file` as a capture file whose header states
    /// its real length, replacing any file of that name only once it is
    /// complete; a file on another file system is copied beside `file` and
    /// renamed. The take goes on. Throws CaptureError (Chinese, naming the
    /// file or the folder) when the take was lost or the file cannot be
    /// written; `file` is then as it was, and the take is kept.
    void SaveAs(const std::filesystem::path& file);

private:
    /// A writer on a new temporary file in the take's folder for the sound
    /// after the first `alreadyKept` bytes, and its name; nullptr with `error`
    /// set when it cannot be made.
    std::unique_ptr<StreamingWaveWriter> NewSpool(uint32_t alreadyKept, std::filesystem::path& path,
                                                  int& error) const;
    /// Opens the temporary file for the sound after a save; false when the
    /// take is lost instead.
    bool ContinueAfterSave();
    /// Puts the saved part and the sound since then into one new temporary
    /// file, so that it holds the whole take. Throws CaptureError.
    void GatherTake(const std::filesystem::path& file);
    /// Copies the finished spool to a new file beside `file` and renames it
    /// over `file`; for a `file` on another file system. Throws CaptureError.
    void CopyInto(const std::filesystem::path& file);
    void DropSpool() noexcept;
    void Lose(int systemError) noexcept;

    std::filesystem::path folder_;
    CaptureFormat format_;
    uint32_t maxDataBytes_;

    /// The sound since the take started or since the last save.
    std::unique_ptr<StreamingWaveWriter> spool_;
    std::filesystem::path spoolPath_;

    /// After a save: the saved file, held open so that the take's first part
    /// can be read back whatever becomes of its name, and its sound bytes.
    FileDescriptor saved_;
    uint32_t savedBytes_ = 0;
    /// The start of an incomplete frame that arrived before the save.
    std::vector<std::byte> heldAtSave_;

    std::optional<std::string> failure_;
    uint32_t bytesAtLoss_ = 0;
};

/// Removes the temporary files that takes left in `folder` when their
/// program ended without removing them (it crashed, or was killed, during a
/// take). A file whose process still runs, another Tonarel's among them,
/// stays; so does anything else in the folder. Returns how many files were
/// removed; a folder that cannot be read removes nothing. Never throws.
std::size_t RemoveAbandonedTakes(const std::filesystem::path& folder) noexcept;

}  // namespace tonarel
