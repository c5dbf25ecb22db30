// The precise reading on synthetic notes whose first partial is known, in
// room noise, each read within a stated tolerance in cents.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "precise/PreciseReading.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/PartialTone.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;
using tonarel::EstimatePrecisePitch;
using tonarel::PreciseReading;

constexpr uint32_t kSecond = kToneSampleRate;

double Cents(double reading, double truth)
{
    return 1200.0 * std::log2(reading / truth);
}

// Half a second of quiet room noise (about -60 dB against the note), the
// note, and half a second of the noise again.
std::vector<int16_t> InRoom(const std::vector<int16_t>& note, uint32_t seed = 7)
{
    const std::vector<int16_t> withNoise = Mix(note, Noise(static_cast<uint32_t>(note.size()), 20, seed));
    return Concatenate({Noise(kSecond / 2, 20, seed + 1), withNoise, Noise(kSecond / 2, 20, seed + 2)});
}

std::vector<double> WithFirst(std::vector<double> amplitudes, double first)
{
    amplitudes[0] = first;
    return amplitudes;
}

std::vector<double> OddPartials(uint32_t count, double first)
{
    std::vector<double> amplitudes = FallingAmplitudes(count, first);
    for (std::size_t index = 1; index < amplitudes.size(); index += 2) {
        amplitudes[index] = 0.0;
    }
    return amplitudes;
}

// An organ flue pipe's tone: the odd partials 10 dB under the even ones, and
// none above the ninth.
std::vector<double> WeakOddPartials(uint32_t count, double first)
{
    std::vector<double> amplitudes = FallingAmplitudes(count, first);
    for (std::size_t index = 0; index < amplitudes.size(); index += 2) {
        amplitudes[index] = index < 9 ? 0.316 * amplitudes[index] : 0.0;
    }
    return amplitudes;
}

struct ToneCase {
    std::string name;
    PartialTone tone;
    std::function<std::vector<int16_t>(const PartialTone&)> take;
    double toleranceCents;
};

std::ostream& operator<<(std::ostream& stream, const ToneCase& row)
{
    return stream << row.name;
}

class ReadsTheFirstPartial : public ::testing::TestWithParam<ToneCase> {};

TEST_P(ReadsTheFirstPartial, WithinTolerance)
{
    const ToneCase& row = GetParam();
    const PreciseReading reading = EstimatePrecisePitch(row.take(row.tone));
    ASSERT_TRUE(reading.found) << "confidence " << reading.confidence;
    EXPECT_NEAR(Cents(reading.firstPartialHz, row.tone.FirstPartialHz()), 0.0, row.toleranceCents)
        << reading.firstPartialHz << " Hz for " << row.tone.FirstPartialHz() << " Hz";
    EXPECT_GT(reading.confidence, 0.9);
}

const auto kTwoSeconds = [](const PartialTone& tone) { return InRoom(Synthesise(tone, 2 * kSecond)); };

INSTANTIATE_TEST_SUITE_P(
    SyntheticNotes, ReadsTheFirstPartial,
    ::testing::Values(
        ToneCase{"PureTone", {440.0, 0.0, {12000.0}}, kTwoSeconds, 0.1},
        ToneCase{"HarmonicTone", {196.0, 0.0, FallingAmplitudes(12, 9000.0)}, kTwoSeconds, 0.1},
        ToneCase{"FundamentalThirtyDecibelsDown", {110.0, 0.0, WithFirst(FallingAmplitudes(12, 9000.0), 285.0)},
                 kTwoSeconds, 0.5},
        ToneCase{"FundamentalAbsent", {110.0, 0.0, WithFirst(FallingAmplitudes(12, 9000.0), 0.0)}, kTwoSeconds, 0.5},
        ToneCase{"OddPartialsOnly", {147.0, 0.0, OddPartials(15, 9000.0)}, kTwoSeconds, 0.1},
        ToneCase{"OrganWithWeakOddPartials", {98.0, 0.0, WeakOddPartials(40, 6000.0)}, kTwoSeconds, 0.5},
        ToneCase{"StiffStringWithInharmonicity4e-4", {55.0, 4e-4, FallingAmplitudes(30, 6000.0)}, kTwoSeconds, 0.5},
        ToneCase{"StiffStringWithWeakFirstPartial", {32.7, 2e-4, WithFirst(FallingAmplitudes(30, 6000.0), 200.0)},
                 kTwoSeconds, 0.5},
        ToneCase{"TrebleStringWithInharmonicity1e-3", {2093.0, 1e-3, FallingAmplitudes(6, 9000.0)}, kTwoSeconds, 0.5},
        ToneCase{"HighestPianoKey", {4186.0, 0.0, {10000.0, 2000.0}}, kTwoSeconds, 0.5},
        ToneCase{"LowestPianoKey", {27.5, 1e-4, WithFirst(FallingAmplitudes(40, 5000.0), 1000.0)}, kTwoSeconds, 0.5},
        ToneCase{"VibratoOfTwentyCents", {330.0, 0.0, FallingAmplitudes(8, 8000.0), 20.0, 5.5}, kTwoSeconds, 0.5},
        ToneCase{"DecayingToneStoppedWhileSounding",
                 {196.0, 0.0, FallingAmplitudes(10, 12000.0), 0.0, 5.5, 1.5},
                 [](const PartialTone& tone) {
                     return Concatenate({Noise(kSecond / 2, 20), Mix(Synthesise(tone, kSecond * 6 / 5),
                                                                     Noise(kSecond * 6 / 5, 20, 3))});
                 },
                 0.5},
        ToneCase{"NoteStartingAtSampleZero", {261.6, 0.0, FallingAmplitudes(8, 10000.0), 0.0, 5.5, 2.0},
                 [](const PartialTone& tone) { return Mix(Synthesise(tone, 3 * kSecond), Noise(3 * kSecond, 20)); },
                 0.5}),
    [](const ::testing::TestParamInfo<ToneCase>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

struct SilentCase {
    const char* name;
    std::vector<int16_t> take;
};

TEST(PreciseReading, FindsNoPitchWithoutANote)
{
    for (const SilentCase& row : {SilentCase{"digital silence", Silence(3 * kSecond)},
                                  SilentCase{"loud white noise", Noise(3 * kSecond, 8000)},
                                  SilentCase{"room noise", Noise(3 * kSecond, 30)},
                                  SilentCase{"one click", Concatenate({Silence(kSecond), {30000}, Silence(kSecond)})},
                                  SilentCase{"empty take", {}}}) {
        const PreciseReading reading = EstimatePrecisePitch(row.take);
        EXPECT_FALSE(reading.found) << row.name << ": " << reading.firstPartialHz << " Hz";
    }
}

// From a file the reading is the same as from memory, and says which
// stretch it used: from 0.1 s after the attack, at most 2 s.
TEST(PreciseReading, ReadsACaptureFileAndReportsItsStretch)
{
    TemporaryDirectory directory;
    const PartialTone tone{220.0, 0.0, FallingAmplitudes(8, 10000.0)};
    const std::vector<int16_t> take = InRoom(Synthesise(tone, 3 * kSecond));
    WriteCaptureFile("note.wav", take);

    const PreciseReading fromFile = EstimatePrecisePitch(std::filesystem::path("note.wav"));
    const PreciseReading fromMemory = EstimatePrecisePitch(take);
    ASSERT_TRUE(fromFile.found);
    EXPECT_EQ(fromFile.firstPartialHz, fromMemory.firstPartialHz);
    EXPECT_NEAR(Cents(fromFile.firstPartialHz, 220.0), 0.0, 0.1);
    // The note starts at 0.5 s; the attack is the envelope block (512
    // samples) in which it starts, and the stretch begins 0.1 s later.
    EXPECT_GT(fromFile.beginByte, 2u * (kSecond / 2 - 512 + kSecond / 10));
    EXPECT_LE(fromFile.beginByte, 2u * (kSecond / 2 + kSecond / 10));
    EXPECT_EQ(fromFile.endByte - fromFile.beginByte, 2u * 2 * kSecond);
    EXPECT_EQ(fromFile.partialCount, 8u);
    EXPECT_EQ(fromFile.inharmonicity, 0.0);
}

TEST(PreciseReading, FindsNoPitchInAFileItCannotUse)
{
    TemporaryDirectory directory;
    WriteCaptureFile("eight-bit.wav", Synthesise({}, kSecond), CaptureFileHeaderFields::WithBitsPerSample(8));
    WriteCaptureFile("claims-more.wav", Synthesise({}, kSecond), CaptureFileHeaderFields::ClaimingDataSize(1 << 30));
    for (const char* name : {"missing.wav", ".", "eight-bit.wav"}) {
        EXPECT_FALSE(EstimatePrecisePitch(std::filesystem::path(name)).found) << name;
    }
    // A header that claims more data than the file holds reads what is there.
    const PreciseReading truncated = EstimatePrecisePitch(std::filesystem::path("claims-more.wav"));
    ASSERT_TRUE(truncated.found);
    EXPECT_NEAR(Cents(truncated.firstPartialHz, 440.0), 0.0, 0.1);
}

}  // namespace
