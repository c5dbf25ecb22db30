#include "platform/HelpViewer.h"

#include <QStandardPaths>

#include "platform/HelpViewerDesktop.h"

namespace tonarel {

namespace {

QString& HelpFileName()
{
    static QString fileName;
    return fileName;
}

HelpViewer*& ReplacementViewer()
{
    static HelpViewer* viewer = nullptr;
    return viewer;
}

}  // namespace

void SetApplicationHelpFile(const QString& fileName)
{
    HelpFileName() = fileName;
}

QString ApplicationHelpFile()
{
    return HelpFileName();
}

HelpViewer& ApplicationHelpViewer()
{
    if (ReplacementViewer() != nullptr) {
        return *ReplacementViewer();
    }
    // xdg-open reports whether a browser took the page; Qt's own hand-over
    // does not.
    static HelpViewerDesktop desktopViewer(QStandardPaths::findExecutable(QStringLiteral("xdg-open")));
    return desktopViewer;
}

void SetApplicationHelpViewer(HelpViewer* viewer)
{
    ReplacementViewer() = viewer;
}

}  // namespace tonarel
