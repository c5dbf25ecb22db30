// Every text the design gives the windows, character for character: menu
// captions, hints, the labels with their trailing blanks, and the file
// dialogs' filter. A half-width parenthesis or colon where the design has a
// full-width one (or the other way round), or a blank too few, fails here.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "meter/Unit3.h"
#include "scope/Unit2.h"
#include "shell/AboutBox.h"
#include "shell/Unit1.h"
#include "temperament/Unit4.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

using DesignTextsTest = WindowSetTest;

struct DesignText {
    const char* where;
    std::function<QString()> shown;
    QString text;
};

/// The captions of the labels in `group`, top to bottom and left to right
/// (the pitch meter's caption labels have no names of their own).
QStringList LabelTexts(const QWidget* group)
{
    std::vector<const QLabel*> labels;
    for (const QLabel* label : group->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        labels.push_back(label);
    }
    std::sort(labels.begin(), labels.end(), [](const QLabel* a, const QLabel* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    QStringList texts;
    for (const QLabel* label : labels) {
        texts << label->text();
    }
    return texts;
}

QString Blanks(int count)
{
    return QString(count, QLatin1Char(' '));
}

TEST_F(DesignTextsTest, EveryTextIsTheDesignsToTheLastBlank)
{
    const DesignText texts[] = {
        // The main window: menu captions ("退出（&E）" alone has full-width parentheses).
        {"Form1 caption", [] { return Form1->windowTitle(); }, "Tonarel 1.0 (BETA)"},
        {"N7", [] { return Form1->N7->text(); }, "文件(&F)"},
        {"N8", [] { return Form1->N8->text(); }, "打开(&O)"},
        {"N9", [] { return Form1->N9->text(); }, "保存(&S)"},
        {"N10", [] { return Form1->N10->text(); }, "保存为(&A)"},
        {"E1", [] { return Form1->E1->text(); }, "退出（&E）"},
        {"N1", [] { return Form1->N1->text(); }, "窗口(&W)"},
        {"G1", [] { return Form1->G1->text(); }, "示波器(&G)"},
        {"N2", [] { return Form1->N2->text(); }, "音准仪(&Y)"},
        {"N3", [] { return Form1->N3->text(); }, "音律管理器(&M)"},
        {"N4", [] { return Form1->N4->text(); }, "帮助(&H)"},
        {"N6", [] { return Form1->N6->text(); }, "帮助主题(&H)"},
        {"N5", [] { return Form1->N5->text(); }, "关于(&A)"},
        // The file dialogs: the filter "音律文件(*.qrv)|*.qrv" and the suffix.
        {"OpenDialog1 filter", [] { return Form1->OpenDialog1->nameFilters().join('|'); }, "音律文件(*.qrv)"},
        {"SaveDialog1 filter", [] { return Form1->SaveDialog1->nameFilters().join('|'); }, "音律文件(*.qrv)"},
        {"OpenDialog1 suffix", [] { return Form1->OpenDialog1->defaultSuffix(); }, "qrv"},
        {"SaveDialog1 suffix", [] { return Form1->SaveDialog1->defaultSuffix(); }, "qrv"},

        // The oscilloscope.
        {"Form2 caption", [] { return Form2->windowTitle(); }, "示波器"},
        {"Form2 Label1", [] { return Form2->Label1->text(); }, "波形长度（毫秒）：" + Blanks(2)},
        {"Form2 BitBtn1", [] { return Form2->BitBtn1->text(); }, "重画"},
        {"Form2 CheckBox1", [] { return Form2->CheckBox1->text(); }, "自动重画"},

        // The pitch meter: captions beside the values ("偏差(音分)：" alone
        // has half-width parentheses), the options and the buttons.
        {"Form3 caption", [] { return Form3->windowTitle(); }, "音准仪"},
        {"GroupBox1", [] { return Form3->GroupBox1->title(); }, "显示数据"},
        {"GroupBox1 labels", [] { return LabelTexts(Form3->GroupBox1).join('|'); },
         "录音时间（毫秒）：|0|信/噪比：|0|音高（赫兹）：|0|半音序号：|0|偏差(音分)：|0"},
        {"Label3 hint", [] { return Form3->Label3->toolTip(); }, "声音的频率"},
        {"Label7 hint", [] { return Form3->Label7->toolTip(); },
         "音高相对于标准音的半音个数，440MZ为0，高音第一个半音为1，低音为-1，依次类推"},
        {"Label10 hint", [] { return Form3->Label10->toolTip(); }, "相对于半音序号偏差音分，正为偏高，负为偏低"},
        {"GroupBox2", [] { return Form3->GroupBox2->title(); }, "选项"},
        {"GroupBox2 hint", [] { return Form3->GroupBox2->toolTip(); }, "一般不要自行设置"},
        {"Form3 CheckBox1", [] { return Form3->CheckBox1->text(); }, "自动侦测"},
        {"Form3 CheckBox2", [] { return Form3->CheckBox2->text(); }, "自动侦测"},
        {"LabeledEdit1 label", [] { return Form3->LabeledEdit1->EditLabel->text(); }, "声音片段长度（毫秒）" + Blanks(2)},
        {"LabeledEdit1", [] { return Form3->LabeledEdit1->text(); }, "1000"},
        {"LabeledEdit2 label", [] { return Form3->LabeledEdit2->EditLabel->text(); }, "信噪比" + Blanks(4)},
        {"LabeledEdit2", [] { return Form3->LabeledEdit2->text(); }, "10"},
        {"Label11", [] { return Form3->Label11->text(); }, "信噪比除数：" + Blanks(2)},
        {"Form3 Edit1", [] { return Form3->Edit1->text(); }, "4"},
        {"TrackBar1 hint", [] { return Form3->TrackBar1->toolTip(); }, "除数越小，精度越高，音色较杂时不应设得太小"},
        {"Button1", [] { return Form3->Button1->text(); }, "开始录音"},
        {"Button1 hint", [] { return Form3->Button1->toolTip(); }, "按下一秒后输入声音"},
        {"BitBtn2", [] { return Form3->BitBtn2->text(); }, "刷新"},
        {"BitBtn2 hint", [] { return Form3->BitBtn2->toolTip(); }, "重新分析音律数据"},
        {"Form3 CheckBox3", [] { return Form3->CheckBox3->text(); }, "输入到音律管理器" + Blanks(24)},
        {"Form3 CheckBox3 hint", [] { return Form3->CheckBox3->toolTip(); }, "把每次得到的音律数据输入到音律管理器统一管理"},

        // The temperament manager ("半音序号:" in its memo has an ASCII colon; see the memo tests).
        {"Form4 caption", [] { return Form4->windowTitle(); }, "音律管理器"},
        {"Form4 Edit1", [] { return Form4->Edit1->text(); }, "440"},
        {"Form4 CheckBox1", [] { return Form4->CheckBox1->text(); }, "指定标准音"},
        {"Form4 CheckBox1 hint", [] { return Form4->CheckBox1->toolTip(); },
         "固定音高的乐器适用，如各种键盘乐器，不指定时以输入的第一个音为标准"},
        {"RadioButton1", [] { return Form4->RadioButton1->text(); }, "高音"},
        {"RadioButton1 hint", [] { return Form4->RadioButton1->toolTip(); }, "从标准音(序号为0)开始依次输入高音部分"},
        {"RadioButton2", [] { return Form4->RadioButton2->text(); }, "低音"},
        {"RadioButton2 hint", [] { return Form4->RadioButton2->toolTip(); }, "从标准音(序号为0)开始依次输入低音部分"},
        {"Form4 CheckBox2", [] { return Form4->CheckBox2->text(); }, "从音准仪输入"},
        {"RadioGroup1", [] { return Form4->RadioGroup1->title(); }, "输入方式"},
        {"RadioGroup1 items", [] { return Form4->RadioGroup1Items->button(0)->text() + "|" + Form4->RadioGroup1Items->button(1)->text(); },
         "音律输入|音律调整"},
        {"RadioGroup1 hint", [] { return Form4->RadioGroup1->toolTip(); },
         "选择音律输入，一次输入一组连续的音律，然后选择音律调整，对其中不准确的进行调整"},
        {"Form4 BitBtn1", [] { return Form4->BitBtn1->text(); }, "清空记录"},
        {"Form4 BitBtn1 hint", [] { return Form4->BitBtn1->toolTip(); }, "清空记录前请注意保存"},
        {"Form4 Label1", [] { return Form4->Label1->text(); }, "详细情况：" + Blanks(2)},

        // The about box.
        {"AboutBox caption", [] { return AboutBox->windowTitle(); }, "About"},
        {"ProductName", [] { return AboutBox->ProductName->text(); }, "Tonarel"},
        {"Version", [] { return AboutBox->Version->text(); }, "Version : 1.0"},
        {"OKButton", [] { return AboutBox->OKButton->text(); }, "OK"},
    };
    for (const DesignText& row : texts) {
        EXPECT_EQ(row.shown().toStdString(), row.text.toStdString()) << row.where;
    }
}

}  // namespace
