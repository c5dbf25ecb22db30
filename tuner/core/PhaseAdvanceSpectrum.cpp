#include "tuner/core/PhaseAdvanceSpectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tuner/core/AdaptiveWindow.h"

namespace tonarel::tuner {

struct PhaseAdvanceSpectrum::Plan {
    std::size_t length = 0;
    fftwf_plan plan = nullptr;
    std::vector<float> hann;  // scaled by 1 / 32768, so that samples come out at ±1
};

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

fftwf_complex* Complex(void* buffer)
{
    return static_cast<fftwf_complex*>(buffer);
}

// `angle` brought into (-pi, pi].
double Wrapped(double angle)
{
    return angle - kTwoPi * std::floor((angle + std::numbers::pi) / kTwoPi);
}

}  // namespace

PhaseAdvanceSpectrum::PhaseAdvanceSpectrum()
{
    const std::size_t longest = kWindowLengths.back();
    frame_ = fftwf_alloc_real(longest);
    earlier_ = fftwf_alloc_complex(longest / 2 + 1);
    later_ = fftwf_alloc_complex(longest / 2 + 1);
    power_.assign(longest / 2 + 1, 0.0);
    for (const std::size_t length : kWindowLengths) {
        Plan plan;
        plan.length = length;
        plan.plan = fftwf_plan_dft_r2c_1d(static_cast<int>(length), frame_, Complex(later_), FFTW_ESTIMATE);
        plan.hann.resize(length);
        for (std::size_t n = 0; n < length; ++n) {
            plan.hann[n] = static_cast<float>(
                (0.5 - 0.5 * std::cos(kTwoPi * (static_cast<double>(n) + 0.5) / static_cast<double>(length))) /
                32768.0);
        }
        plans_.push_back(std::move(plan));
    }
}

PhaseAdvanceSpectrum::~PhaseAdvanceSpectrum()
{
    for (Plan& plan : plans_) {
        fftwf_destroy_plan(plan.plan);
    }
    fftwf_free(frame_);
    fftwf_free(earlier_);
    fftwf_free(later_);
}

void PhaseAdvanceSpectrum::Analyse(std::span<const int16_t> samples, std::size_t length)
{
    const auto plan = std::find_if(plans_.begin(), plans_.end(), [&](const Plan& p) { return p.length == length; });
    if (plan == plans_.end() || samples.size() < length + AdvanceFor(length)) {
        length_ = 0;
        return;
    }
    length_ = length;
    advance_ = AdvanceFor(length);
    const auto transform = [&](std::span<const int16_t> frame, void* out) {
        for (std::size_t n = 0; n < length; ++n) {
            frame_[n] = static_cast<float>(frame[n]) * plan->hann[n];
        }
        fftwf_execute_dft_r2c(plan->plan, frame_, Complex(out));
    };
    transform(samples.subspan(0, length), earlier_);
    transform(samples.subspan(advance_, length), later_);
    const fftwf_complex* later = Complex(later_);
    for (std::size_t k = 0; k < BinCount(); ++k) {
        power_[k] = static_cast<double>(later[k][0]) * later[k][0] + static_cast<double>(later[k][1]) * later[k][1];
    }
}

double PhaseAdvanceSpectrum::BinHz() const
{
    return length_ == 0 ? 0.0 : kLiveSampleRate / static_cast<double>(length_);
}

std::size_t PhaseAdvanceSpectrum::BinNear(double hz) const
{
    if (length_ == 0) {
        return 0;
    }
    const double bin = std::round(std::max(0.0, hz / BinHz()));
    return std::min(BinCount() - 1, static_cast<std::size_t>(std::min(bin, static_cast<double>(BinCount()))));
}

double PhaseAdvanceSpectrum::FrequencyHz(std::size_t bin) const
{
    const fftwf_complex* earlier = Complex(earlier_);
    const fftwf_complex* later = Complex(later_);
    const double before = std::atan2(earlier[bin][1], earlier[bin][0]);
    const double after = std::atan2(later[bin][1], later[bin][0]);
    const double length = static_cast<double>(length_);
    const double advance = static_cast<double>(advance_);
    const double expected = kTwoPi * static_cast<double>(bin) * advance / length;
    const double deviation = Wrapped(after - before - expected);
    return (static_cast<double>(bin) / length + deviation / (kTwoPi * advance)) * kLiveSampleRate;
}

}  // namespace tonarel::tuner
