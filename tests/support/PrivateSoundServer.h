#pragma once
// A sound server of the test's own, so that recording can be tested on a
// machine without a sound card (CI) and without touching a developer's own
// sound setup.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

/// A private PulseAudio server in a fresh temporary folder: a null sink "vsink"
/// (44 100 Hz mono) whose monitor, remapped as an ordinary source because Qt
/// hides monitors, is the default source "vmic", a virtual microphone hearing
/// whatever plays into "vsink". This process is pointed at it (PULSE_SERVER,
/// PULSE_COOKIE), Qt's connections included. A low-latency reader stays on the
/// monitor (else the null sink delivers late bursts), and construction returns
/// once "vmic" delivers sound, or throws std::runtime_error saying which
/// packages are missing or what failed. The destructor stops, by process id,
/// everything the server started.
class PrivateSoundServer {
public:
    PrivateSoundServer();
    ~PrivateSoundServer();

    /// Plays a sine of `frequencyHz` for `seconds` into "vsink" at half of full
    /// scale, starting at once and returning at once.
    void PlayTone(double frequencyHz, double seconds);

    /// Runs pactl against this server; true when it succeeded.
    bool Pactl(const QStringList& arguments);

    /// Kills the server outright, as a crash would.
    void KillServer();

    /// Points this process at a server address where nothing listens, so that
    /// libpulse (and Qt) find no sound server at all.
    static void PointAtNoServer(const QTemporaryDir& folder);

private:
    /// The server address, as PULSE_SERVER takes it.
    QString Address() const;
    std::unique_ptr<QProcess> StartHelper(const QString& program, const QStringList& arguments);
    void WaitForMicrophoneSound();

    QTemporaryDir folder_;
    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> monitorReader_;
    std::vector<std::unique_ptr<QProcess>> players_;
};
