#include "platform/HelpViewerDesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "forms/UserMessage.h"
#include "platform/UserGuide.h"

namespace tonarel {

void HelpViewerDesktop::OpenByKeyword(const QString& /*keyword*/)
{
    OpenHelpFile(QString());
}

void HelpViewerDesktop::OpenAtContext(uint32_t contextNumber)
{
    OpenHelpFile(UserGuideSection(contextNumber));
}

void HelpViewerDesktop::OpenHelpFile(const QString& section)
{
    // Resolved at each request: a relative name belongs to whatever the
    // working directory is at that moment.
    const QString path = QDir::current().absoluteFilePath(ApplicationHelpFile());
    const QString shownPath = QDir::toNativeSeparators(path);
    if (ApplicationHelpFile().isEmpty() || !QFileInfo(path).isFile()) {
        ShowUserMessage(UserMessageKind::Warning, QStringLiteral("找不到帮助文件“%1”。").arg(shownPath));
        return;
    }
    QUrl page = QUrl::fromLocalFile(path);
    if (!section.isEmpty()) {
        page.setFragment(section);
    }
    if (!QDesktopServices::openUrl(page)) {
        ShowUserMessage(UserMessageKind::Warning, QStringLiteral("没有能打开帮助文件“%1”的程序。").arg(shownPath));
    }
}

}  // namespace tonarel
