#include "platform/UserGuide.h"

#include <QFileInfo>

#include "platform/HelpViewer.h"

namespace tonarel {

QString LocateUserGuide(const QDir& programFolder)
{
    const QString installed = QDir::cleanPath(programFolder.absoluteFilePath(QString::fromLatin1(kInstalledGuide)));
    const QString buildTree = QDir::cleanPath(programFolder.absoluteFilePath(QString::fromLatin1(kBuildTreeGuide)));
    if (!QFileInfo(installed).isFile() && QFileInfo(buildTree).isFile()) {
        return buildTree;
    }
    return installed;
}

QString UserGuideSection(uint32_t contextNumber)
{
    switch (contextNumber) {
    case kMainWindowHelpContext:
        return QStringLiteral("main-window");
    case kPitchMeterHelpContext:
        return QStringLiteral("taking-a-reading");
    case kOscilloscopeHelpContext:
        return QStringLiteral("oscilloscope");
    case kTemperamentManagerHelpContext:
        return QStringLiteral("temperament-manager");
    case kTunerHelpContext:
        return QStringLiteral("tuner");
    case kPianoTuningHelpContext:
        return QStringLiteral("piano");
    default:
        return QString();
    }
}

}  // namespace tonarel
