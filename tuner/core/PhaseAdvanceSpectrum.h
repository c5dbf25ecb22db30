#pragma once
// Two Hann-windowed spectra of the same length, the later one a few samples
// after the earlier, for measuring a partial's frequency from the advance of
// its phase between them (the phase vocoder's estimate): for a steady
// partial every bin of its main lobe gives its frequency exactly, with no
// interpolation between bins, so a short window measures as finely as a long
// one would by peak interpolation.
//
// The transforms are FFTW's, planned once at construction for every length
// of kWindowLengths (tuner/core/AdaptiveWindow.h) and reused, so that
// Analyse allocates nothing. FFTW's planner is not thread-safe: construct one
// of these while no other FFTW plan is being made.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tonarel::tuner {

class PhaseAdvanceSpectrum {
public:
    PhaseAdvanceSpectrum();
    ~PhaseAdvanceSpectrum();
    PhaseAdvanceSpectrum(const PhaseAdvanceSpectrum&) = delete;
    PhaseAdvanceSpectrum& operator=(const PhaseAdvanceSpectrum&) = delete;

    /// Transforms the two frames of `length` samples (one of kWindowLengths)
    /// in `samples`, which holds length + AdvanceFor(length) samples, oldest
    /// first: the earlier frame starts at its first sample, the later one
    /// ends at its last.
    void Analyse(std::span<const int16_t> samples, std::size_t length);

    std::size_t Length() const { return length_; }
    /// Hertz between neighbouring bins: 44 100 / Length().
    double BinHz() const;
    /// Bins 0 to Length() / 2.
    std::size_t BinCount() const { return length_ / 2 + 1; }
    /// The nearest bin to `hz`, within 0..BinCount() - 1.
    std::size_t BinNear(double hz) const;

    /// The later frame's power in `bin`, with samples scaled to ±1.
    double Power(std::size_t bin) const { return power_[bin]; }
    /// The frequency, in hertz, of what sounds in `bin`, from the phase
    /// advance between the frames; meaningful within a partial's main lobe
    /// (the partial within four bins of `bin`).
    double FrequencyHz(std::size_t bin) const;

private:
    struct Plan;
    std::vector<Plan> plans_;
    std::size_t length_ = 0;
    std::size_t advance_ = 0;
    float* frame_ = nullptr;      // FFTW-aligned, the longest length
    void* earlier_ = nullptr;     // complex spectra, the longest length / 2 + 1
    void* later_ = nullptr;
    std::vector<double> power_;
};

}  // namespace tonarel::tuner
