// The cost of one pitch estimate, and of one precise reading, against the
// cost of merely reading the same recording once from start to end. Recordings of 1, 5, 10 and 20 seconds:
// half a second of quiet room noise, then a 441 Hz note decaying over the rest
// of the recording, so that the automatic segment spans about half of it.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "precise/PreciseReading.h"
#include "standard/PitchEstimator.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"

using namespace tonarel;

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;

class Recordings {
public:
    static const std::filesystem::path& Of(int seconds)
    {
        static Recordings recordings;
        return recordings.files_.at(seconds);
    }

private:
    Recordings() : directory_(TemporaryDirectory::Enter::kNo)
    {
        for (const int seconds : {1, 5, 10, 20}) {
            const uint32_t leadIn = kToneSampleRate / 2;
            const uint32_t note = static_cast<uint32_t>(seconds) * kToneSampleRate - leadIn;
            const double decaySeconds = static_cast<double>(note) / kToneSampleRate / 3;
            const std::filesystem::path file = directory_ / ("note-" + std::to_string(seconds) + "s.wav");
            WriteCaptureFile(file, Concatenate({Noise(leadIn, 30), DecayingTone(note, 441.0, 12000.0, decaySeconds)}));
            files_[seconds] = file;
        }
    }

    TemporaryDirectory directory_;
    std::map<int, std::filesystem::path> files_;
};

void BM_EstimatePitch(benchmark::State& state)
{
    const std::filesystem::path& file = Recordings::Of(static_cast<int>(state.range(0)));
    uint32_t byteCount = 0;
    long double frequency = 0;
    for (auto _ : state) {
        tonarel::PitchEstimate estimate = tonarel::EstimatePitch(file, tonarel::PitchEstimatorOptions{});
        frequency = estimate.frequency;
        byteCount = estimate.byteCount;
        benchmark::DoNotOptimize(frequency);
        benchmark::DoNotOptimize(estimate.samples.get());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(file)));
    // What was analysed: the automatic segment's length and the reading.
    state.counters["segment_bytes"] = byteCount;
    state.counters["hertz"] = static_cast<double>(frequency);
}

// The precise reading of the same recordings, file read included.
void BM_EstimatePrecisePitch(benchmark::State& state)
{
    const std::filesystem::path& file = Recordings::Of(static_cast<int>(state.range(0)));
    tonarel::PreciseReading reading;
    for (auto _ : state) {
        reading = tonarel::EstimatePrecisePitch(file);
        benchmark::DoNotOptimize(reading);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(file)));
    state.counters["stretch_bytes"] = reading.endByte - reading.beginByte;
    state.counters["hertz"] = reading.firstPartialHz;
}

// The floor: open the file and read every byte once, in large buffered reads.
void BM_SequentialRead(benchmark::State& state)
{
    const std::filesystem::path& file = Recordings::Of(static_cast<int>(state.range(0)));
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        std::FILE* stream = std::fopen(file.c_str(), "rb");
        std::size_t total = 0;
        std::size_t read = 0;
        while ((read = std::fread(buffer.data(), 1, buffer.size(), stream)) > 0) {
            total += read;
        }
        std::fclose(stream);
        benchmark::DoNotOptimize(total);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(file)));
}

}  // namespace

BENCHMARK(BM_SequentialRead)->Arg(1)->Arg(5)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EstimatePitch)->Arg(1)->Arg(5)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EstimatePrecisePitch)->Arg(1)->Arg(5)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
