// The live tracker's cost and figures: CPU for a minute of input, the heap
// over ten minutes of listening, how soon a reading settles after a step in
// pitch, its agreement with the precise reading on steady notes, and (when
// TONAREL_RECORDINGS names the folder of the recordings with a known pitch,
// holding manifest.tsv and wav/) its steadiness and accuracy on real notes.
// Every figure is a counter of its benchmark.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "precise/NoteStretch.h"
#include "precise/PreciseReading.h"
#include "tools/tones/PartialTone.h"
#include "tools/tones/WaveFileWriter.h"
#include "tuner/core/LiveTracker.h"
#include "tuner/core/StrobePhase.h"

namespace {

using namespace tonarel;
using tonarel::tones::PartialTone;

constexpr std::size_t kBlock = 512;  // what the sound server delivers at a time, about 12 ms

double Cents(double hz, double referenceHz)
{
    return 1200.0 * std::log2(hz / referenceHz);
}

std::vector<tuner::LiveReading> Track(std::span<const int16_t> samples)
{
    tuner::LiveTracker tracker;
    std::vector<tuner::LiveReading> readings;
    for (std::size_t at = 0; at < samples.size(); at += kBlock) {
        tracker.Feed(samples.subspan(at, std::min(kBlock, samples.size() - at)), readings);
    }
    return readings;
}

// A minute of playing: twenty 3-second piano-like notes across the range,
// each decaying into quiet room noise.
const std::vector<int16_t>& Minute()
{
    static const std::vector<int16_t> minute = [] {
        std::vector<int16_t> samples;
        for (int note = 0; note < 20; ++note) {
            PartialTone tone;
            tone.f0Hz = 27.5 * std::exp2((note * 17 % 88) / 12.0);
            tone.inharmonicity = 1e-4 * std::exp2(note % 5);
            tone.amplitudes = tones::FallingAmplitudes(std::max(2, static_cast<int>(4000.0 / tone.f0Hz)), 9000.0);
            tone.decaySeconds = 1.2;
            const auto sound = tones::Mix(tones::Synthesise(tone, 3 * 44100),
                                          tones::Noise(3 * 44100, 30, static_cast<uint32_t>(note + 1)));
            samples.insert(samples.end(), sound.begin(), sound.end());
        }
        return samples;
    }();
    return minute;
}

void BM_LiveTrackerMinute(benchmark::State& state)
{
    const std::vector<int16_t>& minute = Minute();
    std::size_t found = 0;
    for (auto _ : state) {
        const auto readings = Track(minute);
        found = static_cast<std::size_t>(
            std::count_if(readings.begin(), readings.end(), [](const auto& r) { return r.found; }));
        benchmark::DoNotOptimize(readings.data());
    }
    state.counters["input_seconds"] = static_cast<double>(minute.size()) / 44100.0;
    state.counters["found_readings"] = static_cast<double>(found);
}

void BM_StrobePhaseMinute(benchmark::State& state)
{
    const std::vector<int16_t>& minute = Minute();
    for (auto _ : state) {
        tuner::StrobePhase strobe;
        strobe.SetTargetHz(440.0);
        double sum = 0.0;
        for (std::size_t at = 0; at < minute.size(); at += kBlock) {
            strobe.Feed(std::span(minute).subspan(at, std::min(kBlock, minute.size() - at)));
            sum += strobe.PhaseTurns();
        }
        benchmark::DoNotOptimize(sum);
    }
}

// The heap after twenty minutes of listening against after the first two:
// the tracker's memory is fixed at construction. The heap in use may still
// grow by a few kilobytes while FFTW's planner fills its table of the
// transforms it has met, then stays; the arena the heap takes from the
// system must not grow at all.
void BM_HeapWhileListening(benchmark::State& state)
{
    const std::vector<int16_t>& minute = Minute();
    double growth = 0.0;
    double arenaGrowth = 0.0;
    for (auto _ : state) {
        tuner::LiveTracker tracker;
        std::vector<tuner::LiveReading> readings;
        readings.reserve(64);
        std::size_t afterTwoMinutes = 0;
        std::size_t arenaAfterTwoMinutes = 0;
        for (int pass = 0; pass < 20; ++pass) {
            for (std::size_t at = 0; at < minute.size(); at += kBlock) {
                tracker.Feed(std::span(minute).subspan(at, std::min(kBlock, minute.size() - at)), readings);
                readings.clear();
            }
            if (pass == 1) {
                afterTwoMinutes = mallinfo2().uordblks;
                arenaAfterTwoMinutes = mallinfo2().arena;
            }
        }
        growth = static_cast<double>(mallinfo2().uordblks) - static_cast<double>(afterTwoMinutes);
        arenaGrowth = static_cast<double>(mallinfo2().arena) - static_cast<double>(arenaAfterTwoMinutes);
    }
    state.counters["heap_growth_bytes"] = growth;
    state.counters["arena_growth_bytes"] = arenaGrowth;
}

// A step of `cents` after one second on a bright tone of `hz`: the time from
// the step until every later reading lies within 1 cent of the new pitch.
void BM_SettlingAfterStep(benchmark::State& state, double hz, double cents, uint32_t partials)
{
    PartialTone tone;
    tone.f0Hz = hz;
    tone.amplitudes = tones::FallingAmplitudes(partials, 8000.0);
    const auto samples = tones::SynthesiseAlong(tone, 2 * 44100, [&](double t) { return t < 1.0 ? 0.0 : cents; });
    double settledAfter = -1.0;
    for (auto _ : state) {
        const auto readings = Track(samples);
        settledAfter = -1.0;
        for (const auto& reading : readings) {
            if (reading.timeSeconds <= 1.0) {
                continue;
            }
            const bool within = reading.found && std::fabs(Cents(reading.firstPartialHz, hz) - cents) <= 1.0;
            if (!within) {
                settledAfter = -1.0;
            } else if (settledAfter < 0.0) {
                settledAfter = reading.timeSeconds - 1.0;
            }
        }
    }
    state.counters["settled_ms"] = settledAfter * 1000.0;
}

// Steady notes: the largest difference between a found live reading and the
// precise reading of the same samples.
void BM_SteadyAgainstPrecise(benchmark::State& state)
{
    double worst = 0.0;
    std::size_t compared = 0;
    for (auto _ : state) {
        worst = 0.0;
        compared = 0;
        for (const double hz : {30.87, 55.0, 98.0, 196.0, 440.0, 880.0, 1760.0, 3520.0}) {
            PartialTone tone;
            tone.f0Hz = hz;
            tone.inharmonicity = hz < 200.0 ? 2e-4 : 1e-3;
            tone.amplitudes = tones::FallingAmplitudes(std::max(3, static_cast<int>(5000.0 / hz)), 8000.0);
            const auto samples = tones::Synthesise(tone, 2 * 44100);
            const PreciseReading precise = EstimatePrecisePitch(samples);
            for (const auto& reading : Track(samples)) {
                if (reading.found && precise.found) {
                    worst = std::max(worst, std::fabs(Cents(reading.firstPartialHz, precise.firstPartialHz)));
                    ++compared;
                }
            }
        }
    }
    state.counters["worst_cents"] = worst;
    state.counters["readings"] = static_cast<double>(compared);
}

// ±20 cents of vibrato at 5.5 Hz on A4, A3 and C2: the swing of the found
// readings after the first half second, in cents peak to peak.
void BM_VibratoSwing(benchmark::State& state, double hz)
{
    PartialTone tone;
    tone.f0Hz = hz;
    tone.amplitudes = tones::FallingAmplitudes(8, 8000.0);
    tone.vibratoCents = 20.0;
    const auto samples = tones::Synthesise(tone, 3 * 44100);
    double swing = 0.0;
    for (auto _ : state) {
        double low = 1e9;
        double high = -1e9;
        for (const auto& reading : Track(samples)) {
            if (reading.found && reading.timeSeconds > 0.5) {
                low = std::min(low, Cents(reading.firstPartialHz, hz));
                high = std::max(high, Cents(reading.firstPartialHz, hz));
            }
        }
        swing = high - low;
    }
    state.counters["swing_cents"] = swing;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) {
        fields.push_back(field);
    }
    return fields;
}

// Over every recording: jumps of more than 50 cents between consecutive found
// readings while the note sounds (onset to note end, from the manifest), and
// for the piano notes marked good, the median of the readings over the
// sustained stretch (as the precise reading chooses it) against measured_hz.
void BM_Recordings(benchmark::State& state)
{
    const char* folder = std::getenv("TONAREL_RECORDINGS");
    if (folder == nullptr || !std::filesystem::exists(std::filesystem::path(folder) / "manifest.tsv")) {
        state.SkipWithError("TONAREL_RECORDINGS does not name the recordings' folder");
        return;
    }
    double jumps = 0, goodPiano = 0, goodPianoWithin = 0, worstGoodPiano = 0, files = 0;
    for (auto _ : state) {
        jumps = goodPiano = goodPianoWithin = worstGoodPiano = files = 0;
        std::ifstream manifest(std::filesystem::path(folder) / "manifest.tsv");
        std::string line;
        std::getline(manifest, line);
        while (std::getline(manifest, line)) {
            const std::vector<std::string> field = Fields(line);
            if (field.size() < 10) {
                continue;
            }
            std::ifstream wave(std::filesystem::path(folder) / "wav" / field[0], std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(wave), std::istreambuf_iterator<char>()};
            if (bytes.size() < 46) {
                continue;
            }
            std::vector<int16_t> samples((bytes.size() - 44) / 2);
            std::memcpy(samples.data(), bytes.data() + 44, 2 * samples.size());
            ++files;
            const double onset = field[8] == "NA" ? 0.0 : std::stod(field[8]);
            const double end = field[9] == "NA" ? 1e9 : std::stod(field[9]);
            precise::LevelEnvelope envelope;
            envelope.Add(samples);
            envelope.Finish();
            const auto stretch = precise::ChooseNoteStretch(envelope.Levels(), envelope.SampleCount());
            std::vector<double> sustained;
            const tuner::LiveReading* last = nullptr;
            const auto readings = Track(samples);
            for (const auto& reading : readings) {
                if (!reading.found || reading.timeSeconds <= onset || reading.timeSeconds > end) {
                    continue;
                }
                if (last != nullptr && std::fabs(Cents(reading.firstPartialHz, last->firstPartialHz)) > 50.0) {
                    ++jumps;
                }
                last = &reading;
                const double sample = reading.timeSeconds * 44100.0;
                if (stretch && sample > stretch->firstSample && sample <= stretch->firstSample + stretch->sampleCount) {
                    sustained.push_back(reading.firstPartialHz);
                }
            }
            if (field[1] == "piano" && field[5] == "good" && !sustained.empty()) {
                const auto middle = sustained.begin() + static_cast<std::ptrdiff_t>(sustained.size() / 2);
                std::nth_element(sustained.begin(), middle, sustained.end());
                const double off = std::fabs(Cents(sustained[sustained.size() / 2], std::stod(field[4])));
                ++goodPiano;
                goodPianoWithin += off <= 1.0 ? 1 : 0;
                worstGoodPiano = std::max(worstGoodPiano, off);
            }
        }
    }
    state.counters["files"] = files;
    state.counters["jumps_over_50_cents"] = jumps;
    state.counters["good_piano"] = goodPiano;
    state.counters["good_piano_within_1_cent"] = goodPianoWithin;
    state.counters["good_piano_worst_cents"] = worstGoodPiano;
}

}  // namespace

BENCHMARK(BM_LiveTrackerMinute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrobePhaseMinute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeapWhileListening)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SettlingAfterStep, A4_up_10_cents, 440.0, 10.0, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SettlingAfterStep, C2_down_10_cents, 65.406, -10.0, 16)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SettlingAfterStep, A2_up_10_cents, 110.0, 10.0, 12)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SettlingAfterStep, C7_down_10_cents, 2093.0, -10.0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SteadyAgainstPrecise)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_VibratoSwing, A4, 440.0)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_VibratoSwing, A3, 220.0)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_VibratoSwing, C2, 65.406)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Recordings)->Unit(benchmark::kMillisecond)->Iterations(1);
