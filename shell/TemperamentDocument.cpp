#include "shell/TemperamentDocument.h"

#include <QFile>
#include <QFileInfo>

#include "temperament/TemperamentManagerWindow.h"

namespace tonarel {

TemperamentDocument::TemperamentDocument(TemperamentManagerWindow& manager, QObject* parent)
    : QObject(parent), manager_(manager)
{
}

bool TemperamentDocument::Open(const QString& fileName)
{
    if (!manager_.LoadTemperamentFile(QFile::encodeName(fileName).constData())) {
        return false;
    }
    SetState(fileName, false);
    return true;
}

bool TemperamentDocument::Save(const QString& fileName)
{
    if (!manager_.SaveTemperamentFile(QFile::encodeName(fileName).constData())) {
        return false;
    }
    SetState(fileName, false);
    return true;
}

QString TemperamentDocument::WindowTitle() const
{
    QString title = QStringLiteral("Tonarel 1.0 (BETA)");
    if (!currentFile_.isEmpty()) {
        title += QStringLiteral(" — ") + QFileInfo(currentFile_).fileName();
    }
    if (unsaved_) {
        title += QStringLiteral(" *");
    }
    return title;
}

void TemperamentDocument::TableChanged()
{
    SetState(currentFile_, true);
}

void TemperamentDocument::SetState(const QString& currentFile, bool unsaved)
{
    if (currentFile == currentFile_ && unsaved == unsaved_) {
        return;
    }
    currentFile_ = currentFile;
    unsaved_ = unsaved;
    emit stateChanged();
}

}  // namespace tonarel
