#pragma once
// The real wave-audio device: captures from the desktop's default sound input
// with Qt Multimedia, on the thread of the event loop.

#include <QAudioDevice>
#include <QPointer>
#include <cstddef>
#include <filesystem>
#include <memory>

#include "wave/CaptureDevice.h"
#include "wave/TakeFile.h"
#include "wave/TakeOnDisk.h"

class QAudioSource;
class QIODevice;

namespace tonarel {

/// CaptureDevice on a QAudioSource in push mode: Qt hands over what the sound
/// server delivered at each readyRead, and this writes it at once to a
/// temporary file of the take's own in the template's folder (TakeOnDisk), so
/// that memory use stays the same however long the take runs; Save finishes
/// that file and renames it into place. The input is chosen afresh at every
/// Open (see ChooseCaptureInput), so a device plugged in between takes is
/// used.
///
/// When the sound server goes away during a take, Qt deletes the stream it
/// handed out; the take then simply stops growing, and what was captured
/// until then can still be saved. When the take cannot be written (a full
/// disk), the capture stops, CaptureFailed() turns true and Save says why.
/// Sound beyond MaxCaptureDataBytes (about 6.7 hours of 16-bit mono at
/// 44 100 Hz) is dropped, because a WAV header cannot state a longer take.
///
/// Closing or destroying the device removes the take's temporary files and
/// saves nothing.
class AudioInputCaptureDevice final : public CaptureDevice {
public:
    AudioInputCaptureDevice();
    ~AudioInputCaptureDevice() override;

    AudioInputCaptureDevice(const AudioInputCaptureDevice&) = delete;
    AudioInputCaptureDevice& operator=(const AudioInputCaptureDevice&) = delete;

    void Open(const std::filesystem::path& templateFile) override;
    void Record() override;
    uint32_t PositionMilliseconds() override;
    void Save(const std::filesystem::path& file) override;
    void Close() noexcept override;
    bool CaptureFailed() const noexcept override;

private:
    void TakeDeliveredSound() noexcept;
    void StopReading() noexcept;

    CaptureFormat format_;
    std::filesystem::path takeFolder_;  ///< the template's folder, where the take is written
    QAudioDevice input_;
    std::unique_ptr<QAudioSource> source_;
    QPointer<QIODevice> stream_;  // owned by source_; Qt deletes it when the server connection dies
    std::unique_ptr<TakeOnDisk> take_;  ///< from Record() to Close()
    std::unique_ptr<std::byte[]> readBuffer_;
};

}  // namespace tonarel
