#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "standard/SoundRegion.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using tonarel::SoundRegion;
using namespace tonarel::test;
using namespace tonarel::tones;

// The scan as plainly as it reads, sample by sample, over a truthful file.
SoundRegion ScanSampleBySample(const std::vector<int16_t>& samples, uint32_t threshold)
{
    const int32_t blocks = static_cast<int32_t>(samples.size() * 2 / 1024) - 1;
    SoundRegion region{1, 4, 0, 0, 0};  // peak at least 1, at 4 until a sample exceeds 1
    uint32_t run = 0;
    bool searching = true;
    for (int32_t j = 0; j < blocks; ++j, ++region.blocksScanned) {
        uint32_t blockPeak = 1;
        for (int32_t k = 0; k < 512; ++k) {
            const uint32_t m = static_cast<uint32_t>(std::abs(int32_t{samples[j * 512 + k]}));
            if (m > region.peak) {
                region.peak = m;
                region.peakPos = 1024 * j + 2 * k;
            }
            blockPeak = std::max(blockPeak, m);
        }
        if (searching && region.peak / blockPeak >= threshold) {
            ++run;
            if (run == 1) {
                region.end = 1024 * j;
            } else if (run * 1024 > 8810) {
                searching = false;
                region.begin = region.peakPos;
            }
        } else if (searching) {
            run = 0;
        }
    }
    if (region.end == 0 && region.peakPos != 0) {
        region.end = (static_cast<int32_t>(region.blocksScanned) - 1) * 1024;
        region.begin = region.peakPos;
    }
    return region;
}

// Noise bursts rising and falling at random, so that quiet runs of every
// length begin and end against every threshold, and recordings too short to
// scan; one reading must answer every threshold as its own plain scan does.
TEST(FindSoundRegions, AgreesWithTheSampleBySampleScanForEveryThreshold)
{
    TemporaryDirectory directory;
    std::mt19937 random(7);
    const std::vector<uint32_t> thresholds = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20};
    for (int trial = 0; trial < 40; ++trial) {
        const std::size_t length = random() % 81 * 512 + random() % 512;
        std::vector<int16_t> samples;
        while (samples.size() < length) {
            const auto burst = Noise(256 + random() % 2048, static_cast<int16_t>(1 << random() % 15), random());
            samples.insert(samples.end(), burst.begin(), burst.end());
        }
        samples.resize(length);
        if (trial % 4 == 0 && length > 0) {
            samples[random() % length] = -32768;  // magnitude 32768, beyond any int16_t
        }
        WriteCaptureFile("my.wav", samples);
        const auto regions = tonarel::FindSoundRegions("my.wav", thresholds);
        ASSERT_TRUE(regions);
        const auto fields = [](const SoundRegion& r) {
            return std::tuple(r.peak, r.peakPos, r.begin, r.end, r.blocksScanned);
        };
        for (std::size_t t = 0; t < thresholds.size(); ++t) {
            EXPECT_EQ(fields((*regions)[t]), fields(ScanSampleBySample(samples, thresholds[t])))
                << "trial " << trial << ", threshold " << thresholds[t];
        }
    }
}

}  // namespace
