#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "meter/PitchMeterWindow.h"
#include "shell/ApplicationWindows.h"
#include "temperament/core/TemperamentFile.h"
#include "temperament/TemperamentManagerWindow.h"
#include "tests/support/WidgetTexts.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

using tonarel::test::ListLines;
using tonarel::test::MemoLines;

using TemperamentManagerTest = WindowSetTest;

void ClickLine(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(list->item(row)).center());
}

// Clicks where the box or the round button is drawn.
void Choose(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(7, 8));
}

void Take(QRadioButton* direction, std::initializer_list<float> readings)
{
    direction->setChecked(true);
    for (float hz : readings) {
        Windows().temperamentManager->AddReading(hz);
    }
}

void ChooseAdjustMode()
{
    Choose(Windows().temperamentManager->inputFromMeterBox);  // the input way opens with input from the pitch meter
    Choose(Windows().temperamentManager->inputModeItems->button(1));
    ASSERT_EQ(Windows().temperamentManager->InputModeIndex(), 1);
}

TEST_F(TemperamentManagerTest, TheInputCheckBoxesSettleAfterOneExchange)
{
    // The pitch meter's half of the pair; a second, identical connection from
    // its own window changes nothing, since setting a box to the state it
    // has emits nothing.
    QObject::connect(Windows().pitchMeter->forwardBox, &QCheckBox::toggled, Windows().temperamentManager, [](bool on) { Windows().temperamentManager->inputFromMeterBox->setChecked(on); });
    QSignalSpy managerBox(Windows().temperamentManager->inputFromMeterBox, &QCheckBox::toggled);
    QSignalSpy meterBox(Windows().pitchMeter->forwardBox, &QCheckBox::toggled);

    Choose(Windows().temperamentManager->inputFromMeterBox);
    EXPECT_TRUE(Windows().pitchMeter->forwardBox->isChecked());
    EXPECT_TRUE(Windows().temperamentManager->inputModeGroup->isEnabled());
    Choose(Windows().pitchMeter->forwardBox);
    EXPECT_FALSE(Windows().temperamentManager->inputFromMeterBox->isChecked());
    EXPECT_FALSE(Windows().temperamentManager->inputModeGroup->isEnabled());
    EXPECT_EQ(managerBox.count(), 2);
    EXPECT_EQ(meterBox.count(), 2);
}

TEST_F(TemperamentManagerTest, AdjustModeNeedsASelectedLineThenReplacesItKeepingTheSelection)
{
    Take(Windows().temperamentManager->bassButton, {440.0f, 415.3f, 392.0f, 370.0f});
    ChooseAdjustMode();
    Windows().temperamentManager->AddReading(400.0f);  // no line selected yet
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second, "没有选中要调整的低音记录，本次读数未记录。");
    ClickLine(Windows().temperamentManager->bassList, 2);
    const std::vector<std::string> memoBefore = MemoLines(Windows().temperamentManager->detailsMemo);

    Windows().temperamentManager->AddReading(400.0f);

    EXPECT_THAT(ListLines(Windows().temperamentManager->bassList),
                ElementsAre(StartsWith("0."), StartsWith("-1."), "-2.音高偏高！2.04音分", StartsWith("-3.")));
    EXPECT_EQ(Windows().temperamentManager->bassList->SelectedPosition(), 2);
    EXPECT_EQ(MemoLines(Windows().temperamentManager->detailsMemo), memoBefore) << "a reading does not refresh the memo";
    ClickLine(Windows().temperamentManager->bassList, 2);  // the same line again, after measuring it anew
    EXPECT_EQ(MemoLines(Windows().temperamentManager->detailsMemo)[1], "当前频率：400");
}

TEST_F(TemperamentManagerTest, TheChosenLineStaysSelected)
{
    Take(Windows().temperamentManager->trebleButton, {440.0f, 466.0f});
    EXPECT_EQ(Windows().temperamentManager->trebleList->visualItemRect(Windows().temperamentManager->trebleList->item(1)).top(), 13) << "rows of 13 pixels";
    ClickLine(Windows().temperamentManager->trebleList, 1);
    ClickLine(Windows().temperamentManager->trebleList, 1, Qt::ControlModifier);
    EXPECT_EQ(Windows().temperamentManager->trebleList->SelectedPosition(), 1) << "Ctrl+click does not deselect";
    QTest::mouseClick(Windows().temperamentManager->trebleList->viewport(), Qt::LeftButton, {}, QPoint(20, 120));
    EXPECT_EQ(Windows().temperamentManager->trebleList->SelectedPosition(), 1) << "nor does a click below the lines";
    QTest::keyClick(Windows().temperamentManager->trebleList, Qt::Key_Up);
    EXPECT_EQ(MemoLines(Windows().temperamentManager->detailsMemo)[0], "半音序号:0") << "the keyboard shows details too";
}

TEST_F(TemperamentManagerTest, DetailsGoOnlyIntoMemoLinesThatExist)
{
    Take(Windows().temperamentManager->trebleButton, {440.0f});
    ClickLine(Windows().temperamentManager->trebleList, 0);
    EXPECT_THAT(MemoLines(Windows().temperamentManager->detailsMemo),
                ElementsAre("半音序号:0", "当前频率：440", "标准频率：440", "偏差：0", "音程：1", "", "", ""));
    Windows().temperamentManager->detailsMemo->setPlainText(QStringLiteral("x\ny"));
    ClickLine(Windows().temperamentManager->trebleList, 0);
    EXPECT_THAT(MemoLines(Windows().temperamentManager->detailsMemo), ElementsAre("半音序号:0", "当前频率：440"));
}

TEST_F(TemperamentManagerTest, ClearingEmptiesBothListsAndTheNextReadingIsTheNewBase)
{
    Choose(Windows().temperamentManager->fixedReferenceBox);
    Take(Windows().temperamentManager->bassButton, {261.6f});
    Take(Windows().temperamentManager->trebleButton, {277.2f});
    AnswerNextQuestion("不保存");  // the readings were never saved
    Choose(Windows().temperamentManager->clearButton);
    EXPECT_EQ(Windows().temperamentManager->bassList->count(), 0);
    Windows().temperamentManager->AddReading(300.0f);
    EXPECT_THAT(ListLines(Windows().temperamentManager->trebleList), ElementsAre("0.音高正确！0.00音分"));
}

TEST_F(TemperamentManagerTest, ADirectionEnablesItsListWhileTheOtherKeepsItsLinesAndSelection)
{
    Take(Windows().temperamentManager->bassButton, {440.0f, 415.3f, 392.0f});
    ClickLine(Windows().temperamentManager->bassList, 2);
    Take(Windows().temperamentManager->trebleButton, {440.0f, 466.0f});
    ClickLine(Windows().temperamentManager->trebleList, 1);
    const std::vector<std::string> treble = ListLines(Windows().temperamentManager->trebleList);
    const std::vector<std::string> bass = ListLines(Windows().temperamentManager->bassList);

    struct Row {
        QRadioButton* chosen;
        bool trebleEnabled, bassEnabled;
    };
    for (const Row& row : {Row{Windows().temperamentManager->bassButton, false, true}, Row{Windows().temperamentManager->trebleButton, true, false},
                           Row{Windows().temperamentManager->bassButton, false, true}}) {
        SCOPED_TRACE(row.chosen->text().toStdString());
        Choose(row.chosen);
        EXPECT_EQ(Windows().temperamentManager->trebleList->isEnabled(), row.trebleEnabled);
        EXPECT_EQ(Windows().temperamentManager->bassList->isEnabled(), row.bassEnabled);
        EXPECT_EQ(ListLines(Windows().temperamentManager->trebleList), treble);
        EXPECT_EQ(ListLines(Windows().temperamentManager->bassList), bass);
        EXPECT_EQ(Windows().temperamentManager->trebleList->SelectedPosition(), 1);
        EXPECT_EQ(Windows().temperamentManager->bassList->SelectedPosition(), 2);
    }
}

TEST_F(TemperamentManagerTest, ClearingKeepsTheMemoAndTheSlotsSoASaveWritesEmptyCountersOverTheOldValues)
{
    Take(Windows().temperamentManager->bassButton, {441.0f, 415.0f});
    Take(Windows().temperamentManager->trebleButton, {440.5f, 466.0f});
    ClickLine(Windows().temperamentManager->trebleList, 1);
    const std::vector<std::string> memo = MemoLines(Windows().temperamentManager->detailsMemo);

    AnswerNextQuestion("不保存");  // the readings were never saved
    Choose(Windows().temperamentManager->clearButton);
    EXPECT_EQ(Windows().temperamentManager->trebleList->count() + Windows().temperamentManager->bassList->count(), 0);
    EXPECT_EQ(MemoLines(Windows().temperamentManager->detailsMemo), memo);

    ASSERT_TRUE(Windows().temperamentManager->SaveTemperamentFile("cleared.qrv"));
    const std::optional<tonarel::TemperamentFileContents> saved = tonarel::ReadTemperamentFile("cleared.qrv");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->trebleCount, 0);
    EXPECT_EQ(saved->bassCursor, 60);
    EXPECT_EQ(std::vector<float>({saved->measured[0], saved->measured[1], saved->measured[60], saved->measured[61]}),
              std::vector<float>({440.5f, 466.0f, 441.0f, 415.0f}));
}

TEST_F(TemperamentManagerTest, ALoadIsJudgedOnItsOwnBassReferenceAndEndsInTrebleInput)
{
    tonarel::TemperamentFileContents contents{3, 62, {436.0f, 462.0f, 489.5f}};
    contents.measured[60] = 437.0f;
    contents.measured[61] = 412.0f;
    ASSERT_FALSE(tonarel::WriteTemperamentFile("two-bass-three-treble.qrv", contents).has_value());
    Choose(Windows().temperamentManager->fixedReferenceBox);  // "指定标准音" unticked
    Take(Windows().temperamentManager->bassButton, {440.0f});
    ChooseAdjustMode();

    Windows().temperamentManager->LoadTemperamentFile("two-bass-three-treble.qrv");

    EXPECT_TRUE(messages.empty());
    EXPECT_THAT(ListLines(Windows().temperamentManager->bassList), ElementsAre("0.音高正确！0.00音分", StartsWith("-1.")));
    EXPECT_THAT(ListLines(Windows().temperamentManager->trebleList), ElementsAre("0.音高偏低！-0.23音分", StartsWith("1."), StartsWith("2.")));
    EXPECT_EQ(Windows().temperamentManager->InputModeIndex(), 0);
    EXPECT_TRUE(Windows().temperamentManager->trebleButton->isChecked());
    EXPECT_TRUE(Windows().temperamentManager->trebleList->isEnabled());
}

TEST_F(TemperamentManagerTest, ARefusedFileChangesNothing)
{
    Take(Windows().temperamentManager->trebleButton, {440.0f, 466.0f});
    Take(Windows().temperamentManager->bassButton, {440.0f});
    ChooseAdjustMode();
    ASSERT_FALSE(tonarel::WriteTemperamentFile("upper.qrv", {}).has_value());
    QFile upper("upper.qrv");
    ASSERT_TRUE(upper.open(QIODevice::ReadWrite) && upper.write("QRV") == 3);  // the magic in upper case
    upper.close();
    ASSERT_EQ(mkfifo("pipe.qrv", 0600), 0);  // chosen in the Open dialog: no writer will ever come
    const std::vector<std::string> treble = ListLines(Windows().temperamentManager->trebleList);
    const std::vector<std::string> bass = ListLines(Windows().temperamentManager->bassList);

    struct Row {
        const char* name;
        const char* message;
    };
    for (const Row row : {Row{"upper.qrv", "此文件不是音律文件!"}, Row{"missing.qrv", "此文件不是音律文件!"},
                          Row{"pipe.qrv", "此文件不是普通文件（而是管道或设备等），无法打开!"}}) {
        const char* name = row.name;
        messages.clear();
        Windows().temperamentManager->LoadTemperamentFile(name);
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_EQ(messages[0].second, row.message);
        EXPECT_EQ(ListLines(Windows().temperamentManager->trebleList), treble);
        EXPECT_EQ(ListLines(Windows().temperamentManager->bassList), bass);
        EXPECT_EQ(Windows().temperamentManager->InputModeIndex(), 1);
        EXPECT_EQ(SavedTable().trebleCount, 2);
    }
}

TEST_F(TemperamentManagerTest, TheReferenceFieldFollowsItsBoxAndTakesOnlyDigitsAndBackspace)
{
    EXPECT_FALSE(Windows().temperamentManager->referencePitchField->isEnabled()) << "no handler may run while the window is built";
    Choose(Windows().temperamentManager->fixedReferenceBox);
    Choose(Windows().temperamentManager->fixedReferenceBox);
    ASSERT_TRUE(Windows().temperamentManager->referencePitchField->isEnabled());
    QTest::keyClicks(Windows().temperamentManager->referencePitchField, "a1");
    EXPECT_EQ(Windows().temperamentManager->referencePitchField->text(), "440") << "read-only";
    // Writable for a moment, to see which keys get through the filter.
    Windows().temperamentManager->referencePitchField->setReadOnly(false);
    Windows().temperamentManager->referencePitchField->end(false);
    QTest::keyClicks(Windows().temperamentManager->referencePitchField, "a1-.");
    QTest::keyClick(Windows().temperamentManager->referencePitchField, Qt::Key_Backspace);
    QTest::keyClick(Windows().temperamentManager->referencePitchField, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Windows().temperamentManager->referencePitchField->text(), "440");
    EXPECT_EQ(Windows().temperamentManager->referencePitchField->selectedText(), "440") << "shortcuts pass";
}

TEST_F(TemperamentManagerTest, F1OpensTheManagersHelpTopic)
{
    Activate(Windows().temperamentManager);
    QTest::keyClick(Windows().temperamentManager, Qt::Key_F1);
    ASSERT_EQ(help->requests.size(), 1u);
    EXPECT_EQ(help->requests[0].contextNumber, 5u);
}

}  // namespace
