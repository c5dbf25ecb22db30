#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <ostream>
#include <string>
#include <utility>

#include "forms/WindowDescriptions.h"
#include "meter/PitchMeterWindow.h"
#include "scope/OscilloscopeWindow.h"
#include "shell/AboutBox.h"
#include "shell/ApplicationWindows.h"
#include "shell/MainWindow.h"
#include "temperament/TemperamentManagerWindow.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

using MainWindowTest = WindowSetTest;

// One working window with its menu item and tool button.
struct WindowToggle {
    const char* name;
    QAction* MainWindow::*item;
    QToolButton* MainWindow::*button;
    TonarelForm* (*window)();
    friend void PrintTo(const WindowToggle& toggle, std::ostream* out) { *out << toggle.name; }
};

const WindowToggle Toggles[] = {
    {"Oscilloscope", &MainWindow::oscilloscopeItem, &MainWindow::oscilloscopeButton, []() -> TonarelForm* { return Windows().oscilloscope; }},
    {"PitchMeter", &MainWindow::pitchMeterItem, &MainWindow::pitchMeterButton, []() -> TonarelForm* { return Windows().pitchMeter; }},
    {"TemperamentManager", &MainWindow::temperamentManagerItem, &MainWindow::temperamentManagerButton, []() -> TonarelForm* { return Windows().temperamentManager; }},
};

class WindowToggleTest : public WindowSetTest, public ::testing::WithParamInterface<WindowToggle> {};

TEST_P(WindowToggleTest, MenuItemAndToolButtonMoveCheckButtonAndVisibilityTogether)
{
    const WindowToggle& toggle = GetParam();
    TonarelForm* const window = toggle.window();
    EXPECT_FALSE(window->close()) << "only the main window shows and hides it";
    bool shown = true;
    for (const bool fromMenu : {true, false, false, true}) {
        fromMenu ? (Windows().mainWindow->*toggle.item)->trigger() : QTest::mouseClick(Windows().mainWindow->*toggle.button, Qt::LeftButton);
        ProcessEvents();
        shown = !shown;
        EXPECT_EQ((Windows().mainWindow->*toggle.item)->isChecked(), shown) << (fromMenu ? "menu" : "tool button");
        EXPECT_EQ((Windows().mainWindow->*toggle.button)->isChecked(), shown) << "button down";
        EXPECT_EQ(window->isVisible(), shown);
    }
    EXPECT_EQ(toggle.window(), window) << "hiding keeps the window";
    EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << "shown windows come to the front";
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowToggleTest, ::testing::ValuesIn(Toggles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, ToolButtonsStandFlushFromTheLeftEdgeWithTheEightPixelSeparatorBetween)
{
    EXPECT_EQ(Windows().mainWindow->toolBar->pos(), QPoint(0, 0));
    const QWidget* separator = Windows().mainWindow->toolBar->widgetForAction(Windows().mainWindow->toolSeparator);
    ASSERT_NE(separator, nullptr);
    struct Row {
        const char* name;
        const QWidget* widget;
        int left, width;
    };
    for (const Row& row : {Row{"ToolButton1", Windows().mainWindow->openButton, 0, 23}, Row{"ToolButton2", Windows().mainWindow->saveButton, 23, 23},
                           Row{"ToolButton4", Windows().mainWindow->saveAsButton, 46, 23}, Row{"ToolButton3", separator, 69, 8},
                           Row{"ToolButton5", Windows().mainWindow->oscilloscopeButton, 77, 23}, Row{"ToolButton6", Windows().mainWindow->pitchMeterButton, 100, 23},
                           Row{"ToolButton7", Windows().mainWindow->temperamentManagerButton, 123, 23}}) {
        EXPECT_EQ(row.widget->x(), row.left) << row.name;
        EXPECT_EQ(row.widget->width(), row.width) << row.name;
    }
}

TEST_F(MainWindowTest, MemoDescribesTheWindowActivatedLast)
{
    const std::pair<QWidget*, int> sequence[] = {{Windows().mainWindow, 0}, {Windows().oscilloscope, 1}, {Windows().pitchMeter, 2},
                                                 {Windows().temperamentManager, 3}, {Windows().mainWindow, 0}, {Windows().oscilloscope, 1}};
    for (const auto& [window, description] : sequence) {
        Activate(window);
        EXPECT_EQ(Windows().mainWindow->descriptionMemo->toPlainText(), QString::fromUtf8(tonarel::WindowDescriptions.at(description)))
            << window->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, EveryAboutCommandShowsANewModalBoxInTurn)
{
    QSet<QWidget*> seen = {Windows().aboutBox};
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    for (int use = 1; use <= 3; ++use) {
        AboutBox* answered = nullptr;
        AnswerNextModal([&](QWidget* modal) {
            answered = qobject_cast<AboutBox*>(modal);
            ASSERT_NE(answered, nullptr);
            EXPECT_LE((answered->frameGeometry().center() - screenCentre).manhattanLength(), 1) << "centred";
            QTest::mouseClick(answered->okButton, Qt::LeftButton);
        });
        Windows().mainWindow->aboutItem->trigger();  // returns once the box is closed
        ASSERT_NE(answered, nullptr) << "use " << use;
        EXPECT_FALSE(seen.contains(answered)) << "a new box at each use";
        EXPECT_EQ(answered->result(), QDialog::Accepted);
        seen.insert(answered);
    }
}

TEST_F(MainWindowTest, HelpTopicsAskForTheKeywordIndexAndF1ForTheMainWindowsTopic)
{
    Windows().mainWindow->helpTopicsItem->trigger();
    QTest::keyClick(Windows().mainWindow, Qt::Key_F1);
    using Request = HelpViewerStandIn::Request;
    const QString guide = ApplicationHelpFile();
    EXPECT_TRUE(guide.endsWith("/share/tonarel/guide/index.html")) << guide.toStdString();
    EXPECT_EQ(help->requests, (std::vector<Request>{{Request::Kind::Keyword, QString(), 0, guide},
                                                    {Request::Kind::Context, QString(), 2, guide}}));
    EXPECT_TRUE(messages.empty()) << "the program shows nothing of its own";
}

class MainWindowCloseTest : public WindowSetTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MainWindowCloseTest, EndsTheProgramDeletingTheRecordingSilently)
{
    QFile("temp.wav").open(QIODevice::WriteOnly);
    if (GetParam()) {
        QFile("my.wav").open(QIODevice::WriteOnly);
    }
    QTimer::singleShot(0, Windows().mainWindow, [] { Windows().mainWindow->exitItem->trigger(); });
    // A loop that goes on fails instead of hanging; the guard goes with the window.
    QTimer::singleShot(5000, Windows().mainWindow, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QCoreApplication::exec(), 0) << "ends while the working windows, which refuse to close, are shown";
    EXPECT_FALSE(QFile::exists("my.wav"));
    EXPECT_TRUE(QFile::exists("temp.wav"));
    EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Recording, MainWindowCloseTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Present" : "Missing"; });

}  // namespace
