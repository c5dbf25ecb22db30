#include "tests/support/PrivateSoundServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <cstdint>
#include <stdexcept>
#include <utility>

#include <sys/prctl.h>

#include "tools/tones/WaveFileWriter.h"

namespace {

constexpr int StartTimeoutMs = 15000;

void RequireSoundServerPrograms()
{
    // Each program the server needs, with the Debian package that brings it.
    const std::pair<const char*, const char*> required[] = {
        {"pulseaudio", "pulseaudio"}, {"pactl", "pulseaudio-utils"}, {"parec", "pulseaudio-utils"},
        {"paplay", "pulseaudio-utils"}};
    QStringList missingPackages;
    for (const auto& [program, package] : required) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty() &&
            !missingPackages.contains(QString::fromLatin1(package))) {
            missingPackages << QString::fromLatin1(package);
        }
    }
    if (!missingPackages.isEmpty()) {
        throw std::runtime_error(("The sound tests need the Debian packages " + missingPackages.join(' ') +
                                  "; install them with tools/install-packages.sh test")
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
    server_ = StartHelper("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false",
                                         "--disallow-exit", "--use-pid-file=no", "--log-target=stderr",
                                         "--log-level=error",
                                         "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
                                         "--load=module-null-sink sink_name=vsink rate=44100 channels=1",
                                         "--load=module-remap-source master=vsink.monitor source_name=vmic"});

    // From here on every libpulse connection of this process goes to the
    // private server.
    qputenv("PULSE_SERVER", Address().toLocal8Bit());
    qputenv("PULSE_COOKIE", folder_.filePath(QStringLiteral("cookie")).toLocal8Bit());

    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!Pactl({"info"})) {
        if (server_->state() == QProcess::NotRunning || deadline.hasExpired()) {
            throw std::runtime_error("the private PulseAudio server did not start: " +
                                     server_->readAllStandardError().toStdString());
        }
        QThread::msleep(50);
    }
    if (!Pactl({"set-default-source", "vmic"})) {
        throw std::runtime_error("cannot make vmic the default source of the private sound server");
    }
    monitorReader_ = StartHelper("parec", {"--device=vsink.monitor", "--latency-msec=10", "--raw"});
    monitorReader_->setStandardOutputFile(QProcess::nullDevice());
    WaitForMicrophoneSound();
}

PrivateSoundServer::~PrivateSoundServer()
{
    for (auto& player : players_) {
        StopProcess(*player);
    }
    StopProcess(*monitorReader_);
    StopProcess(*server_);
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
    auto pactl = StartHelper("pactl", arguments);
    return pactl->waitForFinished(StartTimeoutMs) && pactl->exitStatus() == QProcess::NormalExit &&
           pactl->exitCode() == 0;
}

void PrivateSoundServer::WaitForMicrophoneSound()
{
    // Sound reaches the virtual microphone only once the server's clocks run;
    // a take started earlier would begin with a gap.
    auto reader = StartHelper("parec", {"--device=vmic", "--latency-msec=10", "--raw"});
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

void PrivateSoundServer::PlayTone(double frequencyHz, double seconds)
{
    const QString file = folder_.filePath(QStringLiteral("tone-%1.wav").arg(players_.size()));
    const double rate = tonarel::tones::kToneSampleRate;
    const auto samples = tonarel::tones::Sine(static_cast<uint32_t>(seconds * rate), rate / frequencyHz, 16384);
    tonarel::tones::WriteCaptureFile(file.toStdString(), samples);
    players_.push_back(StartHelper("paplay", {"--device=vsink", file}));
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
