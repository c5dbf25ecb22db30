#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "scope/WaveformDuration.h"
#include "scope/WaveformStrokes.h"
#include "tests/support/ReferenceStrokes.h"

namespace {

using tonarel::ComputeStrokeRuns;
using tonarel::StrokeRun;

/// The runs painted into a bitmap, clipped to the box, as the window paints them.
reference::Bitmap PaintRuns(const std::vector<StrokeRun>& runs, int32_t width, int32_t height)
{
    reference::Bitmap bitmap{width, height, std::vector<bool>(static_cast<size_t>(width) * height, false)};
    EXPECT_EQ(runs.size(), static_cast<size_t>(width));
    for (int32_t x = 0; x < static_cast<int32_t>(runs.size()); ++x) {
        for (int32_t y = std::max(runs[x].top, 0); y <= std::min(runs[x].bottom, height - 1); ++y) {
            bitmap.pixels[static_cast<size_t>(y) * width + x] = true;
        }
    }
    return bitmap;
}

std::vector<int16_t> RandomSamples(uint32_t count, uint32_t seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> full(-32768, 32767);
    std::uniform_int_distribution<int> near(-300, 300);
    std::vector<int16_t> samples(count);
    for (uint32_t i = 0; i < count; ++i) {
        // Half of the samples stay near the centre line, where the end pixel
        // and the zero-length strokes matter.
        samples[i] = static_cast<int16_t>(i % 2 == 0 ? full(generator) : near(generator));
    }
    return samples;
}

/// Samples at the rows where truncation and the omitted end pixel decide.
std::vector<int16_t> EdgeSamples()
{
    return {0,     1,     -1,     100,    -100,   322,    -322,   323,    -323,   18999, -18999,
            19000, -19000, 19001, -19001, 19322, -19322, 32767, -32768, 0,      0,     644};
}

struct StrokeCase {
    std::string name;
    int32_t width;
    int32_t height;
    std::vector<int16_t> samples;
    uint32_t byteCount;
};

void PrintTo(const StrokeCase& c, std::ostream* out)
{
    *out << c.name;
}

std::vector<StrokeCase> StrokeCases()
{
    const auto random = [](uint32_t count, uint32_t seed) { return RandomSamples(count, seed); };
    const std::vector<int16_t> edges = EdgeSamples();
    const auto bytes = [](const std::vector<int16_t>& samples) { return static_cast<uint32_t>(samples.size() * 2); };
    std::vector<StrokeCase> cases = {
        {"OneSecondIn492x118", 492, 118, random(44100, 1), 88200},
        {"OneSecondIn492x117", 492, 117, random(44100, 2), 88200},
        {"FourSecondsIn498x120", 498, 120, random(176400, 3), 352800},
        {"EdgeSamplesIn492x118", 492, 118, edges, bytes(edges)},
        {"EdgeSamplesIn492x117", 492, 117, edges, bytes(edges)},
        {"EdgeSamplesIn7x3", 7, 3, edges, bytes(edges)},
        {"FewerSamplesThanColumns", 492, 118, random(37, 4), 74},
        {"OddByteCountIgnoresTheLastByte", 50, 40, random(101, 5), 201},
        {"OneColumnOneRow", 1, 1, random(500, 6), 1000},
        {"TallBoxWhereTheProductWraps", 3, 200000, random(300, 7), 600},
        // 2^32 / 1 000 000 < 4 300: the column product wraps.
        {"WideBoxWhereTheColumnProductWraps", 1000000, 4, random(5000, 8), 10000},
    };
    return cases;
}

class StrokeRunsMatchSingleStrokes : public ::testing::TestWithParam<StrokeCase> {};

TEST_P(StrokeRunsMatchSingleStrokes, PixelForPixel)
{
    const StrokeCase& c = GetParam();
    const reference::Bitmap expected = reference::DrawStrokesOneByOne(c.samples.data(), c.byteCount, c.width, c.height);
    const reference::Bitmap actual =
        PaintRuns(ComputeStrokeRuns(c.samples.data(), c.byteCount, c.width, c.height), c.width, c.height);
    ASSERT_EQ(actual.pixels.size(), expected.pixels.size());
    for (int32_t y = 0; y < c.height; ++y) {
        for (int32_t x = 0; x < c.width; ++x) {
            ASSERT_EQ(actual.At(x, y), expected.At(x, y)) << "pixel (" << x << ", " << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, StrokeRunsMatchSingleStrokes, ::testing::ValuesIn(StrokeCases()),
                         [](const ::testing::TestParamInfo<StrokeCase>& info) { return info.param.name; });

std::vector<int16_t> Silence(uint32_t count)
{
    return std::vector<int16_t>(count, 0);
}

TEST(StrokeRuns, FirstAndLastSampleOfOneSecondStandAtTheEdgeColumns)
{
    // 44 100 samples in 492 columns: sample 0 at x 0, sample 44 099 at x 491,
    // mid 59. 19 000 reaches row 118, one past the bottom, so the stroke
    // covers 59…117; −19 000 reaches row 0 and covers 1…59.
    std::vector<int16_t> samples = Silence(44100);
    samples[0] = 19000;
    samples[44099] = -19000;
    samples[22050] = 100;  // 118 × 100 / 38000 truncates to 0: no mark
    const std::vector<StrokeRun> runs = ComputeStrokeRuns(samples.data(), 88200, 492, 118);
    ASSERT_EQ(runs.size(), 492u);
    EXPECT_EQ(runs[0], (StrokeRun{59, 117}));
    EXPECT_EQ(runs[491], (StrokeRun{1, 59}));
    for (size_t x = 1; x < 491; ++x) {
        EXPECT_TRUE(runs[x].IsEmpty()) << "column " << x;
    }
}

TEST(StrokeRuns, CentreOfAnOddHeightTruncates)
{
    // 117 rows: mid 58; 19 000 reaches row 116 (58 + 58).
    const std::vector<int16_t> samples = {19000, -19000};
    const std::vector<StrokeRun> runs = ComputeStrokeRuns(samples.data(), 4, 2, 117);
    EXPECT_EQ(runs[0], (StrokeRun{58, 115}));
    EXPECT_EQ(runs[1], (StrokeRun{1, 58}));
}

TEST(StrokeRuns, NothingToDrawLeavesEveryColumnEmpty)
{
    const std::vector<int16_t> one = {30000};
    for (const uint32_t byteCount : {0u, 1u}) {
        for (const StrokeRun& run : ComputeStrokeRuns(one.data(), byteCount, 492, 118)) {
            EXPECT_TRUE(run.IsEmpty()) << byteCount << " bytes";
        }
    }
    EXPECT_TRUE(ComputeStrokeRuns(nullptr, 0, 492, 118).size() == 492u);
    EXPECT_TRUE(ComputeStrokeRuns(one.data(), 2, 0, 118).empty());
    EXPECT_TRUE(ComputeStrokeRuns(one.data(), 2, 492, 0).empty());
}

struct DurationCase {
    uint32_t byteCount;
    uint32_t milliseconds;
};

void PrintTo(const DurationCase& c, std::ostream* out)
{
    *out << c.byteCount << " bytes";
}

class WaveformDuration : public ::testing::TestWithParam<DurationCase> {};

TEST_P(WaveformDuration, IsComputedInUnsigned32BitArithmetic)
{
    EXPECT_EQ(tonarel::WaveformDurationMilliseconds(GetParam().byteCount), GetParam().milliseconds);
}

INSTANTIATE_TEST_SUITE_P(ByteCounts, WaveformDuration,
                         ::testing::Values(DurationCase{88200, 1000}, DurationCase{4410, 50}, DurationCase{882, 10},
                                           DurationCase{881, 9}, DurationCase{2, 0}, DurationCase{0, 0},
                                           DurationCase{429496729, 4869577},
                                           // × 10 wraps to 4: the shown duration falls back to 0
                                           DurationCase{429496730, 0},
                                           DurationCase{4294967295u, 4869577}));

}  // namespace
