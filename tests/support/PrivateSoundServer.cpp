#include "tests/support/PrivateSoundServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <numbers>
#include <span>
#include <stdexcept>
#include <vector>

#include <sys/prctl.h>

#include "platform/CaptureWaveFile.h"

namespace {

constexpr int StartTimeoutMs = 15000;

struct RequiredProgram {
    const char* program;
    const char* debianPackage;
};

constexpr RequiredProgram RequiredPrograms[] = {
    {"pulseaudio", "pulseaudio"},
    {"pactl", "pulseaudio-utils"},
    {"parec", "pulseaudio-utils"},
    {"paplay", "pulseaudio-utils"},
};

void RequireSoundServerPrograms()
{
    QStringList missingPrograms;
    QStringList missingPackages;
    for (const RequiredProgram& required : RequiredPrograms) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(required.program)).isEmpty()) {
            missingPrograms << QString::fromLatin1(required.program);
            if (!missingPackages.contains(QString::fromLatin1(required.debianPackage))) {
                missingPackages << QString::fromLatin1(required.debianPackage);
            }
        }
    }
    if (!missingPrograms.isEmpty()) {
        throw std::runtime_error(("The sound tests need the Debian packages " + missingPackages.join(' ') +
                                  " (missing programs: " + missingPrograms.join(' ') +
                                  "); install them with tools/install-packages.sh test")
                                     .toStdString());
    }
}

void StopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

}  // namespace

PrivateSoundServer::PrivateSoundServer() : folder_(QDir::tempPath() + QStringLiteral("/tonarel-sound-XXXXXX"))
{
    RequireSoundServerPrograms();
    if (!folder_.isValid() || !QDir(folder_.path()).mkpath(QStringLiteral("runtime")) ||
        !QDir(folder_.path()).mkpath(QStringLiteral("config"))) {
        throw std::runtime_error("cannot make a folder for the private sound server");
    }
    QFile::setPermissions(folder_.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QString socket = folder_.filePath(QStringLiteral("native"));
    server_ = StartHelper(
        QStringLiteral("pulseaudio"),
        {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
         QStringLiteral("--system=false"), QStringLiteral("--disallow-exit"), QStringLiteral("--use-pid-file=no"),
         QStringLiteral("--log-target=stderr"), QStringLiteral("--log-level=error"),
         QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket,
         QStringLiteral("--load=module-null-sink sink_name=vsink rate=44100 channels=1"),
         QStringLiteral("--load=module-remap-source master=vsink.monitor source_name=vmic")});

    // From here on every libpulse connection of this process goes to the
    // private server.
    qputenv("PULSE_SERVER", Address().toLocal8Bit());
    qputenv("PULSE_COOKIE", folder_.filePath(QStringLiteral("cookie")).toLocal8Bit());

    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!Pactl({QStringLiteral("info")})) {
        if (server_->state() == QProcess::NotRunning || deadline.hasExpired()) {
            throw std::runtime_error("the private PulseAudio server did not start: " +
                                     server_->readAllStandardError().toStdString());
        }
        QThread::msleep(50);
    }
    if (!Pactl({QStringLiteral("set-default-source"), QStringLiteral("vmic")})) {
        throw std::runtime_error("cannot make vmic the default source of the private sound server");
    }
    monitorReader_ = StartHelper(QStringLiteral("parec"), {QStringLiteral("--device=vsink.monitor"),
                                                           QStringLiteral("--latency-msec=10"), QStringLiteral("--raw")});
    monitorReader_->setStandardOutputFile(QProcess::nullDevice());
    WaitForMicrophoneSound();
}

PrivateSoundServer::~PrivateSoundServer()
{
    for (auto& player : players_) {
        StopProcess(*player);
    }
    if (monitorReader_) {
        StopProcess(*monitorReader_);
    }
    if (server_) {
        StopProcess(*server_);
    }
    qunsetenv("PULSE_SERVER");
    qunsetenv("PULSE_COOKIE");
}

QString PrivateSoundServer::Address() const
{
    return QStringLiteral("unix:") + folder_.filePath(QStringLiteral("native"));
}

std::unique_ptr<QProcess> PrivateSoundServer::StartHelper(const QString& program, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder_.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder_.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("PULSE_SERVER"), Address());
    environment.insert(QStringLiteral("PULSE_COOKIE"), folder_.filePath(QStringLiteral("cookie")));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));

    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setProgram(program);
    process->setArguments(arguments);
    // A test that crashes must not leave a sound server running for ever.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process->start();
    if (!process->waitForStarted(StartTimeoutMs)) {
        throw std::runtime_error("cannot start " + program.toStdString());
    }
    return process;
}

bool PrivateSoundServer::Pactl(const QStringList& arguments)
{
    auto pactl = StartHelper(QStringLiteral("pactl"), arguments);
    return pactl->waitForFinished(StartTimeoutMs) && pactl->exitStatus() == QProcess::NormalExit &&
           pactl->exitCode() == 0;
}

void PrivateSoundServer::WaitForMicrophoneSound()
{
    // Sound reaches the virtual microphone only once the server's clocks run;
    // a take started earlier would begin with a gap.
    auto reader = StartHelper(QStringLiteral("parec"), {QStringLiteral("--device=vmic"),
                                                        QStringLiteral("--latency-msec=10"), QStringLiteral("--raw")});
    const QDeadlineTimer deadline(StartTimeoutMs);
    qint64 received = 0;
    while (received < 8820 && !deadline.hasExpired()) {
        if (reader->waitForReadyRead(100)) {
            received += reader->readAllStandardOutput().size();
        }
    }
    StopProcess(*reader);
    if (received < 8820) {
        throw std::runtime_error("the virtual microphone of the private sound server delivers no sound");
    }
}

void PrivateSoundServer::PlayTone(double frequencyHz, double seconds, double amplitude)
{
    const tonarel::CaptureFormat format{1, 44100, 16};
    const auto frames = static_cast<std::size_t>(seconds * format.sampleRate);
    std::vector<int16_t> samples(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const double phase = 2 * std::numbers::pi * frequencyHz * static_cast<double>(i) / format.sampleRate;
        samples[i] = static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(phase)));
    }
    const QString file = folder_.filePath(QStringLiteral("tone-%1.wav").arg(players_.size()));
    tonarel::WriteRecordingFile(file.toStdString(), format, std::as_bytes(std::span(samples)));
    players_.push_back(StartHelper(QStringLiteral("paplay"), {QStringLiteral("--device=vsink"), file}));
}

void PrivateSoundServer::KillServer()
{
    server_->kill();
    server_->waitForFinished(3000);
}

void PrivateSoundServer::PointAtNoServer(const QTemporaryDir& folder)
{
    qputenv("PULSE_SERVER", ("unix:" + folder.filePath(QStringLiteral("no-server"))).toLocal8Bit());
    qputenv("PULSE_COOKIE", folder.filePath(QStringLiteral("cookie")).toLocal8Bit());
}
