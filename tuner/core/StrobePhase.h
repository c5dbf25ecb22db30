#pragma once
// The phase of the signal against a target frequency, for a strobe display.

#include <cstdint>
#include <span>

namespace tonarel::tuner {

class StrobePhase {
public:
    void SetTargetHz(double hz);
    void Feed(std::span<const int16_t> block);
    /// In [0,1): drifts at (signal - target) turns per second, still when in tune.
    double PhaseTurns() const;
    /// 0..1, how strong the note at the target is, for the band's contrast.
    double Level() const;

private:
    double targetHz_ = 440.0;
    double oscillatorTurns_ = 0;
    double i1_ = 0, q1_ = 0, i2_ = 0, q2_ = 0;
};

}  // namespace tonarel::tuner
