#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "scope/core/WaveformDuration.h"
#include "scope/core/WaveformStrokes.h"
#include "tests/support/ReferenceStrokes.h"

namespace {

using reference::FirstDifference;
using reference::RandomSamples;
using tonarel::ComputeStrokeRuns;
using tonarel::StrokeRun;

/// The runs painted into a bitmap, clipped to the box, as the window paints them.
reference::Bitmap PaintRuns(const std::vector<StrokeRun>& runs, int32_t width, int32_t height)
{
    reference::Bitmap bitmap{width, height, std::vector<bool>(static_cast<size_t>(width) * height)};
    for (size_t x = 0; x < runs.size(); ++x) {
        for (int32_t y = std::max(runs[x].top, 0); y <= std::min(runs[x].bottom, height - 1); ++y) {
            bitmap.pixels[static_cast<size_t>(y) * width + x] = true;
        }
    }
    return bitmap;
}

struct StrokeCase {
    const char* name;
    int32_t width;
    int32_t height;
    std::vector<int16_t> samples;
    uint32_t byteCount;
    friend void PrintTo(const StrokeCase& c, std::ostream* out) { *out << c.name; }
};

// Samples at the rows where truncation and the omitted end pixel decide in a box 118 high.
const std::vector<int16_t> kEdgeSamples = {0,      1,     -1,     100,    -100,   322,    -322,   323,
                                           -323,   18999, -18999, 19000,  -19000, 19001,  -19001, 19322,
                                           -19322, 32767, -32768, 0,      0,      644};

class StrokeRunsMatchSingleStrokes : public ::testing::TestWithParam<StrokeCase> {};

TEST_P(StrokeRunsMatchSingleStrokes, PixelForPixel)
{
    const StrokeCase& c = GetParam();
    const std::vector<StrokeRun> runs = ComputeStrokeRuns(c.samples.data(), c.byteCount, c.width, c.height);
    ASSERT_EQ(runs.size(), static_cast<size_t>(c.width));
    EXPECT_EQ(FirstDifference(PaintRuns(runs, c.width, c.height),
                              reference::DrawStrokesOneByOne(c.samples.data(), c.byteCount, c.width, c.height)),
              "none");
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, StrokeRunsMatchSingleStrokes,
    ::testing::Values(StrokeCase{"OneSecondIn492x118", 492, 118, RandomSamples(44100, 1), 88200},
                      StrokeCase{"OneSecondIn492x117", 492, 117, RandomSamples(44100, 2), 88200},
                      StrokeCase{"EdgeSamplesIn492x118", 492, 118, kEdgeSamples, 44},
                      StrokeCase{"EdgeSamplesIn7x3", 7, 3, kEdgeSamples, 44},
                      StrokeCase{"OddByteCountIgnoresTheLastByte", 50, 40, RandomSamples(101, 5), 201},
                      StrokeCase{"OneByteDrawsNothing", 492, 118, {30000}, 1},
                      StrokeCase{"NoSamples", 492, 118, {}, 0},
                      StrokeCase{"TallBoxWhereTheRowProductWraps", 3, 200000, RandomSamples(300, 7), 600},
                      // 2^32 / 1 000 000 < 4 300: the column product wraps.
                      StrokeCase{"WideBoxWhereTheColumnProductWraps", 1000000, 4, RandomSamples(5000, 8), 10000}),
    [](const auto& info) { return std::string(info.param.name); });

struct GeometryCase {
    int32_t height;
    uint32_t index;  // of the one loud sample among 44 100 silent ones in a box 492 wide
    int16_t value;
    size_t column;
    StrokeRun run;  // the only pixels drawn
    friend void PrintTo(const GeometryCase& c, std::ostream* out) { *out << c.value << " in " << c.height << " rows"; }
};

class StrokeGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(StrokeGeometry, OneSampleMarksOnlyItsColumn)
{
    const GeometryCase& c = GetParam();
    std::vector<int16_t> samples(44100, 0);
    samples[c.index] = c.value;
    std::vector<StrokeRun> expected(492);
    expected[c.column] = c.run;
    EXPECT_EQ(FirstDifference(PaintRuns(ComputeStrokeRuns(samples.data(), 88200, 492, c.height), 492, c.height),
                              PaintRuns(expected, 492, c.height)),
              "none");
}

// 118 rows: mid 59, ±19 000 reach rows 118 (one past the bottom) and 0.
// 117 rows: mid 58, ±19 000 reach rows 116 and 0.
INSTANTIATE_TEST_SUITE_P(Boxes, StrokeGeometry,
                         ::testing::Values(GeometryCase{118, 0, 19000, 0, {59, 117}},
                                           GeometryCase{118, 44099, -19000, 491, {1, 59}},
                                           GeometryCase{118, 22050, 100, 246, {}},  // 118 × 100 / 38000 truncates to 0
                                           GeometryCase{117, 0, 19000, 0, {58, 115}},
                                           GeometryCase{117, 44099, -19000, 491, {1, 58}}));

TEST(WaveformDuration, IsComputedInUnsigned32BitArithmetic)
{
    // The round cases are checked on the window's label; × 10 wraps to 4 for 429 496 730 bytes.
    for (const auto& [byteCount, milliseconds] :
         {std::pair{881u, 9u}, {429496729u, 4869577u}, {429496730u, 0u}, {4294967295u, 4869577u}}) {
        EXPECT_EQ(tonarel::WaveformDurationMilliseconds(byteCount), milliseconds) << byteCount << " bytes";
    }
}

}  // namespace
