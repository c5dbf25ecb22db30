#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <deque>
#include <optional>
#include <ostream>
#include <string>

#include "forms/FileDialogRunner.h"
#include "shell/ApplicationWindows.h"
#include "shell/MainWindow.h"
#include "temperament/TemperamentManagerWindow.h"
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
        SetFileDialogHandler({});
        EXPECT_TRUE(answers.empty()) << "a dialog the test expected did not open";
        WindowSetTest::TearDown();
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
    QTest::mouseClick(Windows().mainWindow->saveAsButton, Qt::LeftButton);  // Save As, over b.qrv without asking
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

    Run(Windows().mainWindow->openItem, "调律.qrv");
    EXPECT_EQ(ListLines(Windows().temperamentManager->trebleList), treble);
    EXPECT_EQ(ListLines(Windows().temperamentManager->bassList), bass);
    Run(Windows().mainWindow->saveAsItem, "再存");
    EXPECT_EQ(Contents("再存.qrv").size(), 491);
    EXPECT_EQ(Contents("再存.qrv"), Contents("调律.qrv"));
}

TEST_F(FileCommandsTest, OpenNeitherSetsNorReplacesTheCurrentNameAndAlwaysShowsTheManager)
{
    Windows().temperamentManager->AddReading(440.0f);
    ASSERT_TRUE(Windows().temperamentManager->SaveTemperamentFile("c.qrv"));
    QTest::mouseClick(Windows().temperamentManager->clearButton, Qt::LeftButton);
    Answer("c.qrv");
    QTest::mouseClick(Windows().mainWindow->openButton, Qt::LeftButton);  // Open
    Run(Windows().mainWindow->saveItem, "b");  // still asks
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].second, WorkingDirectory()) << "no name offered";
    QFile::remove("b.qrv");
    Run(Windows().mainWindow->openItem, "c.qrv");
    Windows().mainWindow->saveItem->trigger();  // writes the opened table to b without asking
    EXPECT_EQ(Contents("b.qrv").mid(3, 4), kOneTrebleEntry);
    EXPECT_EQ(shown.size(), 3u);

    Windows().mainWindow->temperamentManagerItem->trigger();
    ASSERT_FALSE(Windows().temperamentManager->isVisible());
    Run(Windows().mainWindow->openItem, std::nullopt);
    EXPECT_TRUE(Windows().temperamentManager->isVisible());
    EXPECT_FALSE(Windows().mainWindow->temperamentManagerItem->isChecked());
    EXPECT_FALSE(Windows().mainWindow->temperamentManagerButton->isChecked());
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].second, PathOf("c.qrv")) << "the last confirmed name is offered again";
}

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
    Windows().temperamentManager->AddReading(440.0f);
    ASSERT_TRUE(Windows().temperamentManager->SaveTemperamentFile("c.qrv"));
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
