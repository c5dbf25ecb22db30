#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrl>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "meter/PitchMeterWindow.h"
#include "pianotuning/PianoTuningWindow.h"
#include "platform/HelpViewerDesktop.h"
#include "platform/UserGuide.h"
#include "scope/OscilloscopeWindow.h"
#include "shell/ApplicationWindows.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WindowSetTest.h"
#include "tuner/TunerWindow.h"

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

// With an opener program (xdg-open in the application), a failure to start it
// or its report of failure names the file; its success shows nothing.
struct OpenerCase {
    const char* name;
    const char* script;  // the opener's body; nullptr: no such program
    bool reported;
    friend void PrintTo(const OpenerCase& row, std::ostream* out) { *out << row.name; }
};

class HelpViewerOpenerTest : public WindowSetTest, public ::testing::WithParamInterface<OpenerCase> {};

TEST_P(HelpViewerOpenerTest, ReportsAnOpenerThatFailsNamingTheFile)
{
    const QString guide = QDir(WorkingDirectory()).absoluteFilePath("index.html");
    QFile(guide).open(QIODevice::WriteOnly);
    SetApplicationHelpFile(guide);
    const QString opener = QDir(WorkingDirectory()).absoluteFilePath("opener");
    if (GetParam().script != nullptr) {
        QFile script(opener);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QByteArray("#!/bin/sh\n") + GetParam().script + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile::remove("done");
    HelpViewerDesktop viewer(opener);
    viewer.OpenAtContext(3);
    // The answer comes when the opener ends.
    const auto answered = [this] { return GetParam().reported ? !messages.empty() : QFile::exists("done"); };
    for (int wait = 0; wait < 500 && !answered(); ++wait) {
        QTest::qWait(10);
    }
    QTest::qWait(100);
    if (GetParam().reported) {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].first, UserMessageKind::Warning);
        EXPECT_TRUE(messages[0].second.contains(QDir::toNativeSeparators(guide))) << messages[0].second.toStdString();
    } else {
        EXPECT_TRUE(messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Openers, HelpViewerOpenerTest,
                         ::testing::Values(OpenerCase{"Fails", "touch done; exit 3", true},
                                           OpenerCase{"Succeeds", "touch done; exit 0", false},
                                           OpenerCase{"Missing", nullptr, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// F1 in a window opens the guide at that window's section.
class WindowHelpTest : public WindowSetTest {};

TEST_F(WindowHelpTest, F1OpensTheSectionOfTheActiveWindow)
{
    for (const auto& [window, context, section] :
         {std::tuple<QWidget*, uint32_t, const char*>{Windows().pitchMeter, 3u, "taking-a-reading"},
          std::tuple<QWidget*, uint32_t, const char*>{Windows().oscilloscope, 4u, "oscilloscope"},
          std::tuple<QWidget*, uint32_t, const char*>{Windows().tuner, 11u, "tuner"},
          std::tuple<QWidget*, uint32_t, const char*>{Windows().pianoTuning, 12u, "piano"}}) {
        help->requests.clear();
        window->show();  // the tuning windows are not shown at a first start
        Activate(window);
        QTest::keyClick(window, Qt::Key_F1);
        ASSERT_EQ(help->requests.size(), 1u) << window->objectName().toStdString();
        EXPECT_EQ(help->requests[0].contextNumber, context);
        EXPECT_EQ(UserGuideSection(context), section);
    }
}

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
