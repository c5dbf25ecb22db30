#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"
#include "wave/SoundRegion.h"

namespace {

using tonarel::FindSoundRegion;
using tonarel::SoundRegion;
using namespace tonarel::test;

constexpr uint32_t kBlockSamples = 512;

// `blocks` whole scan blocks of a 441 Hz sine whose every block peaks at exactly `amplitude`.
std::vector<int16_t> Blocks(uint32_t blocks, double amplitude)
{
    return Sine(blocks * kBlockSamples, 100.0, amplitude);
}

SoundRegion Scan(const std::vector<int16_t>& samples, uint32_t threshold)
{
    WriteCaptureFile("my.wav", samples);
    const std::optional<SoundRegion> region = FindSoundRegion("my.wav", threshold);
    EXPECT_TRUE(region.has_value());
    return region.value_or(SoundRegion{});
}

class SoundRegionTest : public ::testing::Test {
protected:
    TemporaryDirectory directory;
};

TEST_F(SoundRegionTest, ScansNoBlockBelow2048DataBytes)
{
    const SoundRegion region = Scan(Concatenate({Silence(500), {30000}, Silence(522)}), 2);  // 2046 bytes
    EXPECT_EQ(region.blocksScanned, 0u);
    EXPECT_EQ(region.peak, 1u);
    EXPECT_EQ(region.begin, 4);
    EXPECT_EQ(region.end, -1024);
}

// One second of data (88200 bytes) gives 85 blocks (87040 bytes): the last
// full block and the 1160 bytes after it are never scanned.
TEST_F(SoundRegionTest, LeavesTheLastFullBlockAndTheRestUnscanned)
{
    struct Row {
        uint32_t loudSample;
        uint32_t expectedPeak;
    };
    for (const Row row : {Row{43519, 30000}, Row{43520, 1}, Row{44099, 1}}) {
        std::vector<int16_t> samples = Silence(44100);
        samples[row.loudSample] = 30000;
        const SoundRegion region = Scan(samples, 2);
        EXPECT_EQ(region.blocksScanned, 85u);
        EXPECT_EQ(region.peak, row.expectedPeak) << "loud sample " << row.loudSample;
    }
}

// Block 0 holds the note's peak; then come `quiet` blocks far below it, one
// block as loud as the peak, and quiet blocks to the end.
TEST_F(SoundRegionTest, NeedsNineConsecutiveQuietBlocksToEndTheSearch)
{
    struct Row {
        uint32_t quietBlocks;
        int32_t expectedEnd;
    };
    for (const Row row : {Row{8, 10 * 1024}, Row{9, 1 * 1024}}) {
        const auto samples = Concatenate({Blocks(1, 10000), Blocks(row.quietBlocks, 100), Blocks(1, 10000),
                                          Blocks(40 - row.quietBlocks, 100)});
        const SoundRegion region = Scan(samples, 2);
        EXPECT_EQ(region.end, row.expectedEnd) << row.quietBlocks << " quiet blocks";
        EXPECT_EQ(region.begin, 50);  // the first sample at the peak (2 x 25)
        EXPECT_EQ(region.peakPos, 50);
    }
}

TEST_F(SoundRegionTest, CountsMinus32768AsMagnitude32768)
{
    std::vector<int16_t> samples = Silence(5000);
    samples[1000] = 32767;
    samples[3000] = -32768;
    const SoundRegion region = Scan(samples, 1);
    EXPECT_EQ(region.peak, 32768u);
    EXPECT_EQ(region.peakPos, 6000);
}

TEST_F(SoundRegionTest, YieldsNothingForAFileItCannotScan)
{
    WriteCaptureFile("eight-bit.wav", Blocks(10, 1000), CaptureFileHeaderFields::WithBitsPerSample(8));
    EXPECT_FALSE(FindSoundRegion("eight-bit.wav", 1).has_value());
    EXPECT_FALSE(FindSoundRegion("missing.wav", 1).has_value());
}

// The scan transcribed sample by sample, as plainly as it reads, over the
// samples of a recording whose header tells the truth.
SoundRegion ScanSampleBySample(const std::vector<int16_t>& samples, uint32_t threshold)
{
    const int32_t blocks = static_cast<int32_t>(samples.size() * 2 / 1024) - 1;
    SoundRegion region;
    uint32_t run = 0;
    bool searching = true;
    for (int32_t j = 0; j < blocks; ++j) {
        uint32_t blockPeak = 1;
        for (int32_t k = 0; k < 512; ++k) {
            const int32_t value = samples[static_cast<std::size_t>(j * 512 + k)];
            const uint32_t m = static_cast<uint32_t>(value < 0 ? -value : value);
            if (m > region.peak) {
                region.peak = m;
                region.peakPos = 1024 * j + 2 * k;
            }
            blockPeak = std::max(blockPeak, m);
        }
        ++region.blocksScanned;
        if (searching) {
            if (region.peak / blockPeak >= threshold) {
                ++run;
                if (run == 1) {
                    region.end = 1024 * j;
                } else if (run * 1024 > 8810) {
                    searching = false;
                    region.begin = region.peakPos;
                }
            } else {
                run = 0;
            }
        }
    }
    if (region.end == 0 && region.peakPos != 0) {
        region.end = (static_cast<int32_t>(region.blocksScanned) - 1) * 1024;
        region.begin = region.peakPos;
    }
    return region;
}

// Bursts of noise that rise and fall at random, so that quiet runs of every
// length begin and end against every threshold; all thresholds are answered
// by one reading and each must match its own sample-by-sample scan.
TEST_F(SoundRegionTest, AgreesSampleBySampleForEveryThresholdAtOnce)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<uint32_t> blocks(0, 80);
    std::uniform_int_distribution<int> level(0, 14);
    const std::vector<uint32_t> thresholds = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20};
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<int16_t> samples;
        const uint32_t length = blocks(random) * 512 + random() % 512;
        while (samples.size() < length) {
            const int16_t amplitude = static_cast<int16_t>(1 << level(random));
            const auto burst = Noise(static_cast<uint32_t>(256 + random() % 2048), amplitude, random());
            samples.insert(samples.end(), burst.begin(), burst.end());
        }
        samples.resize(length);
        WriteCaptureFile("my.wav", samples);
        const std::optional<std::vector<SoundRegion>> regions = tonarel::FindSoundRegions("my.wav", thresholds);
        ASSERT_TRUE(regions.has_value());
        for (std::size_t t = 0; t < thresholds.size(); ++t) {
            const SoundRegion expected = ScanSampleBySample(samples, thresholds[t]);
            const SoundRegion& found = (*regions)[t];
            EXPECT_EQ(found.peak, expected.peak);
            EXPECT_EQ(found.peakPos, expected.peakPos);
            EXPECT_EQ(found.begin, expected.begin) << "trial " << trial << ", threshold " << thresholds[t];
            EXPECT_EQ(found.end, expected.end) << "trial " << trial << ", threshold " << thresholds[t];
            EXPECT_EQ(found.blocksScanned, expected.blocksScanned);
        }
    }
}

}  // namespace
