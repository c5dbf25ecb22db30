#pragma once
// The pitch meter's recording cycle without its widgets: which step a press of
// the record button takes, when the stop may be pressed, and how a failure on
// the way leaves everything idle again. The window drives it from its
// handlers and its 100 ms timer, and writes the captions and states it reads
// here; tests drive it with a stand-in device and no window at all.

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>

#include "wave/CaptureDevice.h"
#include "wave/TakeFiles.h"

namespace tonarel {

class RecordingCycle {
public:
    /// The stop stays locked until more than this much has been recorded, so
    /// that the estimator finds a quiet lead-in before the note to take as
    /// its noise.
    static constexpr uint32_t kStopLockMilliseconds = 500;

    /// A take whose length has not grown for this many polls in a row (one
    /// second of 100 ms ticks) has stalled (the sound server went away, say):
    /// the stop is then unlocked whatever was recorded, or the cycle could
    /// never leave recording.
    static constexpr uint32_t kStalledPollsBeforeUnlock = 10;

    /// An idle cycle on `device` (never null) that records into `files`.
    RecordingCycle(std::unique_ptr<CaptureDevice> device, TakeFiles files);

    /// True while idle (the next press starts a take), false while a take
    /// runs (the next press stops it).
    const bool& ReadyToRecord() const { return readyToRecord_; }

    /// Deletes the previous take's file, whether or not it exists; every
    /// press of the record button does this first.
    void DeleteTake() const noexcept;

    /// Idle → recording: writes the template, opens the device on it and
    /// starts capturing. Throws CaptureError when the device cannot open or
    /// start; the device is then closed and the cycle stays idle, so that
    /// the next press tries again.
    void Start();

    /// What one poll of a running take found.
    struct Poll {
        uint32_t shownMilliseconds;  ///< the length to show
        bool stopUnlocked;           ///< past the lock, or stalled: the stop may be pressed
        /// The take can no longer be kept (a full disk): it must end now,
        /// with Stop(), which hands back the explanation.
        bool takeLost;
    };
    /// Reads the recorded length twice, as the timer's two readings: the
    /// first is shown, the second decides the unlock; then asks whether the
    /// take has been lost.
    Poll PollPosition();

    /// Recording → idle: saves the take to its file while the capture still
    /// runs, then closes the device. The cycle is idle afterwards whatever
    /// failed; a failed save is returned (not thrown), so that the caller can
    /// put its window in order before reporting it.
    std::exception_ptr Stop();

    /// Replaces the device, closing the one held (which drops any take);
    /// meant for an idle cycle.
    void ReplaceDevice(std::unique_ptr<CaptureDevice> device);

    const TakeFiles& Files() const { return files_; }

private:
    std::unique_ptr<CaptureDevice> device_;
    TakeFiles files_;
    bool readyToRecord_ = true;
    uint32_t lastPosition_ = 0;  ///< at the last poll, in milliseconds
    uint32_t stalledPolls_ = 0;  ///< polls in a row without the take growing
};

}  // namespace tonarel
