#include "platform/HelpViewerDesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "forms/UserMessage.h"

namespace tonarel {

void HelpViewerDesktop::OpenByKeyword(const QString& /*keyword*/)
{
    OpenHelpFile();
}

void HelpViewerDesktop::OpenAtContext(uint32_t /*contextNumber*/)
{
    OpenHelpFile();
}

void HelpViewerDesktop::OpenHelpFile()
{
    // Resolved at each request: the file is named without a directory and
    // belongs to whatever the working directory is at that moment.
    const QString path = QDir::current().absoluteFilePath(ApplicationHelpFile());
    const QString shownPath = QDir::toNativeSeparators(path);
    if (ApplicationHelpFile().isEmpty() || !QFileInfo(path).isFile()) {
        ShowUserMessage(UserMessageKind::Warning, QStringLiteral("找不到帮助文件“%1”。").arg(shownPath));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        ShowUserMessage(UserMessageKind::Warning, QStringLiteral("没有能打开帮助文件“%1”的程序。").arg(shownPath));
    }
}

}  // namespace tonarel
