// The tuner's strobe and the reference tone while the pitch meter records a
// take and analyses it (the precise reading ticked). All of them share the
// program's one event loop: the sound output pulls the tone every 20 ms from
// a 100 ms buffer, the tuner draws its strobe at each block of input, and
// the pitch meter's stop saves the take and reads it. The benchmark runs the
// real windows for 3.5 s of wall time, as the sound devices would pace them
// (the tone pulled every 20 ms, 1024 samples of a sounding A4 delivered every
// 23 ms), starts a take at 0.5 s and stops it at 2.5 s, and reports the
// longest pause between two pulls of the tone and between two strobe frames.
// Takes of 10 s and 60 s. Target: the tone never pauses longer than its
// buffer less one pull (80 ms: no dropout) and the strobe never longer than
// two frames (47 ms: at most one frame drawn late). The pauses are wall time,
// so run it on an otherwise idle machine: a busy one deschedules the whole
// program now and then, which no design of its own can prevent.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "bench/OffscreenApplication.h"
#include "meter/PitchMeterWindow.h"
#include "platform/ToneGenerator.h"
#include "shell/ApplicationWindows.h"
#include "tests/support/CaptureDeviceStandIn.h"
#include "tests/support/LiveSoundInputStandIn.h"
#include "tools/tones/PartialTone.h"
#include "tuner/StrobeBand.h"
#include "tuner/TunerWindow.h"

using namespace tonarel;

namespace {

constexpr int kTonePullMilliseconds = 20;
constexpr qint64 kTonePullBytes = 44100 / 50 * 2;
constexpr int kInputBlock = 1024;
constexpr int kRecordAtMilliseconds = 500;
constexpr int kStopAtMilliseconds = 2500;
constexpr int kRunMilliseconds = 3500;

/// `seconds` of a steady sine at `hz` with peak `amplitude`.
std::vector<int16_t> Sine(double hz, double seconds, double amplitude)
{
    tones::PartialTone tone;
    tone.f0Hz = hz;
    tone.amplitudes = {amplitude};
    return tones::Synthesise(tone, static_cast<uint32_t>(seconds * 44100));
}

/// The longest time between two consecutive calls of Mark.
class PauseMeter {
public:
    explicit PauseMeter(const QElapsedTimer& clock) : clock_(clock) {}
    void Mark()
    {
        const qint64 now = clock_.nsecsElapsed();
        if (last_ >= 0) {
            longest_ = std::max(longest_, now - last_);
        }
        last_ = now;
    }
    double LongestMilliseconds() const { return static_cast<double>(longest_) / 1e6; }

private:
    const QElapsedTimer& clock_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
};

/// Calls Mark on each paint of the watched widget.
class PaintWatcher final : public QObject {
public:
    explicit PaintWatcher(PauseMeter& meter) : meter_(meter) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            meter_.Mark();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    PauseMeter& meter_;
};

void StrobeAndToneWhileThePitchMeterRecords(benchmark::State& state)
{
    OffscreenApplication();
    QTemporaryDir workingFolder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(workingFolder.path());

    auto capture = std::make_shared<CaptureDeviceScript>();
    capture->take = Sine(441.0, static_cast<double>(state.range(0)), 12000.0);
    capture->position = static_cast<uint32_t>(1000 * state.range(0));
    CreateApplicationWindows();
    ShowApplicationWindows();
    PitchMeterWindow* meter = Windows().pitchMeter;
    meter->ReplaceCaptureDevice(std::make_unique<CaptureDeviceStandIn>(capture));
    meter->preciseBox->setChecked(true);

    auto input = std::make_shared<LiveSoundInputScript>();
    tuner::TunerWindow tuner(std::make_unique<LiveSoundInputStandIn>(input),
                             std::make_unique<ReferenceToneStandIn>(std::make_shared<ReferenceToneScript>()),
                             workingFolder.filePath(QStringLiteral("Tonarel.conf")));
    tuner.show();
    QApplication::processEvents();
    const std::vector<int16_t> note = Sine(440.5, 4.0, 8000.0);

    double toneLongest = 0, strobeLongest = 0, stopLongest = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        PauseMeter tonePauses(clock), strobePauses(clock);
        PaintWatcher watcher(strobePauses);
        tuner.Strobe->installEventFilter(&watcher);
        ToneGenerator tone(440.0);
        tone.open(QIODevice::ReadOnly);
        std::vector<char> toneBuffer(kTonePullBytes);
        std::size_t inputAt = 0;
        qint64 stopNanoseconds = 0;

        QTimer tonePull, inputBlock;
        tonePull.setTimerType(Qt::PreciseTimer);
        inputBlock.setTimerType(Qt::PreciseTimer);
        tonePull.setInterval(kTonePullMilliseconds);
        inputBlock.setInterval(1000 * kInputBlock / 44100);
        QObject::connect(&tonePull, &QTimer::timeout, [&] {
            tonePauses.Mark();
            tone.read(toneBuffer.data(), kTonePullBytes);
        });
        QObject::connect(&inputBlock, &QTimer::timeout, [&] {
            if (inputAt + kInputBlock > note.size()) {
                inputAt = 0;
            }
            input->Deliver(std::span(note).subspan(inputAt, kInputBlock), kInputBlock);
            inputAt += kInputBlock;
        });
        QTimer::singleShot(kRecordAtMilliseconds, [meter] { meter->RecordButtonClick(meter->recordButton); });
        QTimer::singleShot(kStopAtMilliseconds, [&] {
            const qint64 start = clock.nsecsElapsed();
            meter->RecordButtonClick(meter->recordButton);
            stopNanoseconds = clock.nsecsElapsed() - start;
        });
        QEventLoop loop;
        QTimer::singleShot(kRunMilliseconds, &loop, &QEventLoop::quit);
        clock.start();
        tonePull.start();
        inputBlock.start();
        loop.exec();
        tuner.Strobe->removeEventFilter(&watcher);
        toneLongest = std::max(toneLongest, tonePauses.LongestMilliseconds());
        strobeLongest = std::max(strobeLongest, strobePauses.LongestMilliseconds());
        stopLongest = std::max(stopLongest, static_cast<double>(stopNanoseconds) / 1e6);
    }
    state.counters["tone_longest_pause_ms"] = toneLongest;
    state.counters["strobe_longest_pause_ms"] = strobeLongest;
    state.counters["stop_ms"] = stopLongest;
    state.SetLabel(meter->frequencyValue->text().toStdString() + " Hz");
    DestroyApplicationWindows();
    QDir::setCurrent(previous);
}
BENCHMARK(StrobeAndToneWhileThePitchMeterRecords)->ArgName("take_seconds")->Arg(10)->Arg(60)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
