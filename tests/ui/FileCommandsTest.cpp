#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <csignal>
#include <deque>
#include <optional>
#include <vector>

#include <sys/resource.h>

#include "shell/FileDialogRunner.h"
#include "shell/Unit1.h"
#include "temperament/Unit4.h"
#include "tests/support/WindowSetTest.h"

namespace {

// The File menu's commands, with the file dialogs answered by the test.
class FileCommandsTest : public WindowSetTest {
protected:
    struct ShownDialog {
        QString name;     ///< OpenDialog1 or SaveDialog1
        QString offered;  ///< the name the dialog offered when it opened
    };

    void SetUp() override
    {
        WindowSetTest::SetUp();
        SetFileDialogHandler([this](const QFileDialog& dialog) -> std::optional<QString> {
            shown.push_back({dialog.objectName(), dialog.selectedFiles().value(0)});
            if (answers.empty()) {
                ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
                return std::nullopt;
            }
            const std::optional<QString> answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }

    void TearDown() override
    {
        SetFileDialogHandler({});
        EXPECT_TRUE(answers.empty()) << "a dialog the test expected did not open";
        WindowSetTest::TearDown();
    }

    /// The dialog's next answer: a name to type and confirm, or a cancel.
    void Answer(const QString& name) { answers.emplace_back(name); }
    void Cancel() { answers.emplace_back(std::nullopt); }

    QString PathOf(const QString& name) const { return WorkingDirectory() + "/" + name; }

    static QByteArray Contents(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void TakeReadings(std::initializer_list<float> treble, std::initializer_list<float> bass)
    {
        Form4->RadioButton2->setChecked(true);
        for (float hz : bass) {
            Form4->AddReading(hz);
        }
        Form4->RadioButton1->setChecked(true);
        for (float hz : treble) {
            Form4->AddReading(hz);
        }
    }

    static QStringList Lines(const QListWidget* list)
    {
        QStringList lines;
        for (int row = 0; row < list->count(); ++row) {
            lines << list->item(row)->text();
        }
        return lines;
    }

    std::deque<std::optional<QString>> answers;
    std::vector<ShownDialog> shown;
};

TEST_F(FileCommandsTest, FirstSaveAsksCancelWritesNothingAndTheConfirmedNameBecomesCurrent)
{
    Cancel();
    Form1->N9->trigger();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].name, "SaveDialog1");
    EXPECT_TRUE(QDir(WorkingDirectory()).entryList(QDir::Files).isEmpty());

    Answer("a");
    Form1->N9->trigger();
    EXPECT_EQ(Contents("a.qrv").size(), 491) << "the default suffix is added";

    TakeReadings({440.0f}, {});
    QTest::mouseClick(Form1->ToolButton2, Qt::LeftButton);  // Save again: no dialog
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(Contents("a.qrv").mid(3, 4), QByteArray("\x01\x00\x00\x00", 4));
    EXPECT_TRUE(messages.empty());
}

TEST_F(FileCommandsTest, SaveAsOffersTheCurrentNameAndACancelKeepsIt)
{
    Answer("b.qrv");
    Form1->N10->trigger();
    Cancel();
    QTest::mouseClick(Form1->ToolButton4, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].offered, PathOf("b.qrv"));

    QFile::remove("b.qrv");
    Form1->N9->trigger();
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_TRUE(QFile::exists("b.qrv"));
}

TEST_F(FileCommandsTest, SaveAsReplacesAnExistingFileWithoutAsking)
{
    QFile existing("x.qrv");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write(QByteArray(1000, 'x'));
    existing.close();
    Answer("x.qrv");
    Form1->N10->trigger();
    EXPECT_EQ(Contents("x.qrv").size(), 491);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FileCommandsTest, SaveOpenAndSaveAgainGiveTheSameBytes)
{
    TakeReadings({440.0f, 466.5f, 493.0f}, {440.2f, 415.0f});
    Answer("first");
    Form1->N10->trigger();
    const QStringList treble = Lines(Form4->ListBox1);
    const QStringList bass = Lines(Form4->ListBox2);
    QTest::mouseClick(Form4->BitBtn1, Qt::LeftButton);

    Answer("first.qrv");
    Form1->N8->trigger();
    EXPECT_EQ(Lines(Form4->ListBox1), treble);
    EXPECT_EQ(Lines(Form4->ListBox2), bass);

    Answer("second");
    Form1->N10->trigger();
    EXPECT_EQ(Contents("second.qrv"), Contents("first.qrv"));
}

TEST_F(FileCommandsTest, SaveAfterOpeningWritesTheOpenedTableToTheCurrentName)
{
    Answer("b");
    Form1->N10->trigger();  // an empty table
    TakeReadings({440.0f, 470.0f}, {});
    ASSERT_TRUE(Form4->SaveTemperamentFile("c.qrv"));
    QTest::mouseClick(Form4->BitBtn1, Qt::LeftButton);

    Answer("c.qrv");
    QTest::mouseClick(Form1->ToolButton1, Qt::LeftButton);
    EXPECT_EQ(Form4->ListBox1->count(), 2);
    Form1->N9->trigger();
    EXPECT_EQ(Contents("b.qrv"), Contents("c.qrv"));
    EXPECT_EQ(shown.size(), 2u) << "Save asked nothing";
}

TEST_F(FileCommandsTest, SaveAfterOnlyOpeningAsksForAName)
{
    TakeReadings({440.0f}, {});
    ASSERT_TRUE(Form4->SaveTemperamentFile("c.qrv"));
    Answer("c.qrv");
    Form1->N8->trigger();
    Cancel();
    Form1->N9->trigger();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].name, "SaveDialog1");
    EXPECT_EQ(shown[1].offered, WorkingDirectory()) << "no name offered";
}

TEST_F(FileCommandsTest, OpenShowsTheManagerAndLeavesItsToggleAsItIs)
{
    Form1->N3->trigger();
    ASSERT_FALSE(Form4->isVisible());
    Cancel();
    Form1->N8->trigger();
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_FALSE(Form1->N3->isChecked());
    EXPECT_FALSE(Form1->ToolButton7->isChecked());

    // A refused file is still followed by the manager.
    Form1->N3->trigger();
    Form1->N3->trigger();
    Answer("missing");
    Form1->N8->trigger();
    EXPECT_TRUE(Form4->isVisible());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second, "此文件不是音律文件!");

    Cancel();
    Form1->N8->trigger();
    EXPECT_EQ(shown.back().offered, PathOf("missing.qrv")) << "the last confirmed name is offered again";
}

TEST_F(FileCommandsTest, ASaveThatCannotBeWrittenSaysSoAndKeepsTheCurrentName)
{
    TakeReadings({440.0f}, {});
    Answer("b");
    Form1->N10->trigger();
    const QByteArray saved = Contents("b.qrv");

    // b.qrv is a file, so nothing can be written below it.
    Answer("b.qrv/x.qrv");
    Form1->N10->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Error);
    EXPECT_EQ(messages[0].second, "无法保存音律文件“" + PathOf("b.qrv/x.qrv") + "”：文件夹不存在。");

    // The disk fills up half-way through the next save of b.qrv.
    Form4->AddReading(466.0f);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = 100;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    Form1->N9->trigger();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].second.contains(PathOf("b.qrv"))) << messages[1].second.toStdString();
    EXPECT_EQ(Contents("b.qrv"), saved) << "the old file is intact";
    EXPECT_EQ(QDir(WorkingDirectory()).entryList(QDir::Files | QDir::Hidden), QStringList{"b.qrv"});
    EXPECT_EQ(shown.size(), 2u) << "the current name survived the failed Save As";
}

TEST_F(FileCommandsTest, ChineseFileNamesSurvive)
{
    TakeReadings({440.0f}, {});
    Answer("调律");
    Form1->N10->trigger();
    EXPECT_EQ(Contents("调律.qrv").size(), 491);
    QTest::mouseClick(Form4->BitBtn1, Qt::LeftButton);
    Answer("调律.qrv");
    Form1->N8->trigger();
    EXPECT_EQ(Form4->ListBox1->count(), 1);
    EXPECT_TRUE(messages.empty());
}

// Without the test's answers the real dialog runs; a user types a name into it.
TEST_F(FileCommandsTest, TheRealDialogTakesATypedName)
{
    SetFileDialogHandler({});
    AnswerNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        // The name field, found by name rather than by focus, which a busy
        // machine may not have moved there yet.
        auto* typing = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(typing, nullptr);
        QTest::keyClicks(typing, "typed");
        QTest::keyClick(typing, Qt::Key_Return);
    });
    Form1->N10->trigger();
    EXPECT_EQ(Contents("typed.qrv").size(), 491);
}

}  // namespace
