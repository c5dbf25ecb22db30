#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <utility>
#include <vector>

#include "platform/HelpViewerDesktop.h"
#include "shell/UserMessage.h"

namespace {

/// Receives the URLs that the desktop viewer hands to the desktop.
class OpenedUrls : public QObject {
    Q_OBJECT

public:
    std::vector<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls.push_back(url); }
};

class HelpViewerDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(directory.isValid());
        previousDirectory = QDir::currentPath();
        QDir::setCurrent(directory.path());
        SetApplicationHelpFile("HELP.HLP");
        QDesktopServices::setUrlHandler("file", &opened, "Open");
        SetUserMessageHandler([this](UserMessageKind kind, const QString& text) { messages.emplace_back(kind, text); });
    }
    void TearDown() override
    {
        SetUserMessageHandler({});
        QDesktopServices::unsetUrlHandler("file");
        SetApplicationHelpFile(QString());
        QDir::setCurrent(previousDirectory);
    }

    void Request(bool byKeyword)
    {
        if (byKeyword) {
            viewer.OpenByKeyword(QString());
        } else {
            viewer.OpenAtContext(2);
        }
    }

    QTemporaryDir directory;
    QString previousDirectory;
    OpenedUrls opened;
    HelpViewerDesktop viewer;
    std::vector<std::pair<UserMessageKind, QString>> messages;
};

class HelpViewerDesktopRequestTest : public HelpViewerDesktopTest, public ::testing::WithParamInterface<bool> {};

TEST_P(HelpViewerDesktopRequestTest, OpensTheHelpFileOfTheWorkingDirectory)
{
    QFile("HELP.HLP").open(QIODevice::WriteOnly);
    Request(GetParam());
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(opened.urls[0], QUrl::fromLocalFile(QDir(directory.path()).absoluteFilePath("HELP.HLP")));
    EXPECT_TRUE(messages.empty());
}

TEST_P(HelpViewerDesktopRequestTest, SaysWhichFileIsMissing)
{
    Request(GetParam());
    EXPECT_TRUE(opened.urls.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Warning);
    EXPECT_TRUE(messages[0].second.contains(QDir::toNativeSeparators(QDir(directory.path()).absoluteFilePath("HELP.HLP"))))
        << messages[0].second.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Requests, HelpViewerDesktopRequestTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ByKeyword" : "AtContext"; });

TEST_F(HelpViewerDesktopTest, ResolvesTheNameAtEachRequest)
{
    QDir(directory.path()).mkdir("elsewhere");
    QFile(directory.filePath("elsewhere/HELP.HLP")).open(QIODevice::WriteOnly);
    Request(true);  // not in the working directory
    QDir::setCurrent(directory.filePath("elsewhere"));
    Request(true);
    EXPECT_EQ(messages.size(), 1u);
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_TRUE(opened.urls[0].toLocalFile().endsWith("elsewhere/HELP.HLP"));
}

}  // namespace

#include "HelpViewerTest.moc"
