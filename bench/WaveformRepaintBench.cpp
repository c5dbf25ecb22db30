// The oscilloscope's repaint: erase the box and draw a waveform into it, as
// every repaint with "自动重画" ticked does. Target: a 4000 ms segment
// (176 400 samples) in a 492 × 118 box in under 2 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "bench/OffscreenApplication.h"
#include "scope/core/WaveformStrokes.h"
#include "scope/OscilloscopeWindow.h"

using namespace tonarel;

namespace {

constexpr uint32_t FourSecondsOfSamples = 176400;

std::vector<int16_t> DecayingTone(uint32_t count)
{
    std::vector<int16_t> samples(count);
    for (uint32_t i = 0; i < count; ++i) {
        const double seconds = i / 44100.0;
        samples[i] = static_cast<int16_t>(24000.0 * std::exp(-seconds) * std::sin(2 * M_PI * 440.0 * seconds));
    }
    return samples;
}

void RepaintFourSecondSegment(benchmark::State& state)
{
    OffscreenApplication();
    OscilloscopeWindow oscilloscope;
    oscilloscope.show();
    // A box of 492 × 118 pixels.
    oscilloscope.resize(oscilloscope.size() + QSize(492, 118) - oscilloscope.waveformBox->size());
    QApplication::processEvents();
    if (oscilloscope.waveformBox->size() != QSize(492, 118)) {
        state.SkipWithError("the box is not 492 x 118");
        return;
    }
    const std::vector<int16_t> tone = DecayingTone(FourSecondsOfSamples);
    auto buffer = std::make_unique<int16_t[]>(tone.size());
    std::copy(tone.begin(), tone.end(), buffer.get());
    oscilloscope.ShowWaveform(std::move(buffer), FourSecondsOfSamples * 2);

    for (auto _ : state) {
        oscilloscope.RepaintWaveformBox();
        benchmark::DoNotOptimize(oscilloscope.waveformBox->Canvas().constBits());
    }
}
BENCHMARK(RepaintFourSecondSegment)->Unit(benchmark::kMicrosecond);

// The arithmetic alone, without the window.
void ComputeStrokeRunsFourSeconds(benchmark::State& state)
{
    const std::vector<int16_t> tone = DecayingTone(FourSecondsOfSamples);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tonarel::ComputeStrokeRuns(tone.data(), FourSecondsOfSamples * 2, 492, 118));
    }
}
BENCHMARK(ComputeStrokeRunsFourSeconds)->Unit(benchmark::kMicrosecond);

}  // namespace
