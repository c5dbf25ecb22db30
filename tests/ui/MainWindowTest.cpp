#include <gtest/gtest.h>

#include <QFile>
#include <QHelpEvent>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <ostream>
#include <string>

#include "common/WindowDescriptions.h"
#include "meter/Unit3.h"
#include "scope/Unit2.h"
#include "shell/AboutBox.h"
#include "shell/Unit1.h"
#include "temperament/Unit4.h"
#include "tests/support/WindowSetTest.h"

namespace {

using MainWindowTest = WindowSetTest;

QString Description(int index)
{
    return QString::fromUtf8(tonarel::WindowDescriptions.at(index));
}

// One working window with its menu item and tool button.
struct WindowToggle {
    const char* name;
    QAction* TForm1::*item;
    QToolButton* TForm1::*button;
    TonarelForm* (*window)();
};

const WindowToggle Toggles[] = {
    {"Oscilloscope", &TForm1::G1, &TForm1::ToolButton5, []() -> TonarelForm* { return Form2; }},
    {"PitchMeter", &TForm1::N2, &TForm1::ToolButton6, []() -> TonarelForm* { return Form3; }},
    {"TemperamentManager", &TForm1::N3, &TForm1::ToolButton7, []() -> TonarelForm* { return Form4; }},
};

void PrintTo(const WindowToggle& toggle, std::ostream* out)
{
    *out << toggle.name;
}

enum class ChosenWith { Menu, ToolButton };

void PrintTo(ChosenWith way, std::ostream* out)
{
    *out << (way == ChosenWith::Menu ? "menu" : "tool button");
}

class WindowToggleTest : public WindowSetTest,
                         public ::testing::WithParamInterface<std::tuple<WindowToggle, ChosenWith>> {
protected:
    void Choose()
    {
        const auto& [toggle, way] = GetParam();
        if (way == ChosenWith::Menu) {
            (Form1->*toggle.item)->trigger();  // what choosing the menu item does
        } else {
            QTest::mouseClick(Form1->*toggle.button, Qt::LeftButton);
        }
        ProcessEvents();
    }

    void ExpectShown(bool shown)
    {
        const WindowToggle& toggle = std::get<0>(GetParam());
        EXPECT_EQ((Form1->*toggle.item)->isChecked(), shown);
        EXPECT_EQ((Form1->*toggle.button)->isChecked(), shown) << "button down";
        EXPECT_EQ(toggle.window()->isVisible(), shown);
    }
};

TEST_P(WindowToggleTest, HidesAndShowsItsWindowWithCheckMarkAndButton)
{
    const WindowToggle& toggle = std::get<0>(GetParam());
    TonarelForm* const window = toggle.window();
    ExpectShown(true);

    Choose();
    ExpectShown(false);
    EXPECT_EQ(toggle.window(), window) << "hiding keeps the window";

    Choose();
    ExpectShown(true);
    EXPECT_EQ(toggle.window(), window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << "shown windows come to the front";

    // The other two windows are not touched.
    for (const WindowToggle& other : Toggles) {
        EXPECT_TRUE(other.window()->isVisible()) << other.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowToggleTest,
                         ::testing::Combine(::testing::ValuesIn(Toggles),
                                            ::testing::Values(ChosenWith::Menu, ChosenWith::ToolButton)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name)
                                    + (std::get<1>(info.param) == ChosenWith::Menu ? "FromTheMenu" : "FromTheToolButton");
                         });

TEST_F(MainWindowTest, WorkingWindowsRefuseToCloseAndStayChecked)
{
    for (TonarelForm* window : {static_cast<TonarelForm*>(Form2), static_cast<TonarelForm*>(Form3),
                                static_cast<TonarelForm*>(Form4)}) {
        EXPECT_FALSE(window->close()) << window->objectName().toStdString();
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    }
    for (QAction* item : {Form1->G1, Form1->N2, Form1->N3}) {
        EXPECT_TRUE(item->isChecked());
    }
}

TEST_F(MainWindowTest, ToolButtonsShowNoHints)
{
    for (QToolButton* button : {Form1->ToolButton1, Form1->ToolButton5, Form1->ToolButton7}) {
        QHelpEvent hint(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(button, &hint);
        EXPECT_FALSE(QToolTip::isVisible()) << button->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, MemoDescribesTheWindowActivatedLast)
{
    EXPECT_EQ(Form1->Memo1->toPlainText(), Description(0));
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
    const struct {
        QWidget* window;
        int description;
    } sequence[] = {{Form2, 1}, {Form3, 2}, {Form4, 3}, {Form1, 0}, {Form4, 3}, {Form2, 1}};
    for (const auto& step : sequence) {
        Activate(step.window);
        EXPECT_EQ(Form1->Memo1->toPlainText(), Description(step.description)) << step.window->objectName().toStdString();
        EXPECT_EQ(Form1->Memo1->document()->blockCount(), 1) << "the whole text is replaced";
    }
}

TEST_F(MainWindowTest, EveryAboutCommandShowsANewModalBoxInTurn)
{
    QSet<TAboutBox*> seen = {AboutBox};
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    for (int use = 1; use <= 3; ++use) {
        TAboutBox* answered = nullptr;
        AnswerNextModal([&](QWidget* modal) {
            answered = qobject_cast<TAboutBox*>(modal);
            ASSERT_NE(answered, nullptr);
            EXPECT_EQ(answered, AboutBox);
            EXPECT_EQ(answered->windowTitle(), "About");
            EXPECT_EQ(answered->size(), QSize(298, 213));
            EXPECT_LE((answered->frameGeometry().center() - screenCentre).manhattanLength(), 1);
            QTest::mouseClick(answered->OKButton, Qt::LeftButton);
        });
        Form1->N5->trigger();  // returns once the box is closed
        ASSERT_NE(answered, nullptr) << "use " << use;
        EXPECT_FALSE(seen.contains(answered)) << "a new box at each use";
        EXPECT_EQ(answered->result(), QDialog::Accepted);
        EXPECT_FALSE(answered->isVisible());
        seen.insert(answered);
    }
    EXPECT_EQ(Form1->findChildren<TAboutBox*>().size(), 4) << "each box stays with the main window";
}

TEST_F(MainWindowTest, HelpTopicsAskForTheKeywordIndexAndF1ForTheMainWindowsTopic)
{
    Form1->N6->trigger();
    QTest::keyClick(Form1, Qt::Key_F1);
    using Request = HelpViewerStandIn::Request;
    const std::vector<Request> expected = {
        {Request::Kind::Keyword, QString(), 0, "HELP.HLP"},
        {Request::Kind::Context, QString(), 2, "HELP.HLP"},
    };
    EXPECT_EQ(help->requests, expected);
    EXPECT_TRUE(messages.empty()) << "the program shows nothing of its own";
}

enum class ClosedWith { ExitCommand, CloseBox };

void PrintTo(ClosedWith way, std::ostream* out)
{
    *out << (way == ClosedWith::ExitCommand ? "exit command" : "close box");
}

class MainWindowCloseTest : public WindowSetTest, public ::testing::WithParamInterface<std::tuple<ClosedWith, bool>> {};

TEST_P(MainWindowCloseTest, DeletesTheRecordingSilentlyAndKeepsTheTemplate)
{
    const auto [way, recordingExists] = GetParam();
    QFile("temp.wav").open(QIODevice::WriteOnly);
    if (recordingExists) {
        QFile("my.wav").open(QIODevice::WriteOnly);
    }
    if (way == ClosedWith::ExitCommand) {
        Form1->E1->trigger();
    } else {
        EXPECT_TRUE(Form1->close());
    }
    ProcessEvents();
    EXPECT_FALSE(QFile::exists("my.wav"));
    EXPECT_TRUE(QFile::exists("temp.wav"));
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, MainWindowCloseTest,
                         ::testing::Combine(::testing::Values(ClosedWith::ExitCommand, ClosedWith::CloseBox),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == ClosedWith::ExitCommand ? "Exit" : "CloseBox")
                                    + (std::get<1>(info.param) ? "WithRecording" : "WithoutRecording");
                         });

TEST_F(MainWindowTest, ClosingTheMainWindowEndsTheMessageLoopWhileOtherWindowsAreShown)
{
    QTimer::singleShot(0, Form1, [] { Form1->E1->trigger(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });  // a hung loop fails instead of hanging
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(Form2->isVisible());
}

}  // namespace
