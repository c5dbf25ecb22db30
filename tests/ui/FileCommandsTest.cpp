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
#include "shell/Unit1.h"
#include "temperament/Unit4.h"
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
        Form1->OpenDialog1->setDirectory(WorkingDirectory());
        Form1->SaveDialog1->setDirectory(WorkingDirectory());
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
    Run(Form1->N9, std::nullopt);  // right after start Save asks
    EXPECT_TRUE(QDir().entryList(QDir::Files).isEmpty()) << "a cancel writes nothing";
    Run(Form1->N9, "a");
    EXPECT_EQ(Contents("a.qrv").size(), 491) << "the default suffix is added";

    QFile existing("b.qrv");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write(QByteArray(1000, 'x')) == 1000);
    existing.close();
    Answer("b");
    QTest::mouseClick(Form1->ToolButton4, Qt::LeftButton);  // Save As, over b.qrv without asking
    EXPECT_EQ(Contents("b.qrv").size(), 491);
    Run(Form1->N10, std::nullopt);
    Form4->AddReading(440.0f);
    QTest::mouseClick(Form1->ToolButton2, Qt::LeftButton);  // Save: no dialog

    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].first, "SaveDialog1");
    EXPECT_EQ(shown[2].second, PathOf("a.qrv")) << "Save As offers the current name";
    EXPECT_EQ(shown[3].second, PathOf("b.qrv"));
    EXPECT_EQ(Contents("b.qrv").mid(3, 4), kOneTrebleEntry);
}

TEST_F(FileCommandsTest, SaveOpenAndSaveAgainGiveTheSameBytesUnderChineseNames)
{
    Form4->RadioButton2->setChecked(true);
    Form4->AddReading(440.2f);
    Form4->AddReading(415.0f);
    Form4->RadioButton1->setChecked(true);
    Form4->AddReading(466.5f);
    Run(Form1->N10, "调律");
    const auto treble = ListLines(Form4->ListBox1);
    const auto bass = ListLines(Form4->ListBox2);
    QTest::mouseClick(Form4->BitBtn1, Qt::LeftButton);

    Run(Form1->N8, "调律.qrv");
    EXPECT_EQ(ListLines(Form4->ListBox1), treble);
    EXPECT_EQ(ListLines(Form4->ListBox2), bass);
    Run(Form1->N10, "再存");
    EXPECT_EQ(Contents("再存.qrv").size(), 491);
    EXPECT_EQ(Contents("再存.qrv"), Contents("调律.qrv"));
}

TEST_F(FileCommandsTest, OpenNeitherSetsNorReplacesTheCurrentNameAndAlwaysShowsTheManager)
{
    Form4->AddReading(440.0f);
    ASSERT_TRUE(Form4->SaveTemperamentFile("c.qrv"));
    QTest::mouseClick(Form4->BitBtn1, Qt::LeftButton);
    Answer("c.qrv");
    QTest::mouseClick(Form1->ToolButton1, Qt::LeftButton);  // Open
    Run(Form1->N9, "b");  // still asks
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].second, WorkingDirectory()) << "no name offered";
    QFile::remove("b.qrv");
    Run(Form1->N8, "c.qrv");
    Form1->N9->trigger();  // writes the opened table to b without asking
    EXPECT_EQ(Contents("b.qrv").mid(3, 4), kOneTrebleEntry);
    EXPECT_EQ(shown.size(), 3u);

    Form1->N3->trigger();
    ASSERT_FALSE(Form4->isVisible());
    Run(Form1->N8, std::nullopt);
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_FALSE(Form1->N3->isChecked());
    EXPECT_FALSE(Form1->ToolButton7->isChecked());
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].second, PathOf("c.qrv")) << "the last confirmed name is offered again";
}

TEST_F(FileCommandsTest, AFailedSaveSaysSoAndKeepsTheCurrentName)
{
    Run(Form1->N10, "b");
    Run(Form1->N10, "b.qrv/x.qrv");  // nothing can be written below a file
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Error);
    EXPECT_EQ(messages[0].second, "无法保存音律文件“" + PathOf("b.qrv/x.qrv") + "”：文件夹不存在。");

    Form4->AddReading(440.0f);
    Form1->N9->trigger();
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(Contents("b.qrv").mid(3, 4), kOneTrebleEntry);
}

struct OpenedName {
    const char* typed;
    bool loaded;  // c.qrv was loaded
};

TEST_F(FileCommandsTest, OpenAddsTheDefaultSuffixToANameWithoutOne)
{
    Form4->AddReading(440.0f);
    Form4->AddReading(466.0f);
    ASSERT_TRUE(Form4->SaveTemperamentFile("c.qrv"));
    ASSERT_TRUE(Form4->SaveTemperamentFile("c"));  // a file without the suffix is not the one meant
    for (const OpenedName& row : {OpenedName{"c", true}, OpenedName{"c.qrv", true}, OpenedName{"c.old", false}}) {
        SCOPED_TRACE(row.typed);
        QTest::mouseClick(Form4->BitBtn1, Qt::LeftButton);
        messages.clear();
        Run(Form1->N8, row.typed);
        EXPECT_EQ(Form4->ListBox1->count(), row.loaded ? 2 : 0);
        EXPECT_EQ(messages.size(), row.loaded ? 0u : 1u);
    }
}

// A dialog into which a name was typed, in another folder, and then cancelled
// offers at its next use what it offered before.
struct CancelledDialog {
    const char* name;
    QAction* TForm1::*command;
    const char* confirmedBefore;  // nullptr: nothing confirmed yet
    const char* offeredAfter;     // nullptr: no name, the working folder
    friend void PrintTo(const CancelledDialog& row, std::ostream* out) { *out << row.name; }
};

class FileDialogCancelled : public FileCommandsTest, public ::testing::WithParamInterface<CancelledDialog> {};

TEST_P(FileDialogCancelled, KeepsThePreviousName)
{
    const CancelledDialog& row = GetParam();
    Form4->AddReading(440.0f);
    ASSERT_TRUE(Form4->SaveTemperamentFile("c.qrv"));
    QDir().mkdir("elsewhere");
    if (row.confirmedBefore != nullptr) {
        Run(Form1->*row.command, row.confirmedBefore);
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
    (Form1->*row.command)->trigger();
    SetFileDialogHandler(scripted);

    Run(Form1->*row.command, std::nullopt);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().second, row.offeredAfter == nullptr ? WorkingDirectory() : PathOf(row.offeredAfter));
    EXPECT_FALSE(QFile::exists("typed.qrv") || QFile::exists("elsewhere/typed.qrv"));
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, FileDialogCancelled,
    ::testing::Values(CancelledDialog{"OpenBeforeAnyName", &TForm1::N8, nullptr, nullptr},
                      CancelledDialog{"OpenAfterAName", &TForm1::N8, "c.qrv", "c.qrv"},
                      CancelledDialog{"SaveAsBeforeAnyName", &TForm1::N10, nullptr, nullptr},
                      CancelledDialog{"SaveAsAfterAName", &TForm1::N10, "b", "b.qrv"}),
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
    Form1->N10->trigger();
    EXPECT_EQ(Contents("typed.qrv").size(), 491);
}

}  // namespace
