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
#include "meter/Unit3.h"
#include "scope/Unit2.h"
#include "shell/AboutBox.h"
#include "shell/Unit1.h"
#include "temperament/Unit4.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

using MainWindowTest = WindowSetTest;

// One working window with its menu item and tool button.
struct WindowToggle {
    const char* name;
    QAction* TForm1::*item;
    QToolButton* TForm1::*button;
    TonarelForm* (*window)();
    friend void PrintTo(const WindowToggle& toggle, std::ostream* out) { *out << toggle.name; }
};

const WindowToggle Toggles[] = {
    {"Oscilloscope", &TForm1::G1, &TForm1::ToolButton5, []() -> TonarelForm* { return Form2; }},
    {"PitchMeter", &TForm1::N2, &TForm1::ToolButton6, []() -> TonarelForm* { return Form3; }},
    {"TemperamentManager", &TForm1::N3, &TForm1::ToolButton7, []() -> TonarelForm* { return Form4; }},
};

class WindowToggleTest : public WindowSetTest, public ::testing::WithParamInterface<WindowToggle> {};

TEST_P(WindowToggleTest, MenuItemAndToolButtonMoveCheckButtonAndVisibilityTogether)
{
    const WindowToggle& toggle = GetParam();
    TonarelForm* const window = toggle.window();
    EXPECT_FALSE(window->close()) << "only the main window shows and hides it";
    bool shown = true;
    for (const bool fromMenu : {true, false, false, true}) {
        fromMenu ? (Form1->*toggle.item)->trigger() : QTest::mouseClick(Form1->*toggle.button, Qt::LeftButton);
        ProcessEvents();
        shown = !shown;
        EXPECT_EQ((Form1->*toggle.item)->isChecked(), shown) << (fromMenu ? "menu" : "tool button");
        EXPECT_EQ((Form1->*toggle.button)->isChecked(), shown) << "button down";
        EXPECT_EQ(window->isVisible(), shown);
    }
    EXPECT_EQ(toggle.window(), window) << "hiding keeps the window";
    EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << "shown windows come to the front";
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowToggleTest, ::testing::ValuesIn(Toggles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, ToolButtonsStandFlushFromTheLeftEdgeWithTheEightPixelSeparatorBetween)
{
    EXPECT_EQ(Form1->ToolBar1->pos(), QPoint(0, 0));
    const QWidget* separator = Form1->ToolBar1->widgetForAction(Form1->ToolButton3);
    ASSERT_NE(separator, nullptr);
    struct Row {
        const char* name;
        const QWidget* widget;
        int left, width;
    };
    for (const Row& row : {Row{"ToolButton1", Form1->ToolButton1, 0, 23}, Row{"ToolButton2", Form1->ToolButton2, 23, 23},
                           Row{"ToolButton4", Form1->ToolButton4, 46, 23}, Row{"ToolButton3", separator, 69, 8},
                           Row{"ToolButton5", Form1->ToolButton5, 77, 23}, Row{"ToolButton6", Form1->ToolButton6, 100, 23},
                           Row{"ToolButton7", Form1->ToolButton7, 123, 23}}) {
        EXPECT_EQ(row.widget->x(), row.left) << row.name;
        EXPECT_EQ(row.widget->width(), row.width) << row.name;
    }
}

TEST_F(MainWindowTest, MemoDescribesTheWindowActivatedLast)
{
    const std::pair<QWidget*, int> sequence[] = {{Form1, 0}, {Form2, 1}, {Form3, 2},
                                                 {Form4, 3}, {Form1, 0}, {Form2, 1}};
    for (const auto& [window, description] : sequence) {
        Activate(window);
        EXPECT_EQ(Form1->Memo1->toPlainText(), QString::fromUtf8(tonarel::WindowDescriptions.at(description)))
            << window->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, EveryAboutCommandShowsANewModalBoxInTurn)
{
    QSet<QWidget*> seen = {AboutBox};
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    for (int use = 1; use <= 3; ++use) {
        TAboutBox* answered = nullptr;
        AnswerNextModal([&](QWidget* modal) {
            answered = qobject_cast<TAboutBox*>(modal);
            ASSERT_NE(answered, nullptr);
            EXPECT_LE((answered->frameGeometry().center() - screenCentre).manhattanLength(), 1) << "centred";
            QTest::mouseClick(answered->OKButton, Qt::LeftButton);
        });
        Form1->N5->trigger();  // returns once the box is closed
        ASSERT_NE(answered, nullptr) << "use " << use;
        EXPECT_FALSE(seen.contains(answered)) << "a new box at each use";
        EXPECT_EQ(answered->result(), QDialog::Accepted);
        seen.insert(answered);
    }
}

TEST_F(MainWindowTest, HelpTopicsAskForTheKeywordIndexAndF1ForTheMainWindowsTopic)
{
    Form1->N6->trigger();
    QTest::keyClick(Form1, Qt::Key_F1);
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
    QTimer::singleShot(0, Form1, [] { Form1->E1->trigger(); });
    // A loop that goes on fails instead of hanging; the guard goes with the window.
    QTimer::singleShot(5000, Form1, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QCoreApplication::exec(), 0) << "ends while the working windows, which refuse to close, are shown";
    EXPECT_FALSE(QFile::exists("my.wav"));
    EXPECT_TRUE(QFile::exists("temp.wav"));
    EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Recording, MainWindowCloseTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Present" : "Missing"; });

}  // namespace
