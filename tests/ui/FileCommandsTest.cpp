#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <deque>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "forms/FileDialogRunner.h"
#include "shell/ApplicationWindows.h"
#include "shell/MainWindow.h"
#include "temperament/TemperamentManagerWindow.h"
#include "temperament/core/TemperamentFile.h"
#include "tests/support/WidgetTexts.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

using tonarel::test::ListLines;

// The File menu's commands, with the file dialogs answered by the test.
class FileCommandsTest : public WindowSetTest {
protected:
    void SetUp() override
    {
        WindowSetTest::SetUp();
        // Qt's dialogs remember the folder of an earlier window set; these
        // start where the test's files are, as in a fresh run.
        Windows().mainWindow->openDialog->setDirectory(WorkingDirectory());
        Windows().mainWindow->saveDialog->setDirectory(WorkingDirectory());
        scripted = [this](const QFileDialog& dialog) -> std::optional<QString> {
            shown.emplace_back(dialog.objectName(), dialog.selectedFiles().value(0));
            if (answers.empty()) {
                ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
                return std::nullopt;
            }
            const std::optional<QString> answer = answers.front();
            answers.pop_front();
            return answer;
        };
        SetFileDialogHandler(scripted);
        // A dialog or question left open (the real dialog unanswered, an
        // overwrite confirmation) would stop the run: it is closed instead,
        // and the test fails.
        watchdog.callOnTimeout([] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QDialog*>(window); dialog != nullptr && dialog->isVisible()) {
                    ADD_FAILURE() << dialog->metaObject()->className() << " was left open";
                    dialog->reject();
                }
            }
        });
        watchdog.start(20000);
    }

    void TearDown() override
    {
        watchdog.stop();
        questions.stop();
        SetFileDialogHandler({});
        EXPECT_TRUE(answers.empty()) << "a dialog the test expected did not open";
        WindowSetTest::TearDown();
    }

    /// Answers every question about unsaved changes with `button` from now on.
    void AnswerQuestionsWith(const QString& button)
    {
        questions.callOnTimeout([button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box != nullptr) {
                for (QAbstractButton* candidate : box->buttons()) {
                    if (candidate->text() == button) {
                        candidate->click();
                    }
                }
            }
        });
        questions.start(5);
    }

    /// The next dialog's answer: a name to type and confirm.
    void Answer(const QString& name) { answers.emplace_back(name); }
    /// Chooses `command` from the menu; its dialog gets `answer`.
    void Run(QAction* command, std::optional<QString> answer)
    {
        answers.push_back(std::move(answer));
        command->trigger();
    }
    QString PathOf(const QString& name) const { return WorkingDirectory() + "/" + name; }

    static QByteArray Contents(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::deque<std::optional<QString>> answers;
    std::vector<std::pair<QString, QString>> shown;  ///< each dialog's name and the name it offered
    FileDialogHandler scripted;                      ///< answers from `answers`, logging to `shown`
    QTimer watchdog;
    QTimer questions;
};

const QByteArray kOneTrebleEntry("\x01\x00\x00\x00", 4);

TEST_F(FileCommandsTest, OnlyAConfirmedSaveDialogSetsTheNameThatSaveWritesTo)
{
    Run(Windows().mainWindow->saveItem, std::nullopt);  // right after start Save asks
    EXPECT_TRUE(QDir().entryList(QDir::Files).isEmpty()) << "a cancel writes nothing";
    Run(Windows().mainWindow->saveItem, "a");
    EXPECT_EQ(Contents("a.qrv").size(), 491) << "the default suffix is added";

    QFile existing("b.qrv");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write(QByteArray(1000, 'x')) == 1000);
    existing.close();
    Answer("b");
    AnswerNextQuestion("替换");
    QTest::mouseClick(Windows().mainWindow->saveAsButton, Qt::LeftButton);  // Save As over b.qrv, once agreed
    EXPECT_EQ(Contents("b.qrv").size(), 491);
    Run(Windows().mainWindow->saveAsItem, std::nullopt);
    Windows().temperamentManager->AddReading(440.0f);
    QTest::mouseClick(Windows().mainWindow->saveButton, Qt::LeftButton);  // Save: no dialog

    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].first, "SaveDialog1");
    EXPECT_EQ(shown[2].second, PathOf("a.qrv")) << "Save As offers the current name";
    EXPECT_EQ(shown[3].second, PathOf("b.qrv"));
    EXPECT_EQ(Contents("b.qrv").mid(3, 4), kOneTrebleEntry);
}

TEST_F(FileCommandsTest, SaveOpenAndSaveAgainGiveTheSameBytesUnderChineseNames)
{
    Windows().temperamentManager->bassButton->setChecked(true);
    Windows().temperamentManager->AddReading(440.2f);
    Windows().temperamentManager->AddReading(415.0f);
    Windows().temperamentManager->trebleButton->setChecked(true);
    Windows().temperamentManager->AddReading(466.5f);
    Run(Windows().mainWindow->saveAsItem, "调律");
    const auto treble = ListLines(Windows().temperamentManager->trebleList);
    const auto bass = ListLines(Windows().temperamentManager->bassList);
    QTest::mouseClick(Windows().temperamentManager->clearButton, Qt::LeftButton);

    AnswerNextQuestion("不保存");  // the clear is a change
    Run(Windows().mainWindow->openItem, "调律.qrv");
    EXPECT_EQ(ListLines(Windows().temperamentManager->trebleList), treble);
    EXPECT_EQ(ListLines(Windows().temperamentManager->bassList), bass);
    Run(Windows().mainWindow->saveAsItem, "再存");
    EXPECT_EQ(Contents("再存.qrv").size(), 491);
    EXPECT_EQ(Contents("再存.qrv"), Contents("调律.qrv"));
}

// Save As piano1, open tableB, save: tableB is written and piano1 is not. The
// title names the table's file and marks unsaved changes.
TEST_F(FileCommandsTest, OpenMakesTheOpenedFileCurrentSoSaveWritesBackToIt)
{
    MainWindow* main = Windows().mainWindow;
    TemperamentManagerWindow* manager = Windows().temperamentManager;
    EXPECT_EQ(main->windowTitle(), "Tonarel 1.0 (BETA)");
    manager->AddReading(440.0f);
    manager->AddReading(466.0f);
    EXPECT_EQ(main->windowTitle(), "Tonarel 1.0 (BETA) *");
    Run(main->saveAsItem, "tableB");
    EXPECT_EQ(main->windowTitle(), "Tonarel 1.0 (BETA) — tableB.qrv");
    QTest::mouseClick(manager->clearButton, Qt::LeftButton);  // saved: no question
    manager->AddReading(440.0f);
    Run(main->saveAsItem, "piano1");
    const QByteArray piano1 = Contents("piano1.qrv");
    EXPECT_EQ(piano1.mid(3, 4), kOneTrebleEntry);

    Run(main->openItem, "tableB.qrv");  // saved: no question
    EXPECT_EQ(main->windowTitle(), "Tonarel 1.0 (BETA) — tableB.qrv");
    manager->AddReading(470.0f);
    EXPECT_EQ(main->windowTitle(), "Tonarel 1.0 (BETA) — tableB.qrv *");
    main->saveItem->trigger();  // no dialog: back to the opened file
    EXPECT_EQ(main->windowTitle(), "Tonarel 1.0 (BETA) — tableB.qrv");
    EXPECT_EQ(Contents("tableB.qrv").mid(3, 4), QByteArray("\x03\x00\x00\x00", 4));
    EXPECT_EQ(Contents("piano1.qrv"), piano1) << "the first file is not written";
    EXPECT_EQ(shown.size(), 3u);

    // Open shows the manager even after a cancel, leaving its item as it is.
    main->temperamentManagerItem->trigger();
    ASSERT_FALSE(manager->isVisible());
    Run(main->openItem, std::nullopt);
    EXPECT_TRUE(manager->isVisible());
    EXPECT_FALSE(main->temperamentManagerItem->isChecked());
    EXPECT_FALSE(main->temperamentManagerButton->isChecked());
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].second, PathOf("tableB.qrv")) << "the last confirmed name is offered again";
}

TEST_F(FileCommandsTest, SaveAsAsksBeforeReplacingAFileAndACancelKeepsIt)
{
    QFile existing("b.qrv");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write(QByteArray(1000, 'x')) == 1000);
    existing.close();
    Windows().temperamentManager->AddReading(440.0f);
    Answer("b");
    AnswerNextQuestion("取消");
    Windows().mainWindow->saveAsItem->trigger();
    EXPECT_EQ(Contents("b.qrv"), QByteArray(1000, 'x'));
    EXPECT_EQ(Windows().mainWindow->windowTitle(), "Tonarel 1.0 (BETA) *") << "no file became current";
}

// 退出, closing the main window, 清空记录 and 打开 ask about unsaved changes:
// 保存 saves to the current file and goes on, 不保存 goes on, 取消 leaves
// everything as it was.
struct UnsavedCase {
    const char* command;  // "退出", "关闭", "清空记录" or "打开"
    const char* answer;   // "保存", "不保存" or "取消"
    friend void PrintTo(const UnsavedCase& row, std::ostream* out) { *out << row.command << " " << row.answer; }
};

std::string UnsavedCaseName(const ::testing::TestParamInfo<UnsavedCase>& info)
{
    static const std::map<std::string, std::string> words = {
        {"退出", "Exit"}, {"关闭", "Close"}, {"清空记录", "Clear"}, {"打开", "Open"},
        {"保存", "Save"}, {"不保存", "Discard"}, {"取消", "Cancel"}};
    return words.at(info.param.command) + words.at(info.param.answer);
}

class UnsavedChangesQuestion : public FileCommandsTest, public ::testing::WithParamInterface<UnsavedCase> {};

TEST_P(UnsavedChangesQuestion, SavesDiscardsOrCancels)
{
    const UnsavedCase& row = GetParam();
    const QString command = QString::fromUtf8(row.command);
    const QString answer = QString::fromUtf8(row.answer);
    MainWindow* main = Windows().mainWindow;
    TemperamentManagerWindow* manager = Windows().temperamentManager;
    ASSERT_FALSE(tonarel::WriteTemperamentFile("other.qrv", {}).has_value());  // an empty table
    manager->AddReading(440.0f);
    Run(main->saveAsItem, "t");
    manager->AddReading(466.0f);  // a change since the save
    const QByteArray savedBefore = Contents("t.qrv");

    AnswerNextQuestion(answer);
    if (command == "打开" && answer != "取消") {
        Answer("other.qrv");
    }
    const bool goesOn = answer != "取消";
    const bool closes = command == "退出" || command == "关闭";
    if (closes) {
        // Closing ends the message loop, as at a real exit.
        QTimer::singleShot(0, main, [main, command, goesOn] {
            if (command == "退出") {
                main->exitItem->trigger();
            } else {
                main->close();
            }
            if (!goesOn) {
                QCoreApplication::exit(0);
            }
        });
        QTimer::singleShot(5000, main, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
    } else if (command == "清空记录") {
        QTest::mouseClick(manager->clearButton, Qt::LeftButton);
    } else {
        main->openItem->trigger();
    }

    EXPECT_EQ(Contents("t.qrv") != savedBefore, answer == "保存");
    if (answer == "保存") {
        EXPECT_EQ(Contents("t.qrv").mid(3, 4), QByteArray("\x02\x00\x00\x00", 4));
    }
    EXPECT_EQ(main->isVisible(), !(closes && goesOn));
    const bool replaces = command == "清空记录" || command == "打开";
    EXPECT_EQ(manager->trebleList->count(), replaces && goesOn ? 0 : 2);
    if (!goesOn) {
        EXPECT_EQ(main->windowTitle(), "Tonarel 1.0 (BETA) — t.qrv *");
    } else if (command == "打开") {
        EXPECT_EQ(main->windowTitle(), "Tonarel 1.0 (BETA) — other.qrv");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UnsavedChangesQuestion,
    ::testing::Values(UnsavedCase{"退出", "保存"}, UnsavedCase{"退出", "不保存"}, UnsavedCase{"退出", "取消"},
                      UnsavedCase{"关闭", "保存"}, UnsavedCase{"关闭", "不保存"}, UnsavedCase{"关闭", "取消"},
                      UnsavedCase{"清空记录", "保存"}, UnsavedCase{"清空记录", "不保存"},
                      UnsavedCase{"清空记录", "取消"}, UnsavedCase{"打开", "保存"}, UnsavedCase{"打开", "不保存"},
                      UnsavedCase{"打开", "取消"}),
    UnsavedCaseName);

TEST_F(FileCommandsTest, AFailedSaveSaysSoAndKeepsTheCurrentName)
{
    Run(Windows().mainWindow->saveAsItem, "b");
    Run(Windows().mainWindow->saveAsItem, "b.qrv/x.qrv");  // nothing can be written below a file
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Error);
    EXPECT_EQ(messages[0].second, "无法保存音律文件“" + PathOf("b.qrv/x.qrv") + "”：文件夹不存在。");

    Windows().temperamentManager->AddReading(440.0f);
    Windows().mainWindow->saveItem->trigger();
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(Contents("b.qrv").mid(3, 4), kOneTrebleEntry);
}

struct OpenedName {
    const char* typed;
    bool loaded;  // c.qrv was loaded
};

TEST_F(FileCommandsTest, OpenAddsTheDefaultSuffixToANameWithoutOne)
{
    Windows().temperamentManager->AddReading(440.0f);
    Windows().temperamentManager->AddReading(466.0f);
    ASSERT_TRUE(Windows().temperamentManager->SaveTemperamentFile("c.qrv"));
    ASSERT_TRUE(Windows().temperamentManager->SaveTemperamentFile("c"));  // a file without the suffix is not the one meant
    AnswerQuestionsWith("不保存");  // each clear of a loaded table is a change
    for (const OpenedName& row : {OpenedName{"c", true}, OpenedName{"c.qrv", true}, OpenedName{"c.old", false}}) {
        SCOPED_TRACE(row.typed);
        QTest::mouseClick(Windows().temperamentManager->clearButton, Qt::LeftButton);
        messages.clear();
        Run(Windows().mainWindow->openItem, row.typed);
        EXPECT_EQ(Windows().temperamentManager->trebleList->count(), row.loaded ? 2 : 0);
        EXPECT_EQ(messages.size(), row.loaded ? 0u : 1u);
    }
}

// A dialog into which a name was typed, in another folder, and then cancelled
// offers at its next use what it offered before.
struct CancelledDialog {
    const char* name;
    QAction* MainWindow::*command;
    const char* confirmedBefore;  // nullptr: nothing confirmed yet
    const char* offeredAfter;     // nullptr: no name, the working folder
    friend void PrintTo(const CancelledDialog& row, std::ostream* out) { *out << row.name; }
};

class FileDialogCancelled : public FileCommandsTest, public ::testing::WithParamInterface<CancelledDialog> {};

TEST_P(FileDialogCancelled, KeepsThePreviousName)
{
    const CancelledDialog& row = GetParam();
    TemperamentFileContents oneEntry;
    oneEntry.trebleCount = 1;
    oneEntry.measured[0] = 440.0f;
    ASSERT_FALSE(WriteTemperamentFile("c.qrv", oneEntry).has_value());  // the table stays unchanged: no question
    QDir().mkdir("elsewhere");
    if (row.confirmedBefore != nullptr) {
        Run(Windows().mainWindow->*row.command, row.confirmedBefore);
    }

    SetFileDialogHandler({});
    AnswerNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(QDir("elsewhere").absolutePath());
        auto* typing = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(typing, nullptr);
        typing->clear();
        QTest::keyClicks(typing, "typed");
        dialog->reject();
    });
    (Windows().mainWindow->*row.command)->trigger();
    SetFileDialogHandler(scripted);

    Run(Windows().mainWindow->*row.command, std::nullopt);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().second, row.offeredAfter == nullptr ? WorkingDirectory() : PathOf(row.offeredAfter));
    EXPECT_FALSE(QFile::exists("typed.qrv") || QFile::exists("elsewhere/typed.qrv"));
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, FileDialogCancelled,
    ::testing::Values(CancelledDialog{"OpenBeforeAnyName", &MainWindow::openItem, nullptr, nullptr},
                      CancelledDialog{"OpenAfterAName", &MainWindow::openItem, "c.qrv", "c.qrv"},
                      CancelledDialog{"SaveAsBeforeAnyName", &MainWindow::saveAsItem, nullptr, nullptr},
                      CancelledDialog{"SaveAsAfterAName", &MainWindow::saveAsItem, "b", "b.qrv"}),
    [](const auto& info) { return std::string(info.param.name); });

// Without the test's answers the real dialog runs; a user types a name into it.
TEST_F(FileCommandsTest, TheRealDialogTakesATypedName)
{
    SetFileDialogHandler({});
    AnswerNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        // Found by name rather than by focus, which a busy machine may not
        // have moved there yet.
        auto* typing = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(typing, nullptr);
        QTest::keyClicks(typing, "typed");
        QTest::keyClick(typing, Qt::Key_Return);
    });
    Windows().mainWindow->saveAsItem->trigger();
    EXPECT_EQ(Contents("typed.qrv").size(), 491);
}

}  // namespace
