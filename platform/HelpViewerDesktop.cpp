#include "platform/HelpViewerDesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <utility>

#include "forms/UserMessage.h"
#include "platform/UserGuide.h"

namespace tonarel {

namespace {

QString CannotOpenMessage(const QString& shownPath)
{
    return QStringLiteral("没有能打开帮助文件“%1”的程序。").arg(shownPath);
}

}  // namespace

HelpViewerDesktop::HelpViewerDesktop(QString opener) : opener_(std::move(opener)) {}

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
    if (opener_.isEmpty()) {
        if (!QDesktopServices::openUrl(page)) {
            ShowUserMessage(UserMessageKind::Warning, CannotOpenMessage(shownPath));
        }
        return;
    }
    // The opener may return at once or only when the browser ends; its
    // answer is awaited without blocking. A process still running when the
    // program ends is left to run: the browser it started stays open.
    auto* process = new QProcess();
    const auto report = [process, shownPath](bool failed) {
        if (failed) {
            RunGuarded([&] { ShowUserMessage(UserMessageKind::Warning, CannotOpenMessage(shownPath)); });
        }
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::finished, process, [report](int exitCode, QProcess::ExitStatus status) {
        report(status != QProcess::NormalExit || exitCode != 0);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [report](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            report(true);
        }
    });
    process->start(opener_, {page.toString(QUrl::FullyEncoded)});
}

}  // namespace tonarel
