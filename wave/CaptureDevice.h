#pragma once
// The wave-audio device as the recording cycle sees it: five operations and
// one question, no more. The program records through AudioInputCaptureDevice;
// tests drive a stand-in.

#include <cstdint>
#include <filesystem>

namespace tonarel {

/// Records one take at a time from the sound input, in the format declared
/// by a template WAV file.
///
/// Life of one take: Open(template) → Record() → PositionMilliseconds() and
/// CaptureFailed() as often as wanted → Save(file) (while the capture still
/// runs) → Close().
/// Every operation runs on the thread that owns the event loop and returns
/// promptly; the capture itself proceeds between events.
///
/// Errors: the operations marked "throws" raise CaptureError, whose text says
/// in Chinese what failed. A device that failed to open or to record is left
/// closed, so the next Open starts afresh.
class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;

    /// Opens the device for a take in the format of `templateFile`, a 44-byte
    /// PCM WAV header (its data chunk is ignored). An open device is closed
    /// first, dropping what it held. Captures nothing yet. Throws when the
    /// template is missing or not such a header, when there is no input device,
    /// or when the device refuses the format.
    virtual void Open(const std::filesystem::path& templateFile) = 0;

    /// Starts capturing from the beginning of an empty take. Throws when the
    /// device is not open or the capture cannot start; the device is then
    /// closed.
    virtual void Record() = 0;

    /// The length of sound captured since Record(), in milliseconds, counted
    /// from the bytes actually received (not from the server's clock);
    /// 0 before Record() and after Close(). Saturates at UINT32_MAX.
    virtual uint32_t PositionMilliseconds() = 0;

    /// Writes everything captured since Record() to `file` as a PCM WAV file
    /// with a 44-byte header in the template's format whose data lengths are
    /// those of the sound actually written; the capture goes on. Throws when
    /// nothing has been recorded, the take was lost (CaptureFailed()) or the
    /// file cannot be written; a file of that name is then left as it was.
    virtual void Save(const std::filesystem::path& file) = 0;

    /// Ends the capture and releases the device; the take is dropped, nothing
    /// is saved. Does nothing on a closed device.
    virtual void Close() noexcept = 0;

    /// True once the take can no longer be kept (the disk it is written to is
    /// full, say): the capture has stopped for good, and Save throws the
    /// explanation. False before Record() and after Close().
    virtual bool CaptureFailed() const noexcept = 0;
};

}  // namespace tonarel
