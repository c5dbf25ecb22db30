#pragma once
// The power spectrum of a note's stretch, for measuring its partials: the
// stretch Hann-windowed and zero-padded to at least twice its length, so that
// peaks can be interpolated finely, with an estimate of the noise under it.
// The transform is FFTW's (single precision, planned per call with
// FFTW_ESTIMATE; the planner is not thread-safe, so one spectrum at a time
// per process).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tonarel::precise {

/// A local maximum of the spectrum, interpolated between bins.
struct SpectralPeak {
    double hz = 0.0;     ///< interpolated frequency
    double power = 0.0;  ///< interpolated power, in the spectrum's units
    double snr = 0.0;    ///< power over the noise floor at hz, a plain ratio
};

/// Power and power-weighted mean frequency of a band, with the noise floor
/// taken off bin by bin (bins under the floor count as 0).
struct BandMeasure {
    double centroidHz = 0.0;  ///< 0 when nothing in the band stands above the floor
    double power = 0.0;       ///< power above the floor
};

/// The sample rate of a take unless one is given: the capture files' 44 100 Hz.
inline constexpr uint32_t kPreciseSampleRate = 44100;

/// The shortest transform, in samples: a short stretch is padded to it.
inline constexpr std::size_t kShortestTransform = 8192;

class StretchSpectrum {
public:
    /// Transforms `stretch` (`sampleRate` samples per second, at least 2 samples):
    /// its mean taken off, Hann-windowed, zero-padded to a power of two of at
    /// least twice its length and at least kShortestTransform. Allocates one
    /// buffer of that many floats (plus two) and the noise estimate's small
    /// tables.
    explicit StretchSpectrum(std::span<const int16_t> stretch, uint32_t sampleRate = kPreciseSampleRate);

    /// Hertz between neighbouring bins of the padded transform.
    double BinHz() const { return binHz_; }
    /// Hertz of the stretch's own resolution, 1 / its duration: the Hann
    /// window's main lobe reaches 2 of these either side of a partial.
    double ResolutionHz() const { return resolutionHz_; }
    /// The highest frequency held, half the sample rate.
    double NyquistHz() const;

    /// The estimated mean power of the noise per bin at `hz`: the quietest
    /// fifth of the bins of a band around it (one sixth of an octave wide, at
    /// least 16 resolutions), scaled to the mean of noise, and never below
    /// 120 dB under the spectrum's strongest bin.
    double NoiseFloor(double hz) const;

    /// The local maxima between `lowHz` and `highHz` that stand at least
    /// `leastSnr` over the noise floor, in rising frequency.
    std::vector<SpectralPeak> Peaks(double lowHz, double highHz, double leastSnr) const;

    /// The band from `lowHz` to `highHz`, floor taken off.
    BandMeasure MeasureBand(double lowHz, double highHz) const;

    /// All power from `lowHz` to `highHz`, noise included.
    double TotalPower(double lowHz, double highHz) const;

private:
    struct AlignedFree {
        void operator()(float* buffer) const;
    };
    std::size_t BinAtOrAbove(double hz) const;
    std::size_t BinAtOrBelow(double hz) const;
    void EstimateNoise();

    double sampleRate_ = kPreciseSampleRate;
    std::size_t size_ = 0;  // transform length; power_ holds size_ / 2 + 1 bins
    double binHz_ = 0.0;
    double resolutionHz_ = 0.0;
    std::unique_ptr<float[], AlignedFree> power_;
    std::vector<std::size_t> noiseBandStart_;  // first bin of each noise band
    std::vector<double> noiseBandFloor_;       // noise power per bin in it
};

}  // namespace tonarel::precise
