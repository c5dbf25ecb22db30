#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

#include "platform/HelpViewerDesktop.h"
#include "platform/UserGuide.h"
#include "tests/support/TemporaryDirectory.h"
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

struct RequestCase {
    const char* name;
    std::function<void(HelpViewer&)> request;
    const char* section;  // the fragment of the page opened; empty for its top
    friend void PrintTo(const RequestCase& row, std::ostream* out) { *out << row.name; }
};

class HelpViewerDesktopTest : public WindowSetTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(HelpViewerDesktopTest, SaysWhichFileIsMissingAndOpensItAtTheWindowsSectionOnceItIsThere)
{
    OpenedFiles opened;
    HelpViewerDesktop viewer;
    const QString path = QDir(WorkingDirectory()).absoluteFilePath("guide/index.html");
    SetApplicationHelpFile(path);
    GetParam().request(viewer);
    EXPECT_TRUE(opened.urls.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Warning);
    EXPECT_TRUE(messages[0].second.contains(QDir::toNativeSeparators(path))) << messages[0].second.toStdString();

    QDir().mkdir("guide");
    QFile(path).open(QIODevice::WriteOnly);
    GetParam().request(viewer);
    QUrl page = QUrl::fromLocalFile(path);
    if (*GetParam().section != '\0') {
        page.setFragment(GetParam().section);
    }
    EXPECT_EQ(opened.urls, std::vector<QUrl>{page});
    EXPECT_EQ(messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, HelpViewerDesktopTest,
    ::testing::Values(RequestCase{"ByKeyword", [](HelpViewer& viewer) { viewer.OpenByKeyword(QString()); }, ""},
                      RequestCase{"MainWindow", [](HelpViewer& viewer) { viewer.OpenAtContext(2); }, "main-window"},
                      RequestCase{"TemperamentManager", [](HelpViewer& viewer) { viewer.OpenAtContext(5); },
                                  "temperament-manager"},
                      RequestCase{"UnknownContext", [](HelpViewer& viewer) { viewer.OpenAtContext(7); }, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the program looks for its guide: installed beside bin/, else in the
// build tree beside the program; a missing guide is looked for where an
// installation would have it, so that the viewer's message names that file.
TEST(UserGuide, IsFoundInstalledOrInTheBuildTree)
{
    const test::TemporaryDirectory prefix(test::TemporaryDirectory::Enter::kNo);
    const QDir bin(QString::fromStdString((prefix / "bin").string()));
    const QString installed = QString::fromStdString((prefix / "share/tonarel/guide/index.html").string());
    const QString buildTree = QString::fromStdString((prefix / "bin/share/tonarel/guide/index.html").string());
    const auto create = [](const QString& file) {
        QDir().mkpath(QFileInfo(file).path());
        QFile(file).open(QIODevice::WriteOnly);
    };
    EXPECT_EQ(LocateUserGuide(bin), installed) << "nowhere: the installed path";
    create(buildTree);
    EXPECT_EQ(LocateUserGuide(bin), buildTree);
    create(installed);
    EXPECT_EQ(LocateUserGuide(bin), installed) << "an installation comes first";
}

}  // namespace

#include "HelpViewerTest.moc"
