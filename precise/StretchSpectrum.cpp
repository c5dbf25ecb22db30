#include "precise/StretchSpectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace tonarel::precise {
namespace {

// The quietest fifth of a band of noise bins (exponentially distributed
// powers) lies below 0.223 of their mean: -ln(0.8).
constexpr double kQuietestShare = 0.2;
constexpr double kQuietestToMean = 4.4814201;
constexpr double kFloorUnderStrongest = 1e-12;

}  // namespace

void StretchSpectrum::AlignedFree::operator()(float* buffer) const
{
    fftwf_free(buffer);
}

StretchSpectrum::StretchSpectrum(std::span<const int16_t> stretch, uint32_t sampleRate)
    : sampleRate_(sampleRate)
{
    const std::size_t length = std::max<std::size_t>(stretch.size(), 2);
    size_ = std::max(kShortestTransform, std::bit_ceil(2 * length));
    binHz_ = sampleRate_ / static_cast<double>(size_);
    resolutionHz_ = sampleRate_ / static_cast<double>(length);
    // r2c in place: the real input and the complex output share one buffer
    // of size_ + 2 floats, which then holds the powers in its first half.
    power_.reset(fftwf_alloc_real(size_ + 2));
    float* buffer = power_.get();

    double mean = 0.0;
    for (const int16_t sample : stretch) {
        mean += sample;
    }
    mean /= static_cast<double>(std::max<std::size_t>(stretch.size(), 1));
    for (std::size_t n = 0; n < stretch.size(); ++n) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (static_cast<double>(n) + 0.5) /
                                                 static_cast<double>(stretch.size()));
        buffer[n] = static_cast<float>((stretch[n] - mean) / 32768.0 * hann);
    }
    std::fill(buffer + stretch.size(), buffer + size_ + 2, 0.0f);

    fftwf_plan plan = fftwf_plan_dft_r2c_1d(static_cast<int>(size_), buffer,
                                            reinterpret_cast<fftwf_complex*>(buffer), FFTW_ESTIMATE);
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);
    // Bin k's parts lie at 2k and 2k + 1, never before k: overwriting in
    // rising order reads each pair before it is overwritten.
    for (std::size_t k = 0; k <= size_ / 2; ++k) {
        const float re = buffer[2 * k];
        const float im = buffer[2 * k + 1];
        buffer[k] = re * re + im * im;
    }
    EstimateNoise();
}

double StretchSpectrum::NyquistHz() const
{
    return sampleRate_ / 2.0;
}

void StretchSpectrum::EstimateNoise()
{
    const std::size_t bins = size_ / 2 + 1;
    const float* power = power_.get();
    const double strongest = *std::max_element(power, power + bins);
    const double leastFloor = std::max(strongest * kFloorUnderStrongest, 1e-30);
    const auto narrowest = static_cast<std::size_t>(std::ceil(16.0 * resolutionHz_ / binHz_));
    std::vector<float> scratch;
    for (std::size_t start = 1; start < bins;) {
        const std::size_t width = std::max(narrowest, static_cast<std::size_t>(0.12 * static_cast<double>(start)));
        const std::size_t end = std::min(bins, start + width);
        scratch.assign(power + start, power + end);
        const auto quiet = scratch.begin() + static_cast<std::ptrdiff_t>(kQuietestShare * static_cast<double>(scratch.size()));
        std::nth_element(scratch.begin(), quiet, scratch.end());
        noiseBandStart_.push_back(start);
        noiseBandFloor_.push_back(std::max(leastFloor, kQuietestToMean * static_cast<double>(*quiet)));
        start = end;
    }
}

double StretchSpectrum::NoiseFloor(double hz) const
{
    const auto bin = static_cast<std::size_t>(std::max(0.0, hz / binHz_));
    const auto band = std::upper_bound(noiseBandStart_.begin(), noiseBandStart_.end(), bin);
    const std::size_t index = band == noiseBandStart_.begin() ? 0 : static_cast<std::size_t>(band - noiseBandStart_.begin()) - 1;
    return noiseBandFloor_[index];
}

std::size_t StretchSpectrum::BinAtOrAbove(double hz) const
{
    return std::min(size_ / 2, static_cast<std::size_t>(std::ceil(std::max(0.0, hz / binHz_))));
}

std::size_t StretchSpectrum::BinAtOrBelow(double hz) const
{
    return std::min(size_ / 2, static_cast<std::size_t>(std::floor(std::max(0.0, hz / binHz_))));
}

std::vector<SpectralPeak> StretchSpectrum::Peaks(double lowHz, double highHz, double leastSnr) const
{
    std::vector<SpectralPeak> peaks;
    const float* power = power_.get();
    const std::size_t first = std::max<std::size_t>(1, BinAtOrAbove(lowHz));
    const std::size_t last = std::min(size_ / 2 - 1, BinAtOrBelow(highHz));
    for (std::size_t k = first; k <= last; ++k) {
        if (!(power[k] > power[k - 1] && power[k] >= power[k + 1])) {
            continue;
        }
        const double floor = NoiseFloor(static_cast<double>(k) * binHz_);
        if (power[k] < leastSnr * floor) {
            continue;
        }
        // A parabola through the logarithms of the three powers: exact for a
        // Gaussian lobe and close for the padded Hann lobe.
        const double before = std::log(std::max(power[k - 1], 1e-37f));
        const double at = std::log(static_cast<double>(power[k]));
        const double after = std::log(std::max(power[k + 1], 1e-37f));
        const double curvature = before - 2.0 * at + after;
        const double offset = curvature < 0.0 ? 0.5 * (before - after) / curvature : 0.0;
        const double peakPower = std::exp(at - 0.25 * (before - after) * offset);
        const double hz = (static_cast<double>(k) + offset) * binHz_;
        peaks.push_back({hz, peakPower, peakPower / NoiseFloor(hz)});
    }
    return peaks;
}

BandMeasure StretchSpectrum::MeasureBand(double lowHz, double highHz) const
{
    const float* power = power_.get();
    double sum = 0.0;
    double moment = 0.0;
    for (std::size_t k = BinAtOrAbove(lowHz); k <= BinAtOrBelow(highHz); ++k) {
        const double hz = static_cast<double>(k) * binHz_;
        const double above = static_cast<double>(power[k]) - NoiseFloor(hz);
        if (above > 0.0) {
            sum += above;
            moment += above * hz;
        }
    }
    return {sum > 0.0 ? moment / sum : 0.0, sum};
}

double StretchSpectrum::TotalPower(double lowHz, double highHz) const
{
    const float* power = power_.get();
    double sum = 0.0;
    for (std::size_t k = BinAtOrAbove(lowHz); k <= BinAtOrBelow(highHz); ++k) {
        sum += power[k];
    }
    return sum;
}

}  // namespace tonarel::precise
