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

#include "meter/PitchMeterWindow.h"
#include "scope/OscilloscopeWindow.h"
#include "shell/AboutBox.h"
#include "shell/ApplicationWindows.h"
#include "shell/MainWindow.h"
#include "temperament/TemperamentManagerWindow.h"
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
        {"Form1 caption", [] { return Windows().mainWindow->windowTitle(); }, "Tonarel 1.0 (BETA)"},
        {"N7", [] { return Windows().mainWindow->fileMenuItem->text(); }, "文件(&F)"},
        {"N8", [] { return Windows().mainWindow->openItem->text(); }, "打开(&O)"},
        {"N9", [] { return Windows().mainWindow->saveItem->text(); }, "保存(&S)"},
        {"N10", [] { return Windows().mainWindow->saveAsItem->text(); }, "保存为(&A)"},
        {"E1", [] { return Windows().mainWindow->exitItem->text(); }, "退出（&E）"},
        {"N1", [] { return Windows().mainWindow->windowMenuItem->text(); }, "窗口(&W)"},
        {"G1", [] { return Windows().mainWindow->oscilloscopeItem->text(); }, "示波器(&G)"},
        {"N2", [] { return Windows().mainWindow->pitchMeterItem->text(); }, "音准仪(&Y)"},
        {"N3", [] { return Windows().mainWindow->temperamentManagerItem->text(); }, "音律管理器(&M)"},
        {"N4", [] { return Windows().mainWindow->helpMenuItem->text(); }, "帮助(&H)"},
        {"N6", [] { return Windows().mainWindow->helpTopicsItem->text(); }, "帮助主题(&H)"},
        {"N5", [] { return Windows().mainWindow->aboutItem->text(); }, "关于(&A)"},
        // The file dialogs: the filter "音律文件(*.qrv)|*.qrv" and the suffix.
        {"OpenDialog1 filter", [] { return Windows().mainWindow->openDialog->nameFilters().join('|'); }, "音律文件(*.qrv)"},
        {"SaveDialog1 filter", [] { return Windows().mainWindow->saveDialog->nameFilters().join('|'); }, "音律文件(*.qrv)"},
        {"OpenDialog1 suffix", [] { return Windows().mainWindow->openDialog->defaultSuffix(); }, "qrv"},
        {"SaveDialog1 suffix", [] { return Windows().mainWindow->saveDialog->defaultSuffix(); }, "qrv"},

        // The oscilloscope.
        {"Form2 caption", [] { return Windows().oscilloscope->windowTitle(); }, "示波器"},
        {"Form2 Label1", [] { return Windows().oscilloscope->durationCaption->text(); }, "波形长度（毫秒）：" + Blanks(2)},
        {"Form2 BitBtn1", [] { return Windows().oscilloscope->redrawButton->text(); }, "重画"},
        {"Form2 CheckBox1", [] { return Windows().oscilloscope->autoRedrawBox->text(); }, "自动重画"},

        // The pitch meter: captions beside the values ("偏差(音分)：" alone
        // has half-width parentheses), the options and the buttons.
        {"Form3 caption", [] { return Windows().pitchMeter->windowTitle(); }, "音准仪"},
        {"GroupBox1", [] { return Windows().pitchMeter->displayGroup->title(); }, "显示数据"},
        {"GroupBox1 labels", [] { return LabelTexts(Windows().pitchMeter->displayGroup).join('|'); },
         "录音时间（毫秒）：|0|信/噪比：|0|音高（赫兹）：|0|半音序号：|0|偏差(音分)：|0"},
        {"Label3 hint", [] { return Windows().pitchMeter->frequencyValue->toolTip(); }, "声音的频率"},
        {"Label7 hint", [] { return Windows().pitchMeter->semitoneValue->toolTip(); },
         "音高相对于标准音的半音个数，440MZ为0，高音第一个半音为1，低音为-1，依次类推"},
        {"Label10 hint", [] { return Windows().pitchMeter->deviationValue->toolTip(); }, "相对于半音序号偏差音分，正为偏高，负为偏低"},
        {"GroupBox2", [] { return Windows().pitchMeter->optionsGroup->title(); }, "选项"},
        {"GroupBox2 hint", [] { return Windows().pitchMeter->optionsGroup->toolTip(); }, "一般不要自行设置"},
        {"Form3 CheckBox1", [] { return Windows().pitchMeter->autoSegmentBox->text(); }, "自动侦测"},
        {"Form3 CheckBox2", [] { return Windows().pitchMeter->autoSnrBox->text(); }, "自动侦测"},
        {"LabeledEdit1 label", [] { return Windows().pitchMeter->segmentField->EditLabel->text(); }, "声音片段长度（毫秒）" + Blanks(2)},
        {"LabeledEdit1", [] { return Windows().pitchMeter->segmentField->text(); }, "1000"},
        {"LabeledEdit2 label", [] { return Windows().pitchMeter->snrField->EditLabel->text(); }, "信噪比" + Blanks(4)},
        {"LabeledEdit2", [] { return Windows().pitchMeter->snrField->text(); }, "10"},
        {"Label11", [] { return Windows().pitchMeter->divisorCaption->text(); }, "信噪比除数：" + Blanks(2)},
        {"Form3 Edit1", [] { return Windows().pitchMeter->divisorField->text(); }, "4"},
        {"TrackBar1 hint", [] { return Windows().pitchMeter->divisorSlider->toolTip(); }, "除数越小，精度越高，音色较杂时不应设得太小"},
        {"Button1", [] { return Windows().pitchMeter->recordButton->text(); }, "开始录音"},
        {"Button1 hint", [] { return Windows().pitchMeter->recordButton->toolTip(); }, "按下一秒后输入声音"},
        {"BitBtn2", [] { return Windows().pitchMeter->refreshButton->text(); }, "刷新"},
        {"BitBtn2 hint", [] { return Windows().pitchMeter->refreshButton->toolTip(); }, "重新分析音律数据"},
        {"Form3 CheckBox3", [] { return Windows().pitchMeter->forwardBox->text(); }, "输入到音律管理器" + Blanks(24)},
        {"Form3 CheckBox3 hint", [] { return Windows().pitchMeter->forwardBox->toolTip(); }, "把每次得到的音律数据输入到音律管理器统一管理"},

        // The temperament manager ("半音序号:" in its memo has an ASCII colon; see the memo tests).
        {"Form4 caption", [] { return Windows().temperamentManager->windowTitle(); }, "音律管理器"},
        {"Form4 Edit1", [] { return Windows().temperamentManager->referencePitchField->text(); }, "440"},
        {"Form4 CheckBox1", [] { return Windows().temperamentManager->fixedReferenceBox->text(); }, "指定标准音"},
        {"Form4 CheckBox1 hint", [] { return Windows().temperamentManager->fixedReferenceBox->toolTip(); },
         "固定音高的乐器适用，如各种键盘乐器，不指定时以输入的第一个音为标准"},
        {"RadioButton1", [] { return Windows().temperamentManager->trebleButton->text(); }, "高音"},
        {"RadioButton1 hint", [] { return Windows().temperamentManager->trebleButton->toolTip(); }, "从标准音(序号为0)开始依次输入高音部分"},
        {"RadioButton2", [] { return Windows().temperamentManager->bassButton->text(); }, "低音"},
        {"RadioButton2 hint", [] { return Windows().temperamentManager->bassButton->toolTip(); }, "从标准音(序号为0)开始依次输入低音部分"},
        {"Form4 CheckBox2", [] { return Windows().temperamentManager->inputFromMeterBox->text(); }, "从音准仪输入"},
        {"RadioGroup1", [] { return Windows().temperamentManager->inputModeGroup->title(); }, "输入方式"},
        {"RadioGroup1 items", [] { return Windows().temperamentManager->inputModeItems->button(0)->text() + "|" + Windows().temperamentManager->inputModeItems->button(1)->text(); },
         "音律输入|音律调整"},
        {"RadioGroup1 hint", [] { return Windows().temperamentManager->inputModeGroup->toolTip(); },
         "选择音律输入，一次输入一组连续的音律，然后选择音律调整，对其中不准确的进行调整"},
        {"Form4 BitBtn1", [] { return Windows().temperamentManager->clearButton->text(); }, "清空记录"},
        {"Form4 BitBtn1 hint", [] { return Windows().temperamentManager->clearButton->toolTip(); }, "清空记录前请注意保存"},
        {"Form4 Label1", [] { return Windows().temperamentManager->detailsCaption->text(); }, "详细情况：" + Blanks(2)},

        // The about box.
        {"AboutBox caption", [] { return Windows().aboutBox->windowTitle(); }, "About"},
        {"ProductName", [] { return Windows().aboutBox->productName->text(); }, "Tonarel"},
        {"Version", [] { return Windows().aboutBox->version->text(); }, "Version : 1.0"},
        {"OKButton", [] { return Windows().aboutBox->okButton->text(); }, "OK"},
    };
    for (const DesignText& row : texts) {
        EXPECT_EQ(row.shown().toStdString(), row.text.toStdString()) << row.where;
    }
}

}  // namespace
