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

#include "meter/Unit3.h"
#include "temperament/Unit4.h"
#include "temperament/core/TemperamentFile.h"
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
        Form4->AddReading(hz);
    }
}

void ChooseAdjustMode()
{
    Choose(Form4->CheckBox2);  // the input way opens with input from the pitch meter
    Choose(Form4->RadioGroup1Items->button(1));
    ASSERT_EQ(Form4->RadioGroup1ItemIndex(), 1);
}

TEST_F(TemperamentManagerTest, TheInputCheckBoxesSettleAfterOneExchange)
{
    // The pitch meter's half of the pair; a second, identical connection from
    // its own window changes nothing, since setting a box to the state it
    // has emits nothing.
    QObject::connect(Form3->CheckBox3, &QCheckBox::toggled, Form4, [](bool on) { Form4->CheckBox2->setChecked(on); });
    QSignalSpy managerBox(Form4->CheckBox2, &QCheckBox::toggled);
    QSignalSpy meterBox(Form3->CheckBox3, &QCheckBox::toggled);

    Choose(Form4->CheckBox2);
    EXPECT_TRUE(Form3->CheckBox3->isChecked());
    EXPECT_TRUE(Form4->RadioGroup1->isEnabled());
    Choose(Form3->CheckBox3);
    EXPECT_FALSE(Form4->CheckBox2->isChecked());
    EXPECT_FALSE(Form4->RadioGroup1->isEnabled());
    EXPECT_EQ(managerBox.count(), 2);
    EXPECT_EQ(meterBox.count(), 2);
}

TEST_F(TemperamentManagerTest, AdjustModeNeedsASelectedLineThenReplacesItKeepingTheSelection)
{
    Take(Form4->RadioButton2, {440.0f, 415.3f, 392.0f, 370.0f});
    ChooseAdjustMode();
    Form4->AddReading(400.0f);  // no line selected yet
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second, "没有选中要调整的低音记录，本次读数未记录。");
    ClickLine(Form4->ListBox2, 2);
    const std::vector<std::string> memoBefore = MemoLines(Form4->Memo1);

    Form4->AddReading(400.0f);

    EXPECT_THAT(ListLines(Form4->ListBox2),
                ElementsAre(StartsWith("0."), StartsWith("-1."), "-2.音高偏高！2.04音分", StartsWith("-3.")));
    EXPECT_EQ(Form4->ListBox2->SelectedPosition(), 2);
    EXPECT_EQ(MemoLines(Form4->Memo1), memoBefore) << "a reading does not refresh the memo";
    ClickLine(Form4->ListBox2, 2);  // the same line again, after measuring it anew
    EXPECT_EQ(MemoLines(Form4->Memo1)[1], "当前频率：400");
}

TEST_F(TemperamentManagerTest, TheChosenLineStaysSelected)
{
    Take(Form4->RadioButton1, {440.0f, 466.0f});
    EXPECT_EQ(Form4->ListBox1->visualItemRect(Form4->ListBox1->item(1)).top(), 13) << "rows of 13 pixels";
    ClickLine(Form4->ListBox1, 1);
    ClickLine(Form4->ListBox1, 1, Qt::ControlModifier);
    EXPECT_EQ(Form4->ListBox1->SelectedPosition(), 1) << "Ctrl+click does not deselect";
    QTest::mouseClick(Form4->ListBox1->viewport(), Qt::LeftButton, {}, QPoint(20, 120));
    EXPECT_EQ(Form4->ListBox1->SelectedPosition(), 1) << "nor does a click below the lines";
    QTest::keyClick(Form4->ListBox1, Qt::Key_Up);
    EXPECT_EQ(MemoLines(Form4->Memo1)[0], "半音序号:0") << "the keyboard shows details too";
}

TEST_F(TemperamentManagerTest, DetailsGoOnlyIntoMemoLinesThatExist)
{
    Take(Form4->RadioButton1, {440.0f});
    ClickLine(Form4->ListBox1, 0);
    EXPECT_THAT(MemoLines(Form4->Memo1),
                ElementsAre("半音序号:0", "当前频率：440", "标准频率：440", "偏差：0", "音程：1", "", "", ""));
    Form4->Memo1->setPlainText(QStringLiteral("x\ny"));
    ClickLine(Form4->ListBox1, 0);
    EXPECT_THAT(MemoLines(Form4->Memo1), ElementsAre("半音序号:0", "当前频率：440"));
}

TEST_F(TemperamentManagerTest, ClearingEmptiesBothListsAndTheNextReadingIsTheNewBase)
{
    Choose(Form4->CheckBox1);
    Take(Form4->RadioButton2, {261.6f});
    Take(Form4->RadioButton1, {277.2f});
    Choose(Form4->BitBtn1);
    EXPECT_EQ(Form4->ListBox2->count(), 0);
    Form4->AddReading(300.0f);
    EXPECT_THAT(ListLines(Form4->ListBox1), ElementsAre("0.音高正确！0.00音分"));
}

TEST_F(TemperamentManagerTest, ADirectionEnablesItsListWhileTheOtherKeepsItsLinesAndSelection)
{
    Take(Form4->RadioButton2, {440.0f, 415.3f, 392.0f});
    ClickLine(Form4->ListBox2, 2);
    Take(Form4->RadioButton1, {440.0f, 466.0f});
    ClickLine(Form4->ListBox1, 1);
    const std::vector<std::string> treble = ListLines(Form4->ListBox1);
    const std::vector<std::string> bass = ListLines(Form4->ListBox2);

    struct Row {
        QRadioButton* chosen;
        bool trebleEnabled, bassEnabled;
    };
    for (const Row& row : {Row{Form4->RadioButton2, false, true}, Row{Form4->RadioButton1, true, false},
                           Row{Form4->RadioButton2, false, true}}) {
        SCOPED_TRACE(row.chosen->text().toStdString());
        Choose(row.chosen);
        EXPECT_EQ(Form4->ListBox1->isEnabled(), row.trebleEnabled);
        EXPECT_EQ(Form4->ListBox2->isEnabled(), row.bassEnabled);
        EXPECT_EQ(ListLines(Form4->ListBox1), treble);
        EXPECT_EQ(ListLines(Form4->ListBox2), bass);
        EXPECT_EQ(Form4->ListBox1->SelectedPosition(), 1);
        EXPECT_EQ(Form4->ListBox2->SelectedPosition(), 2);
    }
}

TEST_F(TemperamentManagerTest, ClearingKeepsTheMemoAndTheSlotsSoASaveWritesEmptyCountersOverTheOldValues)
{
    Take(Form4->RadioButton2, {441.0f, 415.0f});
    Take(Form4->RadioButton1, {440.5f, 466.0f});
    ClickLine(Form4->ListBox1, 1);
    const std::vector<std::string> memo = MemoLines(Form4->Memo1);

    Choose(Form4->BitBtn1);
    EXPECT_EQ(Form4->ListBox1->count() + Form4->ListBox2->count(), 0);
    EXPECT_EQ(MemoLines(Form4->Memo1), memo);

    ASSERT_TRUE(Form4->SaveTemperamentFile("cleared.qrv"));
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
    Choose(Form4->CheckBox1);  // "指定标准音" unticked
    Take(Form4->RadioButton2, {440.0f});
    ChooseAdjustMode();

    Form4->LoadTemperamentFile("two-bass-three-treble.qrv");

    EXPECT_TRUE(messages.empty());
    EXPECT_THAT(ListLines(Form4->ListBox2), ElementsAre("0.音高正确！0.00音分", StartsWith("-1.")));
    EXPECT_THAT(ListLines(Form4->ListBox1), ElementsAre("0.音高偏低！-0.23音分", StartsWith("1."), StartsWith("2.")));
    EXPECT_EQ(Form4->RadioGroup1ItemIndex(), 0);
    EXPECT_TRUE(Form4->RadioButton1->isChecked());
    EXPECT_TRUE(Form4->ListBox1->isEnabled());
}

TEST_F(TemperamentManagerTest, ARefusedFileChangesNothing)
{
    Take(Form4->RadioButton1, {440.0f, 466.0f});
    Take(Form4->RadioButton2, {440.0f});
    ChooseAdjustMode();
    ASSERT_FALSE(tonarel::WriteTemperamentFile("upper.qrv", {}).has_value());
    QFile upper("upper.qrv");
    ASSERT_TRUE(upper.open(QIODevice::ReadWrite) && upper.write("QRV") == 3);  // the magic in upper case
    upper.close();
    ASSERT_EQ(mkfifo("pipe.qrv", 0600), 0);  // chosen in the Open dialog: no writer will ever come
    const std::vector<std::string> treble = ListLines(Form4->ListBox1);
    const std::vector<std::string> bass = ListLines(Form4->ListBox2);

    struct Row {
        const char* name;
        const char* message;
    };
    for (const Row row : {Row{"upper.qrv", "此文件不是音律文件!"}, Row{"missing.qrv", "此文件不是音律文件!"},
                          Row{"pipe.qrv", "此文件不是普通文件（而是管道或设备等），无法打开!"}}) {
        const char* name = row.name;
        messages.clear();
        Form4->LoadTemperamentFile(name);
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_EQ(messages[0].second, row.message);
        EXPECT_EQ(ListLines(Form4->ListBox1), treble);
        EXPECT_EQ(ListLines(Form4->ListBox2), bass);
        EXPECT_EQ(Form4->RadioGroup1ItemIndex(), 1);
        EXPECT_EQ(Form4->Table().TrebleCount(), 2);
    }
}

TEST_F(TemperamentManagerTest, TheReferenceFieldFollowsItsBoxAndTakesOnlyDigitsAndBackspace)
{
    EXPECT_FALSE(Form4->Edit1->isEnabled()) << "no handler may run while the window is built";
    Choose(Form4->CheckBox1);
    Choose(Form4->CheckBox1);
    ASSERT_TRUE(Form4->Edit1->isEnabled());
    QTest::keyClicks(Form4->Edit1, "a1");
    EXPECT_EQ(Form4->Edit1->text(), "440") << "read-only";
    // Writable for a moment, to see which keys get through the filter.
    Form4->Edit1->setReadOnly(false);
    Form4->Edit1->end(false);
    QTest::keyClicks(Form4->Edit1, "a1-.");
    QTest::keyClick(Form4->Edit1, Qt::Key_Backspace);
    QTest::keyClick(Form4->Edit1, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Form4->Edit1->text(), "440");
    EXPECT_EQ(Form4->Edit1->selectedText(), "440") << "shortcuts pass";
}

TEST_F(TemperamentManagerTest, F1OpensTheManagersHelpTopic)
{
    Activate(Form4);
    QTest::keyClick(Form4, Qt::Key_F1);
    ASSERT_EQ(help->requests.size(), 1u);
    EXPECT_EQ(help->requests[0].contextNumber, 5u);
}

}  // namespace
