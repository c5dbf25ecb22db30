// Memory while a take is recorded. A long take is simulated by feeding the
// take on disk the pieces the sound server delivers (50 ms of 16-bit mono at
// 44 100 Hz, 2 205 samples at a time), as the capture device does at every
// readyRead; the take is saved at the end, as at "停止录音". Beside it, the
// same pieces kept in memory, as the device kept them before.
//
// Counters: heap_growth (the most the heap in use rose above its level before
// the take, sampled every second of sound), take (the sound kept) and
// peak_rss (the process's peak resident size so far). Target: heap_growth the
// same for a 1-minute and a 60-minute take.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <span>
#include <stdexcept>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

#include "tests/support/TemporaryDirectory.h"
#include "wave/TakeFile.h"
#include "wave/TakeOnDisk.h"

using namespace tonarel;

namespace {

constexpr std::size_t kPieceBytes = 4410;  // 50 ms
constexpr int kPiecesPerSecond = 20;
const CaptureFormat kMono16{1, 44100, 16};

/// 50 ms of a 441 Hz tone.
std::vector<std::byte> Piece()
{
    std::vector<int16_t> samples(kPieceBytes / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(std::lround(12000 * std::sin(2 * std::numbers::pi * 441 * i / 44100.0)));
    }
    const auto bytes = std::as_bytes(std::span(samples));
    return {bytes.begin(), bytes.end()};
}

/// Bytes the allocator has handed out, large blocks (which it maps
/// separately) included.
std::size_t HeapInUse()
{
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

double PeakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024;
}

/// Feeds `minutes` of sound to `keep` piece by piece and reports how far the
/// heap rose meanwhile.
template <typename Keep>
void Feed(benchmark::State& state, Keep&& keep)
{
    const std::vector<std::byte> piece = Piece();
    const std::size_t before = HeapInUse();
    std::size_t highest = before;
    const int64_t pieces = state.range(0) * 60 * kPiecesPerSecond;
    for (int64_t i = 0; i < pieces; ++i) {
        keep(std::span<const std::byte>(piece));
        if (i % kPiecesPerSecond == 0) {
            highest = std::max(highest, HeapInUse());
        }
    }
    state.counters["heap_growth"] = benchmark::Counter(static_cast<double>(highest - before),
                                                      benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
    state.counters["take"] = benchmark::Counter(static_cast<double>(pieces * kPieceBytes),
                                               benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
}

void TakeOnDiskOfMinutes(benchmark::State& state)
{
    for (auto _ : state) {
        test::TemporaryDirectory folder(test::TemporaryDirectory::Enter::kNo);
        TakeOnDisk take(folder.Path(), kMono16, MaxCaptureDataBytes(kMono16));
        Feed(state, [&take](std::span<const std::byte> piece) {
            if (!take.Append(piece)) {
                throw std::runtime_error("the take could not be written");
            }
        });
        take.SaveAs(folder / "my.wav");
    }
    state.counters["peak_rss"] =
        benchmark::Counter(PeakResidentBytes(), benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
}

void TakeInMemoryOfMinutes(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<std::byte> take;
        Feed(state, [&take](std::span<const std::byte> piece) { take.insert(take.end(), piece.begin(), piece.end()); });
        benchmark::DoNotOptimize(take.data());
    }
    state.counters["peak_rss"] =
        benchmark::Counter(PeakResidentBytes(), benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
}

}  // namespace

// The take on disk first, so that its peak resident size is not the in-memory take's.
BENCHMARK(TakeOnDiskOfMinutes)->Arg(1)->Arg(10)->Arg(60)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(TakeInMemoryOfMinutes)->Arg(1)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);
