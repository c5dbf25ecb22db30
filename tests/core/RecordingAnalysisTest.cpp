#include <gtest/gtest.h>

#include <array>

#include "meter/core/RecordingAnalysis.h"
#include "meter/core/SemitoneTable.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/PartialTone.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using tonarel::AnalyseRecording;
using namespace tonarel::test;
using namespace tonarel::tones;

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

// Ticked, the frequency and the texts made from it come from the precise
// reading; the ratio and the segment for the oscilloscope stay the
// estimator's where it found the note too.
TEST_F(RecordingAnalysis, TakesTheFrequencyFromThePreciseReadingWhenAsked)
{
    const PartialTone tone{196.0, 0.0, FallingAmplitudes(8, 9000.0)};
    WriteCaptureFile("my.wav", Concatenate({Noise(22050, 20), Synthesise(tone, 88200), Noise(22050, 20)}));
    const auto standard = AnalyseRecording("my.wav", {}, table);
    const auto precise = AnalyseRecording("my.wav", {.precise = true}, table);
    ASSERT_FALSE(precise.noSound);
    ASSERT_TRUE(precise.precise && precise.precise->found);
    EXPECT_FALSE(standard.precise);
    EXPECT_EQ(precise.frequency, static_cast<float>(precise.precise->firstPartialHz));
    EXPECT_NEAR(precise.frequency, 196.0f, 0.01f);
    EXPECT_NE(precise.frequency, standard.frequency);
    EXPECT_EQ(precise.semitoneText, "-14");
    EXPECT_EQ(precise.snrText, standard.snrText);
    EXPECT_EQ(precise.byteCount, standard.byteCount);
    EXPECT_EQ(precise.diagnostics.count, standard.diagnostics.count);

    // A calibrated sound card: the precise frequency carries the correction,
    // the standard reading does not.
    const auto calibrated = AnalyseRecording("my.wav", {.precise = true, .preciseCorrection = 1.002}, table);
    EXPECT_NEAR(calibrated.precise->firstPartialHz, precise.precise->firstPartialHz * 1.002, 1e-9);
    EXPECT_EQ(AnalyseRecording("my.wav", {.preciseCorrection = 1.002}, table).frequency, standard.frequency);
}

TEST_F(RecordingAnalysis, ShowsNoSoundWhenEitherReadingFindsNone)
{
    struct Row {
        const char* name;
        std::vector<int16_t> take;
        bool preciseRan;
    };
    for (const Row& row : {Row{"silence: the estimator's no sound", Silence(88200), false},
                           Row{"a burst of noise: no pitch", Concatenate({Silence(30000), Noise(60000, 9000), Silence(30000)}),
                            true}}) {
        WriteCaptureFile("my.wav", row.take);
        const auto analysis = AnalyseRecording("my.wav", {.precise = true}, table);
        EXPECT_TRUE(analysis.noSound) << row.name;
        EXPECT_EQ(analysis.frequency, -1.0f) << row.name;
        EXPECT_EQ(analysis.frequencyText, tonarel::kNoSoundFrequencyText) << row.name;
        EXPECT_EQ(analysis.snrText, tonarel::kNoSoundSnrText) << row.name;
        EXPECT_FALSE(analysis.semitoneText) << row.name;
        EXPECT_EQ(analysis.byteCount, 2u) << row.name;
        EXPECT_EQ(analysis.precise.has_value(), row.preciseRan) << row.name;
        if (row.preciseRan) {
            EXPECT_FALSE(AnalyseRecording("my.wav", {}, table).noSound) << row.name << ": the estimator counts periods";
        }
    }
}

}  // namespace
