#pragma once
// The samples of a reference tone, made as the sound output asks for them.

#include <QIODevice>
#include <atomic>

namespace tonarel {

/// A read-only QIODevice that never runs dry: 44 100 Hz mono Int16, a note of
/// three partials (1, 1/2, 1/4 of the first's amplitude) at about -12 dBFS.
/// The sound output pulls from it (QAudioSink pull mode) on the program's
/// event loop every 20 ms and keeps 100 ms buffered, so the tone plays on
/// through any handler shorter than 80 ms; the pitch meter's stop, the
/// longest, takes about 30 ms (bench/SmoothWhileRecordingBench.cpp). It fades in over 20 ms,
/// moves to a new frequency with continuous phase, and after FadeOut falls
/// silent over 20 ms. The frequency may be set from any thread.
class ToneGenerator final : public QIODevice {
public:
    explicit ToneGenerator(double hz, QObject* parent = nullptr);

    void SetFrequency(double hz) { hz_.store(hz); }
    void FadeOut() { fadingOut_.store(true); }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    std::atomic<double> hz_;
    std::atomic<bool> fadingOut_{false};
    double phaseTurns_ = 0;
    double gain_ = 0;
};

}  // namespace tonarel
