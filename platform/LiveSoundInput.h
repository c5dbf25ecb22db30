#pragma once
// Live sound input: the samples of the default input, handed over block by
// block as the sound server delivers them, for readings while a note sounds.
// No Qt here, so that tests can stand in for it without a sound server.

#include <cstdint>
#include <functional>
#include <span>

namespace tonarel {

/// The one format a live input delivers: 44 100 Hz, mono, signed 16 bits.
inline constexpr int kLiveInputSampleRate = 44100;

class LiveSoundInput {
public:
    /// Called on the thread of the event loop with each block as it arrives
    /// (any length, often 10 to 50 ms of sound); the span is valid only
    /// during the call. The handler must not throw, nor call Start or Stop.
    using BlockHandler = std::function<void(std::span<const int16_t> block)>;

    virtual ~LiveSoundInput() = default;

    /// Starts listening and hands every block to `onBlock` until Stop. A
    /// running input is restarted with the new handler. Throws
    /// tonarel::CaptureError (a Chinese sentence for the user) when there is
    /// no input or it cannot start; the input is then stopped.
    virtual void Start(BlockHandler onBlock) = 0;

    /// Stops listening and releases the input; no block arrives after it.
    /// Does nothing when stopped.
    virtual void Stop() noexcept = 0;

    virtual bool IsListening() const noexcept = 0;
};

}  // namespace tonarel
