// The live tracker on synthetic notes whose pitch is known at every moment.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "precise/PreciseReading.h"
#include "tools/tones/PartialTone.h"
#include "tuner/core/LiveTracker.h"

namespace tonarel::tuner {
namespace {

using tones::PartialTone;

constexpr double kRate = 44100.0;

double Cents(double hz, double referenceHz)
{
    return 1200.0 * std::log2(hz / referenceHz);
}

std::vector<LiveReading> Track(const std::vector<int16_t>& samples, std::size_t block = 512)
{
    LiveTracker tracker;
    std::vector<LiveReading> readings;
    for (std::size_t at = 0; at < samples.size(); at += block) {
        tracker.Feed(std::span(samples).subspan(at, std::min(block, samples.size() - at)), readings);
    }
    return readings;
}

PartialTone Tone(double f0, uint32_t partials, double amplitude = 8000.0, double inharmonicity = 0.0)
{
    PartialTone tone;
    tone.f0Hz = f0;
    tone.amplitudes = tones::FallingAmplitudes(partials, amplitude);
    tone.inharmonicity = inharmonicity;
    return tone;
}

// The largest change between consecutive found readings, in cents.
double LargestJump(const std::vector<LiveReading>& readings)
{
    double largest = 0.0;
    const LiveReading* last = nullptr;
    for (const LiveReading& reading : readings) {
        if (reading.found) {
            if (last != nullptr) {
                largest = std::max(largest, std::fabs(Cents(reading.firstPartialHz, last->firstPartialHz)));
            }
            last = &reading;
        }
    }
    return largest;
}

struct PitchPath {
    const char* name;
    PartialTone tone;
    std::function<double(double)> centsAt;
    double seconds;
    double settledWithinSeconds;  // after a change, how long until every reading is within tolerance
    double toleranceCents;
};

class FollowsThePitch : public ::testing::TestWithParam<PitchPath> {};

// Every found reading, once the window holds only samples from after a
// change, lies within the tolerance of the pitch at the end of its samples,
// and there is a reading at least every 1024 samples with no octave jump.
TEST_P(FollowsThePitch, WithinToleranceAfterSettling)
{
    const PitchPath& path = GetParam();
    const auto samples = tones::SynthesiseAlong(path.tone, static_cast<uint32_t>(path.seconds * kRate), path.centsAt);
    const std::vector<LiveReading> readings = Track(samples);
    ASSERT_EQ(readings.size(), samples.size() / LiveTracker::kReadingInterval);
    int checked = 0;
    for (const LiveReading& reading : readings) {
        const double t = reading.timeSeconds;
        const double now = path.centsAt(t);
        const bool settled = t > path.settledWithinSeconds &&
                             std::fabs(path.centsAt(t - path.settledWithinSeconds) - now) < 1e-9;
        if (!settled) {
            continue;
        }
        ASSERT_TRUE(reading.found) << path.name << " at " << t << " s";
        EXPECT_NEAR(Cents(reading.firstPartialHz, path.tone.FirstPartialHz()), now, path.toleranceCents)
            << path.name << " at " << t << " s";
        ++checked;
    }
    EXPECT_GT(checked, 20) << path.name;
    EXPECT_LT(LargestJump(readings), 30.0) << path.name;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FollowsThePitch,
    ::testing::Values(
        PitchPath{"A4_up_10_cents", Tone(440.0, 8), [](double t) { return t < 1.0 ? 0.0 : 10.0; }, 2.0, 0.15, 1.0},
        PitchPath{"C2_down_10_cents", Tone(65.406, 16), [](double t) { return t < 1.0 ? 0.0 : -10.0; }, 2.0, 0.3, 1.0},
        PitchPath{"E6_up_30_cents", Tone(1318.5, 4), [](double t) { return t < 0.7 ? 0.0 : 30.0; }, 1.5, 0.15, 1.0},
        PitchPath{"stiff_G2_down_5_cents", Tone(98.0, 20, 8000.0, 2e-4), [](double t) { return t < 1.0 ? 0.0 : -5.0; },
                  2.0, 0.3, 1.0}),
    [](const auto& info) { return std::string(info.param.name); });

// The found readings later than `seconds`.
std::vector<LiveReading> FoundAfter(const std::vector<LiveReading>& readings, double seconds)
{
    std::vector<LiveReading> found;
    std::copy_if(readings.begin(), readings.end(), std::back_inserter(found),
                 [&](const LiveReading& r) { return r.found && r.timeSeconds > seconds; });
    return found;
}

TEST(LiveTracker, FollowsAGlideReadingByReading)
{
    // 220 Hz rising a whole tone over two seconds: 100 cents a second.
    const PartialTone tone = Tone(220.0, 8);
    const auto centsAt = [](double t) { return t < 0.5 ? 0.0 : std::min(200.0, 100.0 * (t - 0.5)); };
    const std::vector<LiveReading> found = FoundAfter(Track(tones::SynthesiseAlong(tone, 3 * 44100, centsAt)), 0.7);
    ASSERT_GT(found.size(), 80u);
    for (std::size_t i = 1; i < found.size(); ++i) {
        // The window's middle lies about 50 ms before its end.
        EXPECT_NEAR(Cents(found[i].firstPartialHz, 220.0), centsAt(found[i].timeSeconds - 0.05), 2.0)
            << found[i].timeSeconds;
        if (found[i].timeSeconds < 2.4) {
            EXPECT_GT(found[i].firstPartialHz, found[i - 1].firstPartialHz) << "every reading moves on the glide";
        }
    }
}

class FollowsAVibrato : public ::testing::TestWithParam<PartialTone> {};

// ±20 cents at 5.5 Hz swing the readings by at least ±15 cents, in the bass
// (whose window spans a whole cycle of the vibrato) as in the middle.
TEST_P(FollowsAVibrato, InsteadOfAveragingItAway)
{
    PartialTone tone = GetParam();
    tone.vibratoCents = 20.0;
    tone.vibratoHz = 5.5;
    const std::vector<LiveReading> found = FoundAfter(Track(tones::Synthesise(tone, 2 * 44100)), 0.5);
    ASSERT_GT(found.size(), 50u);
    const auto [low, high] = std::minmax_element(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.firstPartialHz < b.firstPartialHz;
    });
    EXPECT_LT(Cents(low->firstPartialHz, tone.f0Hz), -15.0);
    EXPECT_GT(Cents(high->firstPartialHz, tone.f0Hz), 15.0);
    EXPECT_LT(LargestJump(found), 20.0);  // a vibrato moves at most 16 cents between readings
}

INSTANTIATE_TEST_SUITE_P(Notes, FollowsAVibrato, ::testing::Values(Tone(440.0, 8), Tone(65.406, 16)),
                         [](const auto& info) { return info.index == 0 ? "A4" : "C2"; });

struct LateOddPartials {
    const char* name;
    double f0;
    double oddRiseSeconds;  // the odd partials grow from nothing to full over this long
};

class ReadsTheLowNoteFromItsAttack : public ::testing::TestWithParam<LateOddPartials> {};

// A bass note whose odd partials build up after its even ones (a large
// organ pipe, a piano's lowest strings) sounds at first like the octave
// above; the readings must never show that octave and then leap down.
TEST_P(ReadsTheLowNoteFromItsAttack, WithoutReadingTheOctaveAbove)
{
    const LateOddPartials& note = GetParam();
    PartialTone even = Tone(note.f0, 24);
    PartialTone odd = even;
    for (std::size_t k = 0; k < even.amplitudes.size(); ++k) {
        (k % 2 == 0 ? even : odd).amplitudes[k] = 0.0;
    }
    const auto evenSamples = tones::Synthesise(even, 2 * 44100);
    auto oddSamples = tones::Synthesise(odd, 2 * 44100);
    for (std::size_t n = 0; n < oddSamples.size(); ++n) {
        const double t = static_cast<double>(n) / kRate;
        oddSamples[n] = static_cast<int16_t>(std::lround(oddSamples[n] * std::min(1.0, t / note.oddRiseSeconds)));
    }
    const std::vector<LiveReading> found = FoundAfter(Track(tones::Mix(evenSamples, oddSamples)), 0.0);
    ASSERT_GT(found.size(), 40u) << note.name;
    EXPECT_LT(found.front().timeSeconds, 0.6) << note.name;
    for (const LiveReading& reading : found) {
        EXPECT_NEAR(Cents(reading.firstPartialHz, note.f0), 0.0, 5.0) << note.name << " at " << reading.timeSeconds;
    }
}

INSTANTIATE_TEST_SUITE_P(Notes, ReadsTheLowNoteFromItsAttack,
                         ::testing::Values(LateOddPartials{"C2_odd_partials_over_600_ms", 65.406, 0.6},
                                           LateOddPartials{"A1_odd_partials_over_400_ms", 55.0, 0.4}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Steady {
    const char* name;
    PartialTone tone;
    std::size_t firstSample;       // where in the synthesised note listening starts
    double foundWithinSeconds;     // of the first sample fed
};

class ReadsASteadyNote : public ::testing::TestWithParam<Steady> {};

// The note is found soon, every found reading agrees with the precise
// reading of the same samples, and the note is never lost while it sounds.
TEST_P(ReadsASteadyNote, AsThePreciseReadingDoes)
{
    const Steady& steady = GetParam();
    auto samples = tones::Synthesise(steady.tone, static_cast<uint32_t>(steady.firstSample + 2 * 44100));
    samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(steady.firstSample));
    const PreciseReading precise = EstimatePrecisePitch(samples);
    ASSERT_TRUE(precise.found);
    const std::vector<LiveReading> readings = Track(samples, 1000);
    const auto first = std::find_if(readings.begin(), readings.end(), [](const LiveReading& r) { return r.found; });
    ASSERT_NE(first, readings.end()) << steady.name;
    EXPECT_LE(first->timeSeconds, steady.foundWithinSeconds) << steady.name;
    EXPECT_TRUE(first->noteStarted);
    for (auto reading = first; reading != readings.end(); ++reading) {
        ASSERT_TRUE(reading->found) << steady.name << " lost at " << reading->timeSeconds;
        EXPECT_NEAR(Cents(reading->firstPartialHz, precise.firstPartialHz), 0.0, 0.5) << reading->timeSeconds;
        EXPECT_EQ(reading->noteStarted, reading == first);
        EXPECT_GE(reading->confidence, 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Notes, ReadsASteadyNote,
    ::testing::Values(Steady{"from_sample_0", Tone(440.0, 6), 0, 0.15},
                      Steady{"already_sounding", Tone(293.7, 6), 12345, 0.15},
                      // -40 dBFS peak: partials 1/k of 140 sum to at most 327 sample units.
                      Steady{"quiet_minus_40_dBFS", Tone(440.0, 6, 140.0), 0, 0.2},
                      Steady{"stiff_bass", Tone(55.0, 30, 6000.0, 1e-4), 0, 0.4},
                      Steady{"treble", Tone(3135.96, 3), 0, 0.15}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LiveTracker, ReadsADecayingStiffStringUntilItFades)
{
    PartialTone tone = Tone(130.81, 24, 12000.0, 4e-4);
    tone.decaySeconds = 0.8;  // 54 dB down after 5 s
    const std::vector<LiveReading> readings = Track(tones::Synthesise(tone, 5 * 44100));
    const std::vector<LiveReading> found = FoundAfter(readings, 0.0);
    ASSERT_FALSE(found.empty());
    EXPECT_GT(found.back().timeSeconds - found.front().timeSeconds, 2.5);
    for (const LiveReading& reading : found) {
        EXPECT_NEAR(Cents(reading.firstPartialHz, tone.FirstPartialHz()), 0.0, 1.0) << reading.timeSeconds;
    }
    EXPECT_NEAR(found[found.size() / 2].inharmonicity, 4e-4, 1e-4);
    EXPECT_GE(found[found.size() / 2].partialCount, 10u);
    EXPECT_EQ(std::count_if(found.begin(), found.end(), [](const LiveReading& r) { return r.noteStarted; }), 1);
}

std::vector<int16_t> WhiteNoise(std::size_t count, int amplitude)
{
    std::vector<int16_t> noise(count);
    uint32_t state = 12345;
    for (int16_t& sample : noise) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<int16_t>(static_cast<int>(state >> 16) % (2 * amplitude + 1) - amplitude);
    }
    return noise;
}

struct NoNote {
    const char* name;
    std::vector<int16_t> samples;
};

class FindsNoNote : public ::testing::TestWithParam<NoNote> {};

TEST_P(FindsNoNote, InNoiseOrSilence)
{
    const std::vector<LiveReading> readings = Track(GetParam().samples, 333);
    EXPECT_EQ(readings.size(), GetParam().samples.size() / LiveTracker::kReadingInterval);
    for (const LiveReading& reading : readings) {
        EXPECT_FALSE(reading.found) << GetParam().name << " at " << reading.timeSeconds;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, FindsNoNote,
                         ::testing::Values(NoNote{"digital_silence", std::vector<int16_t>(3 * 44100)},
                                           NoNote{"stray_bit", WhiteNoise(3 * 44100, 1)},
                                           NoNote{"quiet_noise", WhiteNoise(3 * 44100, 30)},
                                           NoNote{"loud_noise", WhiteNoise(3 * 44100, 10000)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LiveTracker, EndsTheNoteWhenItStopsAndFindsTheNext)
{
    auto samples = tones::Synthesise(Tone(440.0, 6), 44100);
    samples.resize(2 * 44100);  // a second of silence
    const auto next = tones::Synthesise(Tone(329.6, 6), 44100);
    samples.insert(samples.end(), next.begin(), next.end());
    const std::vector<LiveReading> readings = Track(samples);
    for (const LiveReading& reading : readings) {
        if (reading.timeSeconds > 1.1 && reading.timeSeconds < 2.0) {
            EXPECT_FALSE(reading.found) << reading.timeSeconds;
        }
    }
    const std::vector<LiveReading> later = FoundAfter(readings, 2.0);
    ASSERT_FALSE(later.empty());
    EXPECT_TRUE(later.front().noteStarted);
    EXPECT_NEAR(Cents(later.back().firstPartialHz, 329.6), 0.0, 0.5);
}

// Blocks of any size give the same readings at the same times.
TEST(LiveTracker, ReadsAlikeWhateverTheBlockSize)
{
    const auto samples = tones::Synthesise(Tone(196.0, 6), 44100);
    const std::vector<LiveReading> whole = Track(samples, samples.size());
    for (const std::size_t block : {1u, 7u, 1024u, 4097u}) {
        const std::vector<LiveReading> pieces = Track(samples, block);
        ASSERT_EQ(pieces.size(), whole.size()) << block;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(pieces[i].timeSeconds, whole[i].timeSeconds);
            EXPECT_EQ(pieces[i].firstPartialHz, whole[i].firstPartialHz) << block << " reading " << i;
        }
    }
    EXPECT_DOUBLE_EQ(whole.front().timeSeconds, 1024.0 / 44100.0);
}

TEST(LiveTracker, CorrectionScalesFrequenciesAndResetRestartsTime)
{
    const auto samples = tones::Synthesise(Tone(440.0, 6), 44100);
    LiveTracker tracker;
    tracker.SetFrequencyCorrection(1.001);
    tracker.SetFrequencyCorrection(2.0);  // beyond any sound card: ignored
    EXPECT_EQ(tracker.FrequencyCorrection(), 1.001);
    std::vector<LiveReading> readings;
    tracker.Feed(samples, readings);
    ASSERT_TRUE(readings.back().found);
    EXPECT_NEAR(readings.back().firstPartialHz, 440.44, 0.01);

    tracker.Reset();
    readings.clear();
    tracker.Feed(std::span(samples).first(2048), readings);
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_DOUBLE_EQ(readings.back().timeSeconds, 2048.0 / 44100.0);
    EXPECT_FALSE(readings.back().found);
}

}  // namespace
}  // namespace tonarel::tuner
