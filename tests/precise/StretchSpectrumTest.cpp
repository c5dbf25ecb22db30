#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "precise/StretchSpectrum.h"
#include "tools/tones/PartialTone.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::tones;
using tonarel::precise::StretchSpectrum;

// Two partials between bins, in faint noise: each peak is interpolated to a
// small fraction of a bin and each band's centre lands on its partial.
TEST(StretchSpectrum, PlacesPeaksAndBandCentresBetweenBins)
{
    const PartialTone tone{261.3, 0.0, {8000.0, 0.0, 3000.0}};
    const std::vector<int16_t> stretch = Mix(Synthesise(tone, 30000), Noise(30000, 10));
    const StretchSpectrum spectrum(stretch);
    EXPECT_EQ(spectrum.BinHz(), 44100.0 / 65536);
    EXPECT_EQ(spectrum.ResolutionHz(), 44100.0 / 30000);

    // The window's side lobes are local maxima too; the partials are the
    // two strongest.
    auto peaks = spectrum.Peaks(100.0, 1000.0, 100.0);
    ASSERT_GE(peaks.size(), 2u);
    std::partial_sort(peaks.begin(), peaks.begin() + 2, peaks.end(),
                      [](const auto& a, const auto& b) { return a.power > b.power; });
    for (const auto& [peak, hz] : {std::pair{peaks[0], 261.3}, std::pair{peaks[1], 3 * 261.3}}) {
        EXPECT_NEAR(peak.hz, hz, 0.02 * spectrum.BinHz()) << hz;
        EXPECT_NEAR(spectrum.MeasureBand(hz - 8.0, hz + 8.0).centroidHz, hz, 0.001) << hz;
    }
    // 8000 against 3000: 8.5 dB between the two peaks.
    EXPECT_NEAR(10 * std::log10(peaks[0].power / peaks[1].power), 20 * std::log10(8000.0 / 3000.0), 0.05);
    // Between the partials only the window's far side lobes stand over the noise.
    EXPECT_LT(spectrum.MeasureBand(400.0, 700.0).power, 1e-6 * spectrum.MeasureBand(250.0, 270.0).power);
}

// The noise floor is the mean power per bin of the noise: uniform noise of
// amplitude A has variance A^2 / 3, and the Hann window's squares sum to 3L/8.
TEST(StretchSpectrum, EstimatesTheMeanPowerOfTheNoise)
{
    constexpr uint32_t kLength = 44100;
    const StretchSpectrum spectrum(Noise(kLength, 3000));
    const double variance = (3000.0 / 32768) * (3000.0 / 32768) / 3.0;
    const double expected = variance * 3.0 * kLength / 8.0;
    for (const double hz : {50.0, 440.0, 3000.0, 15000.0}) {
        EXPECT_NEAR(10 * std::log10(spectrum.NoiseFloor(hz) / expected), 0.0, 1.5) << hz << " Hz";
    }
    EXPECT_TRUE(spectrum.Peaks(20.0, 16000.0, 20.0).empty());
}

}  // namespace
