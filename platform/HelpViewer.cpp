#include "platform/HelpViewer.h"

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
    static HelpViewerDesktop desktopViewer;
    return desktopViewer;
}

void SetApplicationHelpViewer(HelpViewer* viewer)
{
    ReplacementViewer() = viewer;
}

}  // namespace tonarel
