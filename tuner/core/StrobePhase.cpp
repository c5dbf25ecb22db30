#include "tuner/core/StrobePhase.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tonarel::tuner {
namespace {

constexpr double kSampleRate = 44100.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// The low-pass's corner: an eighth of the target (the second partial then
// lands 36 dB down after both stages), at most 20 Hz so that a note up to
// 20 Hz off still turns the phase, at least 1 Hz.
constexpr double kCornerShare = 1.0 / 8.0;
constexpr double kHighestCornerHz = 20.0;
constexpr double kLowestCornerHz = 1.0;
constexpr double kSilentPower = 1e-10;  // under -100 dBFS the level is 0

}  // namespace

void StrobePhase::SetTargetHz(double hz)
{
    if (std::isfinite(hz) && hz >= 10.0 && hz <= 10000.0) {
        targetHz_ = hz;
    }
}

void StrobePhase::Feed(std::span<const int16_t> block)
{
    const double cornerHz = std::clamp(kCornerShare * targetHz_, kLowestCornerHz, kHighestCornerHz);
    const double smoothing = 1.0 - std::exp(-kTwoPi * cornerHz / kSampleRate);
    const double stepTurns = targetHz_ / kSampleRate;
    // The demodulator's phasor is computed afresh for every block and
    // advanced by multiplication within it, so rounding cannot build up.
    std::complex<double> oscillator = std::polar(1.0, -kTwoPi * oscillatorTurns_);
    const std::complex<double> step = std::polar(1.0, -kTwoPi * stepTurns);
    for (const int16_t sample : block) {
        const double x = sample / 32768.0;
        firstStage_ += smoothing * (x * oscillator - firstStage_);
        secondStage_ += smoothing * (firstStage_ - secondStage_);
        power_ += smoothing * (x * x - power_);
        oscillator *= step;
    }
    const double advanced = oscillatorTurns_ + stepTurns * static_cast<double>(block.size());
    oscillatorTurns_ = advanced - std::floor(advanced);
}

double StrobePhase::PhaseTurns() const
{
    const double turns = std::arg(secondStage_) / kTwoPi;
    const double wrapped = turns - std::floor(turns);
    return wrapped >= 1.0 ? 0.0 : wrapped;
}

double StrobePhase::Level() const
{
    if (power_ < kSilentPower) {
        return 0.0;
    }
    // A sine of amplitude A leaves a phasor of A / 2 and a power of A^2 / 2.
    return std::clamp(2.0 * std::norm(secondStage_) / power_, 0.0, 1.0);
}

void StrobePhase::Reset()
{
    oscillatorTurns_ = 0.0;
    firstStage_ = {};
    secondStage_ = {};
    power_ = 0.0;
}

}  // namespace tonarel::tuner
