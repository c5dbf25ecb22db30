#include "tuner/core/StrobePhase.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tonarel::tuner {

namespace {

constexpr double kSampleRate = 44100.0;

}  // namespace

void StrobePhase::SetTargetHz(double hz)
{
    if (hz > 0) {
        targetHz_ = hz;
    }
}

void StrobePhase::Feed(std::span<const int16_t> block)
{
    // Two one-pole low-passes on the signal mixed down by the target: what is
    // left turns at the difference of the two frequencies.
    const double cutoff = std::clamp(targetHz_ / 4.0, 2.0, 20.0);
    const double alpha = 1.0 - std::exp(-2.0 * std::numbers::pi * cutoff / kSampleRate);
    const double step = targetHz_ / kSampleRate;
    for (const int16_t sample : block) {
        const double angle = 2.0 * std::numbers::pi * oscillatorTurns_;
        const double x = sample / 32768.0;
        i1_ += alpha * (x * std::cos(angle) - i1_);
        q1_ += alpha * (-x * std::sin(angle) - q1_);
        i2_ += alpha * (i1_ - i2_);
        q2_ += alpha * (q1_ - q2_);
        oscillatorTurns_ += step;
        oscillatorTurns_ -= std::floor(oscillatorTurns_);
    }
}

double StrobePhase::PhaseTurns() const
{
    const double turns = std::atan2(q2_, i2_) / (2.0 * std::numbers::pi);
    return turns - std::floor(turns);
}

double StrobePhase::Level() const
{
    return std::clamp(2.0 * std::hypot(i2_, q2_) * 8.0, 0.0, 1.0);
}

}  // namespace tonarel::tuner
