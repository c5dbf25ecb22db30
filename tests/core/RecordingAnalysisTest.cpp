#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "meter/RecordingAnalysis.h"
#include "meter/SemitoneTable.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"

namespace {

using tonarel::AnalyseRecording;
using tonarel::AnalysisOptions;
using tonarel::RecordingAnalysis;
using tonarel::SegmentBytesFromMilliseconds;
using namespace tonarel::test;

struct MillisecondsRow {
    uint32_t milliseconds;
    uint32_t bytes;
};

void PrintTo(const MillisecondsRow& row, std::ostream* out)
{
    *out << row.milliseconds << " ms";
}

class SegmentBytes : public ::testing::TestWithParam<MillisecondsRow> {};

// The double 88.2 is slightly above 88.2; the long double 88.2L is below it
// and would give 7937 for 90 ms.
TEST_P(SegmentBytes, AreMillisecondsTimesTheDouble88Point2Truncated)
{
    EXPECT_EQ(SegmentBytesFromMilliseconds(GetParam().milliseconds), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Rows, SegmentBytes,
                         ::testing::Values(MillisecondsRow{0, 0}, MillisecondsRow{10, 882}, MillisecondsRow{90, 7938},
                                           MillisecondsRow{1000, 88200}, MillisecondsRow{4000, 352800},
                                           MillisecondsRow{13, 1146}, MillisecondsRow{4'000'000'000u, UINT32_MAX}));

class RecordingAnalysisTest : public ::testing::Test {
protected:
    TemporaryDirectory directory;
    std::array<float, tonarel::SemitoneCount> table{};
    void SetUp() override { tonarel::BuildSemitoneTable(440.0f, table); }
};

TEST_F(RecordingAnalysisTest, ShowsTheWholeRunAsTheMeterWould)
{
    WriteCaptureFile("my.wav", Concatenate({Silence(26460), Sine(44100, 100.0, 10000.0), Silence(26460)}));
    const RecordingAnalysis analysis = AnalyseRecording("my.wav", AnalysisOptions{}, table);
    EXPECT_FALSE(analysis.noSound);
    EXPECT_EQ(analysis.frequency, static_cast<float>(8.0L / 88342 * 88200));
    EXPECT_EQ(analysis.frequencyText, "7.98714065551758");
    EXPECT_EQ(analysis.snrText, "20");
    EXPECT_EQ(analysis.semitoneText, "120");  // below the table
    EXPECT_EQ(analysis.deviationText, "0");
    EXPECT_EQ(analysis.byteCount, 88342u);
    ASSERT_NE(analysis.samples, nullptr);
    EXPECT_EQ(analysis.diagnostics.count, 8u);
}

TEST_F(RecordingAnalysisTest, PassesTheOptionsToTheEstimatorAndUsesTheLocalesSeparator)
{
    WriteCaptureFile("my.wav", Concatenate({Silence(26460), Sine(44100, 100.0, 10000.0), Silence(26460)}));
    const RecordingAnalysis analysis =
        AnalyseRecording("my.wav", AnalysisOptions{.segmentMilliseconds = 500, .givenSnr = 12, .divisor = 3}, table, ',');
    EXPECT_EQ(analysis.byteCount, 44100u);
    EXPECT_EQ(analysis.snrText, "12");
    EXPECT_EQ(analysis.frequencyText, "438");
    EXPECT_EQ(analysis.semitoneText, "0");
    EXPECT_EQ(analysis.deviationText, "-0,454545468091965");
}

TEST_F(RecordingAnalysisTest, NoSoundWritesOnlyTheTwoMessagesAndHandsOnASilentSample)
{
    WriteCaptureFile("my.wav", Silence(44100));
    const RecordingAnalysis analysis = AnalyseRecording("my.wav", AnalysisOptions{}, table);
    EXPECT_TRUE(analysis.noSound);
    EXPECT_EQ(analysis.frequency, -1.0f);
    EXPECT_EQ(analysis.frequencyText, "没有声音输入!   ");
    EXPECT_EQ(analysis.snrText, "太小了！");
    EXPECT_FALSE(analysis.semitoneText.has_value());
    EXPECT_FALSE(analysis.deviationText.has_value());
    ASSERT_NE(analysis.samples, nullptr);
    EXPECT_EQ(analysis.byteCount, 2u);
    EXPECT_EQ(analysis.samples[0], 0);
}

TEST_F(RecordingAnalysisTest, AMissingRecordingIsNoSound)
{
    const RecordingAnalysis analysis = AnalyseRecording("my.wav", AnalysisOptions{}, table);
    EXPECT_TRUE(analysis.noSound);
    EXPECT_EQ(analysis.snrUsed, 0u);
}

}  // namespace
