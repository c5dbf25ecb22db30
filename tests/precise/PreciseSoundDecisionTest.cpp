// With the precise reading ticked, the analysis decides by that reading
// whether a note sounds: notes the estimator gives up on read within a cent,
// and a take without a note still shows the no-sound texts.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "meter/core/RecordingAnalysis.h"
#include "meter/core/SemitoneTable.h"
#include "tools/tones/PartialTone.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;

constexpr uint32_t kSecond = kToneSampleRate;

struct TakeCase {
    const char* name;
    std::vector<int16_t> take;
    double firstPartialHz;  ///< 0: no note
};

int16_t Peak(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (const int16_t sample : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return static_cast<int16_t>(peak);
}

// A quiet instrument a metre away: its peak at -40 dBFS (328), in room noise
// whose peaks come within 10 dB of it.
std::vector<int16_t> QuietNote()
{
    const std::vector<int16_t> note = Synthesise({330.0, 0.0, FallingAmplitudes(6, 130.0)}, 2 * kSecond);
    EXPECT_LE(Peak(note), 328);
    EXPECT_GE(Peak(note), 200);
    return Concatenate({Noise(kSecond / 2, 100, 2), Mix(note, Noise(2 * kSecond, 100, 3)), Noise(kSecond / 2, 100, 4)});
}

// A loud decaying note whose attack came before the take: the take starts
// half a second into it.
std::vector<int16_t> AlreadySounding()
{
    const PartialTone tone{146.8, 0.0, FallingAmplitudes(10, 14000.0), 0.0, 5.5, 3.0};
    const std::vector<int16_t> note = Synthesise(tone, 3 * kSecond);
    return Mix(std::vector<int16_t>(note.begin() + kSecond / 2, note.end()), Noise(note.size() - kSecond / 2, 20));
}

class PreciseSoundDecision : public ::testing::Test {
protected:
    TemporaryDirectory directory;
    std::array<float, tonarel::kSemitoneCount> table{};
    void SetUp() override { tonarel::BuildSemitoneTable(440.0f, table); }
};

TEST_F(PreciseSoundDecision, ReadsNotesTheEstimatorMissesAndNothingWithoutANote)
{
    const std::vector<TakeCase> rows = {
        {"a note at -40 dBFS", QuietNote(), 330.0},
        {"a note from sample 0",
         Concatenate({Mix(Synthesise({261.6, 0.0, FallingAmplitudes(8, 9000.0)}, 2 * kSecond), Noise(2 * kSecond, 20)),
                      Noise(kSecond / 2, 20)}),
         261.6},
        {"a note already sounding", AlreadySounding(), 146.8},
        {"loud noise", Noise(3 * kSecond, 8000), 0.0},
        {"room noise", Noise(3 * kSecond, 30), 0.0},
        {"digital silence", Silence(2 * kSecond), 0.0},
    };
    for (const TakeCase& row : rows) {
        WriteCaptureFile("my.wav", row.take);
        const auto analysis = tonarel::AnalyseRecording("my.wav", {.precise = true}, table);
        if (row.firstPartialHz == 0.0) {
            EXPECT_TRUE(analysis.noSound) << row.name << ": " << analysis.frequency << " Hz";
            EXPECT_EQ(analysis.frequencyText, tonarel::kNoSoundFrequencyText) << row.name;
            EXPECT_EQ(analysis.snrText, tonarel::kNoSoundSnrText) << row.name;
            EXPECT_EQ(analysis.byteCount, 2u) << row.name;
            continue;
        }
        if (analysis.noSound) {
            ADD_FAILURE() << row.name << " reads as no sound";
            continue;
        }
        EXPECT_NEAR(1200.0 * std::log2(analysis.frequency / row.firstPartialHz), 0.0, 1.0) << row.name;
        // The oscilloscope is handed the stretch the reading used when the
        // estimator has no segment of its own.
        EXPECT_GT(analysis.byteCount, 2u) << row.name;
        EXPECT_TRUE(analysis.semitoneText) << row.name;
    }
}

}  // namespace
