#include <gtest/gtest.h>

#include <array>

#include "meter/core/RecordingAnalysis.h"
#include "meter/core/SemitoneTable.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"

namespace {

using tonarel::AnalyseRecording;
using namespace tonarel::test;

// The double 88.2 lies slightly above 88.2, the long double 88.2L below it:
// 10 ms and 90 ms would each lose a byte with the latter.
TEST(SegmentBytesFromMilliseconds, TruncatesMillisecondsTimesTheDouble88Point2)
{
    for (const auto& [milliseconds, bytes] :
         {std::pair{0u, 0u}, std::pair{10u, 882u}, std::pair{90u, 7938u}, std::pair{4'000'000'000u, UINT32_MAX}}) {
        EXPECT_EQ(tonarel::SegmentBytesFromMilliseconds(milliseconds), bytes) << milliseconds << " ms";
    }
}

class RecordingAnalysis : public ::testing::Test {
protected:
    TemporaryDirectory directory;
    std::array<float, tonarel::kSemitoneCount> table{};
    void SetUp() override { tonarel::BuildSemitoneTable(440.0f, table); }
};

TEST_F(RecordingAnalysis, WritesTheLabelsWithTheLocalesDecimalSeparator)
{
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    const auto analysis =
        AnalyseRecording("my.wav", {.segmentMilliseconds = 501, .givenSnr = 0, .divisor = 4}, table, ',');
    EXPECT_EQ(analysis.byteCount, 44188u);
    EXPECT_EQ(analysis.frequencyText, "439,123748779297");
    EXPECT_EQ(analysis.snrText, "20");
    EXPECT_EQ(analysis.semitoneText, "0");
    EXPECT_EQ(analysis.deviationText, "-0,199147999286652");
}

// The tool's test shows the two messages; the oscilloscope gets one silent sample.
TEST_F(RecordingAnalysis, HandsOnASilentSampleWithNoSound)
{
    WriteCaptureFile("my.wav", Silence(44100));
    const auto analysis = AnalyseRecording("my.wav", {}, table);
    EXPECT_TRUE(analysis.noSound);
    ASSERT_NE(analysis.samples, nullptr);
    EXPECT_EQ(analysis.byteCount, 2u);
    EXPECT_EQ(analysis.samples[0], 0);
}

}  // namespace
