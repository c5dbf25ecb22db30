#pragma once
// The real wave-audio device: captures from the desktop's default sound input
// with Qt Multimedia, on the thread of the event loop.

#include <QAudioDevice>
#include <QByteArray>
#include <QPointer>
#include <memory>

#include "wave/CaptureDevice.h"
#include "wave/RecordingFile.h"

class QAudioSource;
class QIODevice;

namespace tonarel {

/// CaptureDevice on a QAudioSource in push mode: Qt hands over what the sound
/// server delivered at each readyRead, and this keeps it in memory until the
/// take is saved or dropped. The input is chosen afresh at every Open (see
/// ChooseCaptureInput), so a device plugged in between takes is used.
///
/// When the sound server goes away during a take, Qt deletes the stream it
/// handed out; the take then simply stops growing, and what was captured
/// until then can still be saved. Sound beyond MaxCaptureDataBytes (about
/// 6.7 hours of 16-bit mono at 44 100 Hz) is dropped, because a WAV header
/// cannot state a longer take.
///
/// Destroying the device during a take closes it without saving anything.
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

private:
    void TakeDeliveredSound();
    void StopReadingAfterFailure();

    CaptureFormat format_;
    QAudioDevice input_;
    std::unique_ptr<QAudioSource> source_;
    QPointer<QIODevice> stream_;  // owned by source_; Qt deletes it when the server connection dies
    QByteArray take_;
    bool recording_ = false;
};

}  // namespace tonarel
