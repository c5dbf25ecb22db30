#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <cstring>
#include <fstream>

#include "standard/PitchEstimator.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;

// What byteCount holds before an estimate; "no sound" must leave it so.
constexpr uint32_t kByteCountBefore = 0xA5A5A5A5u;

// The frequency the rows below expect when there is no usable sound.
constexpr long double kNoSound = -1.0L;

struct Estimate {
    long double frequency = 0;
    std::unique_ptr<int16_t[]> samples;
    uint32_t byteCount = kByteCountBefore, snrUsed = 0;
    tonarel::PitchDiagnostics diagnostics;
};

Estimate Estimated(const char* file, uint32_t segmentBytes, uint32_t givenSnr, uint32_t divisor)
{
    tonarel::PitchEstimate estimate = tonarel::EstimatePitch(file, {segmentBytes, givenSnr, divisor});
    Estimate e;
    e.frequency = estimate.soundFound ? estimate.frequency : kNoSound;
    e.snrUsed = estimate.snrUsed;
    e.diagnostics = estimate.diagnostics;
    if (estimate.soundFound) {
        e.samples = std::move(estimate.samples);
        e.byteCount = estimate.byteCount;
    }
    return e;
}

// The count as a float, then the quotient and the product in long double.
long double Frequency(uint32_t count, uint32_t byteCount)
{
    return static_cast<long double>(static_cast<float>(count)) / byteCount * 88200.0L;
}

// The segment must be the file's own bytes from `fileOffset`, counted from byte 0.
void ExpectSegmentAt(const Estimate& e, uint64_t fileOffset)
{
    EXPECT_EQ(e.diagnostics.segmentFileOffset, fileOffset);
    const std::vector<uint8_t> file = ReadFileBytes("my.wav");
    ASSERT_LE(fileOffset + e.byteCount, file.size());
    EXPECT_EQ(std::memcmp(e.samples.get(), file.data() + fileOffset, e.byteCount), 0);
}

class PitchEstimator : public ::testing::Test {
protected:
    TemporaryDirectory directory;
};

// The tone stops dead in digital silence, so the automatic segment ends in a
// silent stretch that becomes the longest run, and only 8 periods count.
TEST_F(PitchEstimator, ReadsTheToneBetweenSilencesAsAbout8HzWithAnAutomaticSegment)
{
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    for (uint32_t divisor = 2; divisor <= 6; ++divisor) {
        SCOPED_TRACE(divisor);
        const Estimate e = Estimated("my.wav", 0, 0, divisor);
        EXPECT_EQ(e.snrUsed, 20u);
        EXPECT_EQ(e.diagnostics.begin, 52970);
        EXPECT_EQ(e.diagnostics.end, 141312);
        EXPECT_EQ(e.byteCount, 88342u);
        EXPECT_EQ(e.diagnostics.count, 8u);
        EXPECT_EQ(e.frequency, Frequency(8, 88342));
        EXPECT_NEAR(static_cast<double>(e.frequency), 7.99, 0.005);
        ExpectSegmentAt(e, 64012);
    }
}

// The segment starts 2 x (length / 16) bytes past begin, truncating first
// (4089 bytes start 510 bytes on, not 511); an odd length divides the
// frequency and its padding byte is silent.
TEST_F(PitchEstimator, ReadsAGivenSegmentLengthFromAnEighthOfItPastBegin)
{
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    const Estimate half = Estimated("my.wav", 44100, 0, 4);
    EXPECT_EQ(half.byteCount, 44100u);
    EXPECT_EQ(half.diagnostics.count, 219u);
    EXPECT_EQ(half.frequency, 438.0L);
    ExpectSegmentAt(half, 58482);
    const Estimate odd = Estimated("my.wav", 4089, 0, 4);
    EXPECT_EQ(odd.frequency, Frequency(odd.diagnostics.count, 4089));
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(odd.samples.get())[4089], 0);
    ExpectSegmentAt(odd, 52970 + 510);
}

// A note of 300 at `peakAt` and one sample of 99 at `noiseAt` (data offsets):
// inside the noise window the ratio is 3, outside it 300 capped at 20. The
// window ends 8864 bytes before the peak and holds at most 44100 bytes; a
// peak nearer the start wraps it round to the first 44100.
TEST_F(PitchEstimator, MeasuresTheNoiseOnTheWindowBeforeTheNote)
{
    struct Row {
        uint32_t peakAt, noiseAt, snr;
    };
    for (const Row row : {Row{30000, 21134, 3}, Row{30000, 21136, 20}, Row{60000, 44098, 3}, Row{60000, 44100, 20},
                          Row{8864, 0, 20}, Row{8862, 44098, 0}}) {
        std::vector<int16_t> samples = Silence(60000);
        samples[row.peakAt / 2] = 300;
        samples[row.noiseAt / 2] = 99;
        WriteCaptureFile("my.wav", samples);
        EXPECT_EQ(Estimated("my.wav", 0, 0, 4).snrUsed, row.snr) << "peak at " << row.peakAt << ", noise at "
                                                                 << row.noiseAt;
    }
}

// Ratios 4 then 5 below the note, then silence: the given 25 is capped at 20
// before the final scan (threshold 5, ending at the ratio 5), not after it.
TEST_F(PitchEstimator, CapsAGivenRatioAt20BeforeTheFinalScan)
{
    WriteCaptureFile("my.wav", Concatenate({Silence(2048), Sine(10240, 100.0, 10000.0), Sine(10240, 100.0, 2100.0),
                                            Sine(10240, 100.0, 1800.0), Silence(10240)}));
    const Estimate e = Estimated("my.wav", 0, 25, 4);
    EXPECT_EQ(e.snrUsed, 20u);
    EXPECT_EQ(e.diagnostics.end, 44 * 1024);
}

// Whatever makes the sound unusable, the result is -1 and nothing is allocated.
// A byte rate of 0 or less makes a file as unusable as another sample width:
// it would scale any count to 0 Hz or below (a sine of 6 samples per period
// over 84 bytes at -42 once came out at exactly -1, with a buffer handed out).
TEST_F(PitchEstimator, GivesNoSoundAndNoBufferForEveryUnusableCase)
{
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    WriteCaptureFile("eight-bit.wav", ToneBetweenSilences(), CaptureFileHeaderFields::WithBitsPerSample(8));
    WriteCaptureFile("rate-zero.wav", ToneBetweenSilences(), CaptureFileHeaderFields::WithByteRate(0));
    WriteCaptureFile("rate-negative.wav", ToneBetweenSilences(), CaptureFileHeaderFields::WithByteRate(-88200));
    WriteCaptureFile("rate-minus-42.wav", Sine(441, 6.0, 10000.0), CaptureFileHeaderFields::WithByteRate(-42));
    ASSERT_EQ(mkfifo("pipe.wav", 0600), 0);  // no writer: an open that waits would never return
    std::ofstream("short.wav", std::ios::binary) << "RIFF";
    WriteCaptureFile("unscanned.wav", Sine(1000, 100.0, 10000.0));  // region from 4 to -1024
    WriteCaptureFile("level.wav", std::vector<int16_t>(44100, 1000));  // never crosses zero
    struct Row {
        const char* file;
        uint32_t segmentBytes, givenSnr, divisor, snr;
    };
    for (const Row row : {Row{"missing.wav", 0, 0, 4, 0}, Row{"short.wav", 0, 0, 4, 0},
                          Row{"eight-bit.wav", 0, 0, 4, 0}, Row{"my.wav", 0, 0, 0, 0}, Row{"my.wav", 0, 3, 4, 3},
                          Row{"unscanned.wav", 0, 20, 4, 20}, Row{"level.wav", 8820, 20, 2, 20},
                          Row{"my.wav", 4'000'000, 20, 4, 20},  // starts 500000 bytes past the note: beyond the file
                          Row{"rate-zero.wav", 0, 0, 4, 0}, Row{"rate-negative.wav", 0, 0, 4, 0},
                          Row{"rate-minus-42.wav", 84, 20, 2, 0}, Row{"pipe.wav", 0, 0, 4, 0}}) {
        const Estimate e = Estimated(row.file, row.segmentBytes, row.givenSnr, row.divisor);
        EXPECT_EQ(e.frequency, kNoSound) << row.file << ", " << row.segmentBytes << " bytes";
        EXPECT_EQ(e.snrUsed, row.snr) << row.file;
        EXPECT_EQ(e.samples, nullptr) << row.file;
        EXPECT_EQ(e.byteCount, kByteCountBefore) << row.file;
    }
}

TEST_F(PitchEstimator, GivesZeroAndAnEmptyBufferForAnEmptyAutomaticSegment)
{
    auto samples = Sine(10240, 100.0, 15000.0);
    samples[0] = 20000;  // the first sample stays the loudest: begin = end = 0
    WriteCaptureFile("my.wav", samples);
    const Estimate e = Estimated("my.wav", 0, 10, 2);
    EXPECT_EQ(e.frequency, 0.0L);
    EXPECT_EQ(e.byteCount, 0u);
    EXPECT_NE(e.samples, nullptr);
}

// The note still sounds at the stop: the segment is cut at the end of the
// file, and the frequency divides by the bytes actually read. A header that
// claims more data than the file holds changes nothing, and neither does a
// negative DataSize (0xFFFFFFFF from a writer that did not know the length).
TEST_F(PitchEstimator, CutsASegmentAtTheEndOfTheFileWhateverTheHeaderClaims)
{
    const auto samples = Concatenate({Noise(22050, 30), Sine(44100, 100.0, 10000.0)});
    const uint64_t fileBytes = 44 + 2 * samples.size();
    for (const auto header : {CaptureFileHeaderFields{}, CaptureFileHeaderFields::ClaimingDataSize(50'000'000),
                              CaptureFileHeaderFields::ClaimingDataSize(-1),
                              CaptureFileHeaderFields::ClaimingDataSize(INT32_MIN)}) {
        WriteCaptureFile("my.wav", samples, header);
        const Estimate e = Estimated("my.wav", 0, 0, 4);
        ASSERT_GT(e.diagnostics.segmentFileOffset + (e.diagnostics.end - e.diagnostics.begin), fileBytes);
        EXPECT_EQ(e.byteCount, fileBytes - e.diagnostics.segmentFileOffset);
        EXPECT_EQ(e.frequency, Frequency(e.diagnostics.count, e.byteCount));
        EXPECT_NEAR(static_cast<double>(e.frequency), 441.0, 3.0);
    }
}

}  // namespace
