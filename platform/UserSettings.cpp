#include "platform/UserSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tonarel {

namespace {

constexpr const char* kPreciseKey = "PitchMeter/precise";

}  // namespace

QString UserSettingsFile()
{
    // By its full name: the default paths of QSettings are sent nowhere, to
    // keep the file dialogs out of the user's configuration.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tonarel/Tonarel.conf");
}

bool RememberedPreciseMeasurement()
{
    const QSettings settings(UserSettingsFile(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        return false;
    }
    return settings.value(QString::fromLatin1(kPreciseKey)).toString() == QStringLiteral("true");
}

void RememberPreciseMeasurement(bool ticked)
{
    QDir().mkpath(QFileInfo(UserSettingsFile()).absolutePath());
    QSettings settings(UserSettingsFile(), QSettings::IniFormat);
    settings.setValue(QString::fromLatin1(kPreciseKey), ticked ? QStringLiteral("true") : QStringLiteral("false"));
    settings.sync();
}

}  // namespace tonarel
