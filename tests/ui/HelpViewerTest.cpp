#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <vector>

#include "platform/HelpViewerDesktop.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

/// Receives, while it exists, the files that the desktop viewer hands to the desktop.
class OpenedFiles : public QObject {
    Q_OBJECT

public:
    OpenedFiles() { QDesktopServices::setUrlHandler("file", this, "Open"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler("file"); }
    std::vector<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls.push_back(url); }
};

// The parameter picks the request: by keyword or at a context number.
class HelpViewerDesktopTest : public WindowSetTest, public ::testing::WithParamInterface<bool> {};

TEST_P(HelpViewerDesktopTest, SaysWhichFileIsMissingAndOpensItOnceItIsThere)
{
    OpenedFiles opened;
    HelpViewerDesktop viewer;
    const auto request = [&] { GetParam() ? viewer.OpenByKeyword(QString()) : viewer.OpenAtContext(2); };
    const QString path = QDir(WorkingDirectory()).absoluteFilePath("HELP.HLP");  // the name start-up sets
    request();
    EXPECT_TRUE(opened.urls.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Warning);
    EXPECT_TRUE(messages[0].second.contains(QDir::toNativeSeparators(path))) << messages[0].second.toStdString();

    QFile(path).open(QIODevice::WriteOnly);
    request();
    EXPECT_EQ(opened.urls, std::vector<QUrl>{QUrl::fromLocalFile(path)});
    EXPECT_EQ(messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Requests, HelpViewerDesktopTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ByKeyword" : "AtContext"; });

}  // namespace

#include "HelpViewerTest.moc"
