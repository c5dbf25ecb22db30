#pragma once
// A reference tone: a steady note through the sound output, to tune by ear
// against. No Qt here, so that tests can stand in for it.

namespace tonarel {

class ReferenceTone {
public:
    virtual ~ReferenceTone() = default;

    /// Starts the tone at `hz` (20 to 20 000), or moves a sounding tone to
    /// `hz` without a click. Throws tonarel::CaptureError (a Chinese sentence)
    /// when there is no sound output or it cannot start.
    virtual void Play(double hz) = 0;

    /// Fades the tone out and releases the output. Does nothing when silent.
    virtual void Stop() noexcept = 0;

    virtual bool IsPlaying() const noexcept = 0;
};

}  // namespace tonarel
