#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <initializer_list>
#include <string>
#include <vector>

#include "meter/Unit3.h"
#include "temperament/TemperamentFile.h"
#include "temperament/Unit4.h"
#include "tests/support/WindowSetTest.h"

namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

class TemperamentManagerTest : public WindowSetTest {
protected:
    static std::vector<std::string> Lines(const QListWidget* list)
    {
        std::vector<std::string> lines;
        for (int row = 0; row < list->count(); ++row) {
            lines.push_back(list->item(row)->text().toStdString());
        }
        return lines;
    }

    static std::vector<std::string> MemoLines()
    {
        std::vector<std::string> lines;
        for (const QString& line : Form4->Memo1->toPlainText().split(QLatin1Char('\n'))) {
            lines.push_back(line.toStdString());
        }
        return lines;
    }

    static void ClickLine(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(list->item(row)).center());
    }

    // Clicks where the box or the round button is drawn.
    static void Choose(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(7, button->height() / 2));
    }

    static void TakeBass(std::initializer_list<float> readings)
    {
        Form4->RadioButton2->setChecked(true);
        for (float hz : readings) {
            Form4->AddReading(hz);
        }
    }

    static void TakeTreble(std::initializer_list<float> readings)
    {
        Form4->RadioButton1->setChecked(true);
        for (float hz : readings) {
            Form4->AddReading(hz);
        }
    }

    static void ChooseAdjustMode()
    {
        Choose(Form4->CheckBox2);  // the input way opens with input from the pitch meter
        Choose(Form4->RadioGroup1Items->button(1));
        ASSERT_EQ(Form4->RadioGroup1ItemIndex(), 1);
    }

    static void WriteFile(const QString& name, const tonarel::TemperamentFileContents& contents)
    {
        const tonarel::TemperamentFileBytes bytes = tonarel::EncodeTemperamentFile(contents);
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
};

TEST_F(TemperamentManagerTest, StartsInItsDesignStates)
{
    EXPECT_TRUE(Form4->ListBox1->isEnabled());
    EXPECT_FALSE(Form4->ListBox2->isEnabled());
    EXPECT_TRUE(Form4->CheckBox1->isChecked());
    EXPECT_FALSE(Form4->Edit1->isEnabled()) << "no handler may run while the window is built";
    EXPECT_FALSE(Form4->RadioGroup1->isEnabled());
    EXPECT_EQ(Form4->RadioGroup1ItemIndex(), 0);
    EXPECT_EQ(Form4->Memo1->document()->blockCount(), 8);
    EXPECT_GE(Form4->BitBtn1->geometry().bottom() + 1, 419);
    EXPECT_LE(Form4->BitBtn1->geometry().bottom() + 1, Form4->height()) << "清空记录 is not cut off";

    TakeTreble({440.0f, 466.0f});
    EXPECT_EQ(Form4->ListBox1->visualItemRect(Form4->ListBox1->item(1)).top() -
                  Form4->ListBox1->visualItemRect(Form4->ListBox1->item(0)).top(),
              13);

    Choose(Form4->CheckBox1);
    Choose(Form4->CheckBox1);
    EXPECT_TRUE(Form4->Edit1->isEnabled()) << "after its first change the field follows the box";
}

TEST_F(TemperamentManagerTest, TheInputCheckBoxesSettleAfterOneExchange)
{
    // The pitch meter's half of the pair, as its window sets it up.
    QObject::connect(Form3->CheckBox3, &QCheckBox::toggled, Form4, [](bool on) { Form4->CheckBox2->setChecked(on); });
    QSignalSpy managerBox(Form4->CheckBox2, &QCheckBox::toggled);
    QSignalSpy meterBox(Form3->CheckBox3, &QCheckBox::toggled);

    Choose(Form4->CheckBox2);
    EXPECT_TRUE(Form3->CheckBox3->isChecked());
    EXPECT_TRUE(Form4->RadioGroup1->isEnabled());
    EXPECT_EQ(managerBox.count(), 1);
    EXPECT_EQ(meterBox.count(), 1);

    Choose(Form3->CheckBox3);
    EXPECT_FALSE(Form4->CheckBox2->isChecked());
    EXPECT_FALSE(Form4->RadioGroup1->isEnabled());
    EXPECT_EQ(managerBox.count(), 2);
    EXPECT_EQ(meterBox.count(), 2);
}

TEST_F(TemperamentManagerTest, AdjustModeReplacesTheSelectedLineKeepsTheSelectionAndMemo)
{
    TakeBass({440.0f, 415.3f, 392.0f, 370.0f});
    ClickLine(Form4->ListBox2, 2);
    const std::vector<std::string> memoBefore = MemoLines();
    EXPECT_EQ(memoBefore[0], "半音序号:-2");
    ChooseAdjustMode();

    Form4->AddReading(400.0f);

    const std::vector<std::string> bass = Lines(Form4->ListBox2);
    ASSERT_EQ(bass.size(), 4u);
    EXPECT_EQ(bass[2], "-2.音高偏高！2.04音分");
    EXPECT_EQ(Form4->ListBox2->SelectedPosition(), 2);
    EXPECT_EQ(Form4->Table().BassCursor(), 64);
    EXPECT_EQ(MemoLines(), memoBefore) << "a reading does not refresh the memo";

    ClickLine(Form4->ListBox2, 2);  // the same line again, after measuring it anew
    EXPECT_EQ(MemoLines()[1], "当前频率：400");
}

TEST_F(TemperamentManagerTest, AReadingThatCannotBeTakenIsExplainedAndChangesNothing)
{
    TakeTreble({440.0f, 466.0f});
    ChooseAdjustMode();  // but no line is selected

    Form4->AddReading(441.0f);

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Warning);
    EXPECT_EQ(messages[0].second, "没有选中要调整的高音记录，本次读数未记录。");
    EXPECT_EQ(Lines(Form4->ListBox1).size(), 2u);
    EXPECT_EQ(Form4->Table().MeasuredTable()[0], 440.0f);
}

TEST_F(TemperamentManagerTest, TheChosenLineStaysSelected)
{
    TakeTreble({440.0f, 466.0f});
    ClickLine(Form4->ListBox1, 1);
    ClickLine(Form4->ListBox1, 1, Qt::ControlModifier);
    EXPECT_EQ(Form4->ListBox1->SelectedPosition(), 1) << "Ctrl+click does not deselect";
    QTest::mouseClick(Form4->ListBox1->viewport(), Qt::LeftButton, {}, QPoint(20, 120));
    EXPECT_EQ(Form4->ListBox1->SelectedPosition(), 1) << "nor does a click below the lines";
    QTest::keyClick(Form4->ListBox1, Qt::Key_Up);
    EXPECT_EQ(Form4->ListBox1->SelectedPosition(), 0);
    EXPECT_EQ(MemoLines()[0], "半音序号:0") << "the keyboard shows details too";
}

TEST_F(TemperamentManagerTest, DetailsGoOnlyIntoMemoLinesThatExist)
{
    TakeTreble({440.0f});
    Form4->Memo1->setPlainText(QStringLiteral("\n\n\n\n\n\n备注\n"));
    ClickLine(Form4->ListBox1, 0);
    EXPECT_THAT(MemoLines(), ElementsAre("半音序号:0", "当前频率：440", "标准频率：440", "偏差：0", "音程：1", "",
                                         "备注", ""));

    Form4->Memo1->setPlainText(QStringLiteral("x\ny"));
    ClickLine(Form4->ListBox1, 0);
    EXPECT_THAT(MemoLines(), ElementsAre("半音序号:0", "当前频率：440"));
}

TEST_F(TemperamentManagerTest, ClearingEmptiesTheListsKeepsTheMemoAndStartsANewScale)
{
    Choose(Form4->CheckBox1);  // the first reading becomes the base
    TakeTreble({261.6f, 277.2f});
    ClickLine(Form4->ListBox1, 1);
    const std::vector<std::string> memo = MemoLines();

    Choose(Form4->BitBtn1);
    EXPECT_EQ(Form4->ListBox1->count(), 0);
    EXPECT_EQ(Form4->ListBox2->count(), 0);
    EXPECT_EQ(MemoLines(), memo);

    Form4->AddReading(300.0f);
    EXPECT_THAT(Lines(Form4->ListBox1), ElementsAre("0.音高正确！0.00音分"));
    EXPECT_EQ(Form4->Table().StandardTable()[0], 300.0f);
}

TEST_F(TemperamentManagerTest, LoadReplaysBassFirstOnItsBaseAndEndsInTrebleInputMode)
{
    tonarel::TemperamentFileContents contents;
    contents.trebleCount = 3;
    contents.bassCursor = 62;
    contents.measured[0] = 436.0f;
    contents.measured[1] = 462.0f;
    contents.measured[2] = 489.5f;
    contents.measured[60] = 437.0f;
    contents.measured[61] = 412.0f;
    WriteFile("two-bass-three-treble.qrv", contents);
    Choose(Form4->CheckBox1);
    TakeBass({440.0f});
    ChooseAdjustMode();

    Form4->LoadTemperamentFile("two-bass-three-treble.qrv");

    EXPECT_TRUE(messages.empty());
    EXPECT_THAT(Lines(Form4->ListBox2), ElementsAre("0.音高正确！0.00音分", StartsWith("-1.")));
    EXPECT_THAT(Lines(Form4->ListBox1), ElementsAre("0.音高偏低！-0.23音分", StartsWith("1."), StartsWith("2.")));
    EXPECT_EQ(Form4->RadioGroup1ItemIndex(), 0);
    EXPECT_TRUE(Form4->RadioButton1->isChecked());
    EXPECT_TRUE(Form4->ListBox1->isEnabled());
    EXPECT_FALSE(Form4->ListBox2->isEnabled());
}

TEST_F(TemperamentManagerTest, ARefusedFileChangesNothing)
{
    TakeTreble({440.0f, 466.0f});
    TakeBass({440.0f});
    ChooseAdjustMode();
    ClickLine(Form4->ListBox2, 0);
    tonarel::TemperamentFileBytes upperCase = tonarel::EncodeTemperamentFile({});
    upperCase[0] = 'Q', upperCase[1] = 'R', upperCase[2] = 'V';
    QFile file("upper.qrv");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(upperCase.data()), static_cast<qint64>(upperCase.size()));
    file.close();
    const std::vector<std::string> treble = Lines(Form4->ListBox1);
    const std::vector<std::string> bass = Lines(Form4->ListBox2);

    for (const char* name : {"upper.qrv", "missing.qrv"}) {
        messages.clear();
        Form4->LoadTemperamentFile(name);
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_EQ(messages[0].second, "此文件不是音律文件!");
        EXPECT_EQ(Lines(Form4->ListBox1), treble);
        EXPECT_EQ(Lines(Form4->ListBox2), bass);
        EXPECT_EQ(Form4->ListBox2->SelectedPosition(), 0);
        EXPECT_TRUE(Form4->RadioButton2->isChecked());
        EXPECT_EQ(Form4->RadioGroup1ItemIndex(), 1);
        EXPECT_EQ(Form4->Table().TrebleCount(), 2);
    }
}

TEST_F(TemperamentManagerTest, TheReferenceFieldTakesOnlyDigitsAndBackspace)
{
    Choose(Form4->CheckBox1);
    Choose(Form4->CheckBox1);
    Form4->Edit1->setFocus();
    QTest::keyClicks(Form4->Edit1, "a1");
    EXPECT_EQ(Form4->Edit1->text(), "440") << "read-only";

    // Writable for a moment, to see which keys get through the filter.
    Form4->Edit1->setReadOnly(false);
    Form4->Edit1->end(false);
    QTest::keyClicks(Form4->Edit1, "a1-.");
    EXPECT_EQ(Form4->Edit1->text(), "4401");
    QTest::keyClick(Form4->Edit1, Qt::Key_Backspace);
    EXPECT_EQ(Form4->Edit1->text(), "440");
    QTest::keyClick(Form4->Edit1, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Form4->Edit1->selectedText(), "440") << "shortcuts pass";
}

TEST_F(TemperamentManagerTest, F1OpensTheManagersHelpTopic)
{
    Activate(Form4);
    QTest::keyClick(Form4, Qt::Key_F1);
    ASSERT_EQ(help->requests.size(), 1u);
    EXPECT_EQ(help->requests[0].kind, HelpViewerStandIn::Request::Kind::Context);
    EXPECT_EQ(help->requests[0].contextNumber, 5u);
}

}  // namespace
