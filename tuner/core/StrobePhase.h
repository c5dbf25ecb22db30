#pragma once
// The phase of the input against a target pitch, for a strobe display: the
// signal is demodulated at the target (multiplied by e^(-i 2 pi f t)) and
// low-passed, which leaves the component near the target as one slowly
// turning phasor. Its angle stands still when the note is exactly at the
// target and turns at (signal - target) turns per second otherwise, forwards
// when the note is sharp, backwards when flat. The other partials of a note
// demodulate to whole multiples of the target and are filtered out.
//
// Input: mono 16-bit samples at 44 100 Hz, blocks of any size. Allocates
// nothing. Not thread-safe.

#include <complex>
#include <cstdint>
#include <span>

namespace tonarel::tuner {

class StrobePhase {
public:
    /// The target in hertz; values outside 10..10000 Hz or not finite are
    /// ignored. Default 440. Changing it keeps the phase continuous.
    void SetTargetHz(double hz);
    double TargetHz() const { return targetHz_; }

    /// Takes the next samples.
    void Feed(std::span<const int16_t> block);

    /// The phase in turns, in [0, 1). Example: a note 1 Hz sharp of the
    /// target advances it by 0.25 every quarter of a second.
    double PhaseTurns() const;

    /// How much of the input's power lies at the target, 0 to 1: 1 for a
    /// sine at the target, about 1 / n for a note whose n partials are
    /// equally strong, 0 for silence.
    double Level() const;

    /// Forgets the input (the phase restarts at 0, the level at 0).
    void Reset();

private:
    double targetHz_ = 440.0;
    double oscillatorTurns_ = 0.0;       // the demodulator's phase, in [0, 1)
    std::complex<double> firstStage_{};  // two one-pole low-pass stages
    std::complex<double> secondStage_{};
    double power_ = 0.0;                 // the input's power, low-passed alike
};

}  // namespace tonarel::tuner
