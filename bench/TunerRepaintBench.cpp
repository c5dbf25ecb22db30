// The tuner's repaint while a note sounds: the whole window (labels, needle,
// strobe band) drawn once, as at each of its 20-plus updates a second.
// Target: under 2 ms. The input is a stand-in fed a steady A4 a little sharp.
#include <benchmark/benchmark.h>

#include <QPixmap>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "bench/OffscreenApplication.h"
#include "tests/support/LiveSoundInputStandIn.h"
#include "tools/tones/PartialTone.h"
#include "tuner/TunerWindow.h"

using namespace tonarel;

namespace {

void RepaintTunerWhileANoteSounds(benchmark::State& state)
{
    OffscreenApplication();
    QTemporaryDir configuration;
    auto input = std::make_shared<LiveSoundInputScript>();
    auto tone = std::make_shared<ReferenceToneScript>();
    tuner::TunerWindow window(std::make_unique<LiveSoundInputStandIn>(input),
                              std::make_unique<ReferenceToneStandIn>(tone),
                              configuration.filePath(QStringLiteral("Tonarel.conf")));
    window.show();
    QApplication::processEvents();
    tones::PartialTone note;
    note.f0Hz = 441.0;
    note.amplitudes = tones::FallingAmplitudes(6, 8000.0);
    const std::vector<int16_t> samples = tones::Synthesise(note, 44100);
    input->Deliver(samples);
    QApplication::processEvents();

    for (auto _ : state) {
        QPixmap drawn = window.grab();
        benchmark::DoNotOptimize(drawn.cacheKey());
    }
}
BENCHMARK(RepaintTunerWhileANoteSounds)->Unit(benchmark::kMicrosecond);

}  // namespace
