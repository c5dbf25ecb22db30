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

/// Starts a private PulseAudio server in a fresh temporary folder with a null
/// sink "vsink" (44 100 Hz mono) and a virtual microphone "vmic", the null
/// sink's monitor remapped as an ordinary source (Qt hides monitors) and made
/// the default source. Points this process at it (PULSE_SERVER, PULSE_COOKIE),
/// so every later libpulse connection, Qt's included, reaches this server.
/// Keeps a low-latency reader on the monitor (otherwise the null sink delivers
/// its sound in late bursts) and returns once the virtual microphone delivers
/// sound. Whatever plays into "vsink" can be recorded from "vmic".
///
/// The destructor stops what the server started, by process id, and removes
/// the folder. Construction throws std::runtime_error saying what is missing
/// (the Debian packages pulseaudio and pulseaudio-utils) or what failed.
class PrivateSoundServer {
public:
    PrivateSoundServer();
    ~PrivateSoundServer();

    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

    /// Plays a sine of `frequencyHz` for `seconds` into "vsink" at `amplitude`
    /// (0 to 1 of full scale), starting at once and returning at once.
    void PlayTone(double frequencyHz, double seconds, double amplitude = 0.5);

    /// Runs pactl against this server; true when it succeeded.
    bool Pactl(const QStringList& arguments);

    /// Kills the server outright, as a crash would.
    void KillServer();

    /// The server address, as PULSE_SERVER takes it.
    QString Address() const;

    /// Points this process at a server address where nothing listens, so that
    /// libpulse (and Qt) find no sound server at all.
    static void PointAtNoServer(const QTemporaryDir& folder);

private:
    std::unique_ptr<QProcess> StartHelper(const QString& program, const QStringList& arguments);
    void WaitForMicrophoneSound();

    QTemporaryDir folder_;
    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> monitorReader_;
    std::vector<std::unique_ptr<QProcess>> players_;
};
