#pragma once
// A live input and a reference tone that tests drive: the test hands blocks of
// samples to whoever listens, and reads back what the tone was asked to play.
// Test and stand-in share a script, so the test keeps it after the window that
// owns the stand-in is gone.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/LiveSoundInput.h"
#include "platform/ReferenceTone.h"

namespace tonarel {

struct LiveSoundInputScript {
    std::optional<std::string> startFailure;  ///< Start throws CaptureError with this text
    LiveSoundInput::BlockHandler listener;    ///< set while listening
    int starts = 0;

    /// Hands `samples` to the listener in blocks of `blockSize` (as the sound
    /// server would); nothing happens while nobody listens.
    void Deliver(std::span<const int16_t> samples, std::size_t blockSize = 441) const;
};

class LiveSoundInputStandIn final : public LiveSoundInput {
public:
    explicit LiveSoundInputStandIn(std::shared_ptr<LiveSoundInputScript> script) : script_(std::move(script)) {}
    ~LiveSoundInputStandIn() override { Stop(); }

    void Start(BlockHandler onBlock) override;
    void Stop() noexcept override { script_->listener = nullptr; }
    bool IsListening() const noexcept override { return static_cast<bool>(script_->listener); }

private:
    std::shared_ptr<LiveSoundInputScript> script_;
};

struct ReferenceToneScript {
    std::optional<double> playingHz;  ///< what sounds now; nothing while silent
    std::optional<std::string> playFailure;
};

class ReferenceToneStandIn final : public ReferenceTone {
public:
    explicit ReferenceToneStandIn(std::shared_ptr<ReferenceToneScript> script) : script_(std::move(script)) {}

    void Play(double hz) override;
    void Stop() noexcept override { script_->playingHz.reset(); }
    bool IsPlaying() const noexcept override { return script_->playingHz.has_value(); }

private:
    std::shared_ptr<ReferenceToneScript> script_;
};

}  // namespace tonarel
