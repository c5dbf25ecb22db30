// tonarel-stretch on 30 takes, as a tuner runs it after measuring a piano:
// the whole program, from start to the printed curve. Each take is 3 s of a
// stiff string (a quarter second of room noise, then the note decaying), 30
// keys spread from A0 to C8.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "piano/AverageGrand.h"
#include "piano/PianoMeasurements.h"
#include "tools/tones/PartialTone.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;
using namespace tonarel::piano;

constexpr int kTakes = 30;

class Takes {
public:
    static const std::string& Arguments()
    {
        static Takes takes;
        return takes.arguments_;
    }

private:
    Takes() : directory_(TemporaryDirectory::Enter::kNo)
    {
        for (int n = 0; n < kTakes; ++n) {
            const int key = 1 + n * 3;
            PartialTone tone;
            tone.inharmonicity = AverageGrandInharmonicity(key);
            tone.f0Hz = tonarel::tuning::EqualTemperedHz(MidiOfKey(key), 440.0) / std::sqrt(1.0 + tone.inharmonicity);
            tone.amplitudes = FallingAmplitudes(static_cast<uint32_t>(std::min(40.0, 15000.0 / tone.f0Hz) + 1), 9000.0);
            tone.decaySeconds = 1.5;
            const std::vector<int16_t> note = Synthesise(tone, kToneSampleRate * 11 / 4);
            const std::filesystem::path file = directory_ / ("key" + std::to_string(key) + ".wav");
            WriteCaptureFile(file, Concatenate({Noise(kToneSampleRate / 4, 20, static_cast<uint32_t>(key)),
                                                Mix(note, Noise(static_cast<uint32_t>(note.size()), 20, 7))}));
            arguments_ += " " + std::to_string(key) + "='" + file.string() + "'";
        }
    }

    TemporaryDirectory directory_;
    std::string arguments_;
};

double ChildrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The time is the wall-clock time, which on a loaded machine includes waiting
// for a core; the counter "program_cpu_s" is the program's own processor time
// per run.
void BM_StretchToolOnThirtyTakes(benchmark::State& state)
{
    const std::string command = "'" TONAREL_STRETCH_PATH "'" + Takes::Arguments() + " --json >/dev/null";
    const double cpuBefore = ChildrenCpuSeconds();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("tonarel-stretch failed");
            break;
        }
    }
    state.counters["program_cpu_s"] =
        benchmark::Counter((ChildrenCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_StretchToolOnThirtyTakes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
