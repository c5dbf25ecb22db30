// What a musician waits for after pressing "停止录音" on a 10 s take: the
// analysis run (estimate, readout, oscilloscope hand-over and repaint), and
// the whole stop (save of the take, close, analysis), each with "精确测量"
// unticked (argument 0) and ticked (1). Target: the stop of a 10 s take reaches
// its readout in well under 50 ms, with the precise reading too.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <span>
#include <vector>

#include "bench/OffscreenApplication.h"
#include "meter/PitchMeterWindow.h"
#include "scope/OscilloscopeWindow.h"
#include "shell/ApplicationWindows.h"
#include "tests/support/CaptureDeviceStandIn.h"
#include "tests/support/TakeFileWriter.h"
#include "wave/TakeFile.h"

using namespace tonarel;

namespace {

/// Ten seconds as a take comes in: a second of faint room noise, then a
/// plucked A (441 Hz) decaying over the remaining nine seconds.
std::vector<int16_t> TenSecondTake()
{
    std::vector<int16_t> samples(10 * 44100);
    uint32_t noise = 12345;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        noise = noise * 1103515245u + 12345u;
        const double hiss = static_cast<double>((noise >> 16) % 61) - 30;
        const double seconds = (static_cast<double>(i) - 44100) / 44100;
        const double note = seconds < 0 ? 0
                                        : 20000 * std::exp(-seconds / 2.5) *
                                              std::sin(2 * std::numbers::pi * 441 * seconds);
        samples[i] = static_cast<int16_t>(std::lround(note + hiss));
    }
    return samples;
}

/// The program's windows in a scratch working directory, with a stand-in
/// device whose take is the 10 s recording.
class ProgramWindows {
public:
    ProgramWindows() : previous_(QDir::currentPath())
    {
        OffscreenApplication();
        QDir::setCurrent(directory_.path());
        script = std::make_shared<CaptureDeviceScript>();
        script->take = TenSecondTake();
        script->position = 10000;
        CreateApplicationWindows();
        ShowApplicationWindows();
        QApplication::processEvents();
        Windows().pitchMeter->ReplaceCaptureDevice(std::make_unique<CaptureDeviceStandIn>(script));
    }
    ~ProgramWindows()
    {
        DestroyApplicationWindows();
        QDir::setCurrent(previous_);
    }

    std::shared_ptr<CaptureDeviceScript> script;

private:
    QTemporaryDir directory_;
    QString previous_;
};

void AnalysisOfATenSecondRecording(benchmark::State& state)
{
    ProgramWindows windows;
    Windows().pitchMeter->preciseBox->setChecked(state.range(0) != 0);
    tonarel::test::WriteTakeFile("my.wav", tonarel::CaptureFormat{1, 44100, 16},
                          std::as_bytes(std::span(windows.script->take)));
    uint32_t segmentBytes = 0;
    QObject::connect(Windows().pitchMeter, &PitchMeterWindow::samplesAnalysed,
                     [&segmentBytes](const std::shared_ptr<const int16_t[]>&, uint32_t byteCount) {
                         segmentBytes = byteCount;
                     });
    for (auto _ : state) {
        Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    }
    state.counters["segment_bytes"] = segmentBytes;
    state.SetLabel(Windows().pitchMeter->frequencyValue->text().toStdString() + " Hz");
}
BENCHMARK(AnalysisOfATenSecondRecording)->ArgName("precise")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void StopOfATenSecondTake(benchmark::State& state)
{
    ProgramWindows windows;
    Windows().pitchMeter->preciseBox->setChecked(state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        Windows().pitchMeter->RecordButtonClick(Windows().pitchMeter->recordButton);  // start
        state.ResumeTiming();
        Windows().pitchMeter->RecordButtonClick(Windows().pitchMeter->recordButton);  // stop: save, close, analyse
    }
    state.SetLabel(Windows().pitchMeter->frequencyValue->text().toStdString() + " Hz");
}
BENCHMARK(StopOfATenSecondTake)->ArgName("precise")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
