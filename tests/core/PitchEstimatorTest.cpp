#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"
#include "wave/PeriodCounter.h"
#include "wave/PitchEstimator.h"

namespace {

using tonarel::EstimatePitch;
using tonarel::kNoSound;
using tonarel::PitchDiagnostics;
using namespace tonarel::test;

// What one call of the estimator gave.
struct Estimate {
    long double frequency = 0;
    std::unique_ptr<int16_t[]> samples;
    uint32_t byteCount = 0;
    uint32_t snrUsed = 0;
    PitchDiagnostics diagnostics;
};

Estimate Estimated(const std::filesystem::path& file, uint32_t segmentBytes, uint32_t givenSnr, uint32_t divisor)
{
    Estimate estimate;
    estimate.frequency = EstimatePitch(file, estimate.samples, estimate.byteCount, segmentBytes, estimate.snrUsed,
                                       givenSnr, divisor, &estimate.diagnostics);
    return estimate;
}

// The frequency as the estimator forms it: the count as a float, then the
// quotient and the product in long double.
long double Frequency(uint32_t count, uint32_t byteCount, int32_t byteRate = 88200)
{
    return static_cast<long double>(static_cast<float>(count)) / static_cast<long double>(byteCount) *
           static_cast<long double>(byteRate);
}

// 26460 silent samples, a second of 441 Hz (100 samples per period,
// amplitude 10000), 26460 silent samples: 194040 data bytes.
std::vector<int16_t> WholeRun()
{
    return Concatenate({Silence(26460), Sine(44100, 100.0, 10000.0), Silence(26460)});
}

// The segment must be the file's bytes from `fileOffset`, as read.
void ExpectSegmentIsFileBytes(const Estimate& estimate, uint64_t fileOffset)
{
    const std::vector<uint8_t> file = ReadFileBytes("my.wav");
    ASSERT_LE(fileOffset + estimate.byteCount, file.size());
    EXPECT_EQ(std::memcmp(estimate.samples.get(), file.data() + fileOffset, estimate.byteCount), 0);
}

class PitchEstimatorTest : public ::testing::Test {
protected:
    TemporaryDirectory directory;
};

class WholeRunWithEveryDivisor : public PitchEstimatorTest, public ::testing::WithParamInterface<uint32_t> {};

// The tone stops dead in digital silence, so the automatic segment ends in a
// long silent stretch that becomes the longest run, and only 8 periods count.
TEST_P(WholeRunWithEveryDivisor, AutomaticSegmentReadsAbout8Hz)
{
    WriteCaptureFile("my.wav", WholeRun());
    const Estimate estimate = Estimated("my.wav", 0, 0, GetParam());
    EXPECT_EQ(estimate.snrUsed, 20u);
    EXPECT_EQ(estimate.diagnostics.begin, 52970);
    EXPECT_EQ(estimate.diagnostics.end, 141312);
    EXPECT_EQ(estimate.byteCount, 88342u);
    EXPECT_EQ(estimate.diagnostics.segmentFileOffset, 64012u);
    EXPECT_EQ(estimate.diagnostics.count, 8u);
    EXPECT_EQ(estimate.frequency, Frequency(8, 88342));
    EXPECT_NEAR(static_cast<double>(estimate.frequency), 7.99, 0.005);
    ExpectSegmentIsFileBytes(estimate, 64012);
}

TEST_P(WholeRunWithEveryDivisor, HalfSecondSegmentLiesInsideTheTone)
{
    WriteCaptureFile("my.wav", WholeRun());
    const Estimate estimate = Estimated("my.wav", 44100, 0, GetParam());
    EXPECT_EQ(estimate.byteCount, 44100u);
    EXPECT_EQ(estimate.diagnostics.segmentFileOffset, 58482u);
    EXPECT_EQ(estimate.diagnostics.count, 219u);
    EXPECT_EQ(estimate.frequency, 438.0L);
    ExpectSegmentIsFileBytes(estimate, 58482);
}

INSTANTIATE_TEST_SUITE_P(Divisors, WholeRunWithEveryDivisor, ::testing::Values(2u, 3u, 4u, 5u, 6u));

// The automatic ratio: the note's peak P over one more than the loudest
// sample of the noise window, which ends 8864 bytes before the note's peak
// and is at most 44100 bytes long. A note of 300 (at `peakOffset`) and one
// noise sample of 99 (at `noiseOffset`): inside the window the ratio is 3,
// below the divisor 4; outside it is 300, capped at 20.
struct NoiseWindowRow {
    uint32_t peakOffset;
    uint32_t noiseOffset;
    uint32_t expectedSnr;
};

void PrintTo(const NoiseWindowRow& row, std::ostream* out)
{
    *out << "peak at " << row.peakOffset << ", noise at " << row.noiseOffset;
}

class NoiseWindow : public PitchEstimatorTest, public ::testing::WithParamInterface<NoiseWindowRow> {};

TEST_P(NoiseWindow, EndsBeforeTheNoteAndIsCapped)
{
    const NoiseWindowRow& row = GetParam();
    std::vector<int16_t> samples = Silence(60000);
    samples[row.peakOffset / 2] = 300;
    samples[row.noiseOffset / 2] = 99;
    WriteCaptureFile("my.wav", samples);
    const Estimate estimate = Estimated("my.wav", 0, 0, 4);
    EXPECT_EQ(estimate.snrUsed, row.expectedSnr);
    if (row.expectedSnr < 4) {
        EXPECT_EQ(estimate.frequency, kNoSound);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NoiseWindow,
    ::testing::Values(NoiseWindowRow{30000, 21134, 3},   // window of 21136 bytes: last sample inside
                      NoiseWindowRow{30000, 21136, 20},  // first sample beyond it
                      NoiseWindowRow{60000, 44098, 3},   // window capped at 44100 bytes
                      NoiseWindowRow{60000, 44100, 20},
                      NoiseWindowRow{8864, 0, 20},       // empty window: N = 0, ratio = P
                      NoiseWindowRow{8862, 44098, 0}));  // wrapped round: the first 44100 bytes, the peak itself

TEST_F(PitchEstimatorTest, DigitalSilenceIsNoSoundForEveryDivisor)
{
    WriteCaptureFile("my.wav", Silence(44100));
    for (uint32_t divisor = 2; divisor <= 6; ++divisor) {
        const Estimate estimate = Estimated("my.wav", 0, 0, divisor);
        EXPECT_EQ(estimate.frequency, kNoSound) << divisor;
        EXPECT_EQ(estimate.snrUsed, 1u);
    }
}

// A note at 10000, then stretches whose ratio to it is 4, then 5, then
// silence: threshold 5 (20 / 4) ends the region where the ratio reaches 5,
// threshold 6 (25 / 4 without the cap) only at the silence.
TEST_F(PitchEstimatorTest, CapsAGivenRatioAt20BeforeTheFinalScan)
{
    WriteCaptureFile("my.wav", Concatenate({Silence(512 * 4), Sine(512 * 20, 100.0, 10000.0),
                                            Sine(512 * 20, 100.0, 2100.0), Sine(512 * 20, 100.0, 1800.0),
                                            Silence(512 * 20)}));
    const Estimate estimate = Estimated("my.wav", 0, 25, 4);
    EXPECT_EQ(estimate.snrUsed, 20u);
    EXPECT_EQ(estimate.diagnostics.end, 44 * 1024);
}

TEST_F(PitchEstimatorTest, ARatioBelowTheDivisorLeavesTheCallersBufferAlone)
{
    WriteCaptureFile("my.wav", WholeRun());
    Estimate estimate;
    estimate.samples = std::make_unique<int16_t[]>(3);
    int16_t* const callersBuffer = estimate.samples.get();
    estimate.byteCount = 6;
    estimate.frequency = EstimatePitch("my.wav", estimate.samples, estimate.byteCount, 0, estimate.snrUsed, 3, 4);
    EXPECT_EQ(estimate.frequency, kNoSound);
    EXPECT_EQ(estimate.snrUsed, 3u);
    EXPECT_EQ(estimate.samples.get(), callersBuffer);
    EXPECT_EQ(estimate.byteCount, 6u);
}

TEST_F(PitchEstimatorTest, A10MsSegmentIs882BytesFromAnEighthOfItsLengthPastBegin)
{
    WriteCaptureFile("my.wav", WholeRun());
    const Estimate estimate = Estimated("my.wav", 882, 0, 4);
    EXPECT_EQ(estimate.byteCount, 882u);
    EXPECT_EQ(estimate.diagnostics.segmentFileOffset, 52970u + 110);
    ExpectSegmentIsFileBytes(estimate, 52970 + 110);
}

TEST_F(PitchEstimatorTest, AnOddSegmentLengthDividesTheFrequency)
{
    WriteCaptureFile("my.wav", WholeRun());
    const Estimate estimate = Estimated("my.wav", 44101, 0, 4);
    EXPECT_EQ(estimate.byteCount, 44101u);
    EXPECT_EQ(estimate.frequency, Frequency(estimate.diagnostics.count, 44101));
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(estimate.samples.get())[44101], 0) << "the padding byte";
}

TEST_F(PitchEstimatorTest, AnEmptyAutomaticSegmentGivesZeroAndAnEmptyBuffer)
{
    auto samples = Sine(512 * 20, 100.0, 15000.0);
    samples[0] = 20000;  // the first sample stays the loudest: begin = end = 0
    WriteCaptureFile("my.wav", samples);
    const Estimate estimate = Estimated("my.wav", 0, 10, 2);
    EXPECT_EQ(estimate.frequency, 0.0L);
    EXPECT_EQ(estimate.byteCount, 0u);
    EXPECT_NE(estimate.samples, nullptr);
}

// Unusable files: no sound, ratio 0, nothing allocated.
TEST_F(PitchEstimatorTest, AFileItCannotUseIsNoSound)
{
    WriteCaptureFile("eight-bit.wav", WholeRun(), CaptureFileHeaderFields::WithBitsPerSample(8));
    std::ofstream("short.wav", std::ios::binary) << "RIFF";
    for (const char* name : {"missing.wav", "short.wav", "eight-bit.wav"}) {
        const Estimate estimate = Estimated(name, 0, 0, 4);
        EXPECT_EQ(estimate.frequency, kNoSound) << name;
        EXPECT_EQ(estimate.snrUsed, 0u) << name;
        EXPECT_EQ(estimate.samples, nullptr) << name;
    }
}

// With a given ratio and less than two blocks of data the region is 4 to
// -1024; taken as a length it would be close to 4 GiB.
TEST_F(PitchEstimatorTest, ARegionEndingBeforeItBeginsIsNoSound)
{
    WriteCaptureFile("my.wav", Sine(1000, 100.0, 10000.0));
    const Estimate estimate = Estimated("my.wav", 0, 20, 4);
    EXPECT_EQ(estimate.diagnostics.end, -1024);
    EXPECT_EQ(estimate.frequency, kNoSound);
    EXPECT_EQ(estimate.samples, nullptr);
}

// The note still sounds at the end of the recording: the segment runs past
// the end of the file and is cut there.
TEST_F(PitchEstimatorTest, ASegmentPastTheEndOfTheFileIsCutAndDividesByWhatWasRead)
{
    WriteCaptureFile("my.wav", Concatenate({Silence(22050), Sine(44100, 100.0, 10000.0)}));
    const Estimate estimate = Estimated("my.wav", 0, 0, 4);
    const uint64_t fileBytes = 44 + 2 * (22050 + 44100);
    ASSERT_GT(estimate.diagnostics.segmentFileOffset + (estimate.diagnostics.end - estimate.diagnostics.begin),
              fileBytes);
    EXPECT_EQ(estimate.byteCount, fileBytes - estimate.diagnostics.segmentFileOffset);
    EXPECT_EQ(estimate.frequency, Frequency(estimate.diagnostics.count, estimate.byteCount));
    EXPECT_NEAR(static_cast<double>(estimate.frequency), 441.0, 3.0);
}

TEST_F(PitchEstimatorTest, ASegmentWhollyPastTheEndOfTheFileIsNoSound)
{
    WriteCaptureFile("my.wav", WholeRun());
    const Estimate estimate = Estimated("my.wav", 4'000'000, 20, 4);  // starts 500000 bytes past the note
    EXPECT_EQ(estimate.frequency, kNoSound);
    EXPECT_EQ(estimate.samples, nullptr);
}

TEST_F(PitchEstimatorTest, ASegmentWithoutACountedPeriodIsNoSound)
{
    // A steady positive level never crosses zero.
    WriteCaptureFile("my.wav", std::vector<int16_t>(44100, 1000));
    const Estimate estimate = Estimated("my.wav", 8820, 20, 2);
    EXPECT_EQ(estimate.diagnostics.count, tonarel::kNoPeriodCounted);
    EXPECT_EQ(estimate.frequency, kNoSound);
    EXPECT_EQ(estimate.samples, nullptr);
}

TEST_F(PitchEstimatorTest, ATruncatedRecordingReadsLikeAShorterOne)
{
    const auto samples = Concatenate({Noise(22050, 30), DecayingTone(88200, 330.0, 12000.0, 0.8)});
    WriteCaptureFile("my.wav", samples);
    const Estimate honest = Estimated("my.wav", 0, 0, 4);
    WriteCaptureFile("my.wav", samples, CaptureFileHeaderFields::ClaimingDataSize(50'000'000));
    const Estimate claimingMore = Estimated("my.wav", 0, 0, 4);
    EXPECT_EQ(claimingMore.frequency, honest.frequency);
    EXPECT_EQ(claimingMore.byteCount, honest.byteCount);
}

// A plucked note, as a musician would record it: it reads within a few
// hertz, a little low because the count is the periods less one.
TEST_F(PitchEstimatorTest, ReadsADecayingNoteAfterAQuietLeadIn)
{
    for (const double hertz : {110.0, 261.63, 441.0, 1000.0}) {
        WriteCaptureFile("my.wav", Concatenate({Noise(22050, 30), DecayingTone(132300, hertz, 12000.0, 1.0)}));
        const Estimate estimate = Estimated("my.wav", 0, 0, 4);
        EXPECT_NEAR(static_cast<double>(estimate.frequency), hertz, hertz * 0.01) << hertz;
    }
}

}  // namespace
