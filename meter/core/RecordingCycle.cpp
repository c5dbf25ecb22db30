#include "meter/core/RecordingCycle.h"

#include <system_error>
#include <utility>

#include "wave/WaveHeader.h"

namespace tonarel {

RecordingCycle::RecordingCycle(std::unique_ptr<CaptureDevice> device, TakeFiles files)
    : device_(std::move(device)), files_(std::move(files))
{
}

void RecordingCycle::DeleteTake() const noexcept
{
    std::error_code ignored;
    std::filesystem::remove(files_.take, ignored);
}

void RecordingCycle::Start()
{
    WriteWaveHeader(kCaptureChannels, kCaptureBitsPerSample, kCaptureSampleRate, files_.recordingTemplate);
    // A failed open leaves everything as it was.
    device_->Open(files_.recordingTemplate);
    try {
        device_->Record();
    } catch (...) {
        // A take that never started must not leave the cycle waiting for a
        // stop that can never come.
        device_->Close();
        throw;
    }
    readyToRecord_ = false;
    lastPosition_ = 0;
    stalledPolls_ = 0;
}

RecordingCycle::Poll RecordingCycle::PollPosition()
{
    const uint32_t shown = device_->PositionMilliseconds();
    const uint32_t position = device_->PositionMilliseconds();
    stalledPolls_ = position == lastPosition_ ? stalledPolls_ + 1 : 0;
    lastPosition_ = position;
    return {shown, position > kStopLockMilliseconds || stalledPolls_ >= kStalledPollsBeforeUnlock,
            device_->CaptureFailed()};
}

std::exception_ptr RecordingCycle::Stop()
{
    std::exception_ptr failure;
    try {
        device_->Save(files_.take);
    } catch (...) {
        failure = std::current_exception();
    }
    device_->Close();
    readyToRecord_ = true;
    return failure;
}

void RecordingCycle::ReplaceDevice(std::unique_ptr<CaptureDevice> device)
{
    device_ = std::move(device);
}

}  // namespace tonarel
