// The pitch meter window: its recording cycle driven through a stand-in
// device and a hand-driven timer, and its analysis run on prepared
// recordings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "meter/Unit3.h"
#include "platform/CaptureDeviceStandIn.h"
#include "scope/Unit2.h"
#include "shell/ApplicationWindows.h"
#include "temperament/Unit4.h"
#include "tests/support/WaveFileWriter.h"
#include "tests/support/WindowSetTest.h"

namespace {

using namespace tonarel::test;
using ::testing::ElementsAre;

// The worked example of a whole run: a 441 Hz tone (100 samples per period)
// between stretches of digital silence.
std::vector<int16_t> ToneBetweenSilences()
{
    return Concatenate({Silence(26460), Sine(44100, 100, 10000), Silence(26460)});
}

class PitchMeterTest : public WindowSetTest {
protected:
    void SetUp() override
    {
        WindowSetTest::SetUp();
        script = std::make_shared<CaptureDeviceScript>();
        Form3->ReplaceCaptureDevice(std::make_unique<CaptureDeviceStandIn>(script));
    }

    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    /// A tick of Timer1 with the device at `milliseconds`.
    void TickAt(uint32_t milliseconds)
    {
        script->position = milliseconds;
        Form3->Timer1Timer(Form3->Timer1);
    }

    /// The device calls without the position polls.
    std::vector<std::string> DeviceSteps() const
    {
        std::vector<std::string> steps;
        for (const std::string& call : script->calls) {
            if (call != "position") {
                steps.push_back(call);
            }
        }
        return steps;
    }

    /// The cycle as the user sees it.
    struct CycleState {
        QString caption;
        QString hint;
        bool button1Enabled;
        bool bitBtn2Enabled;
        bool timerRunning;
        bool readyToRecord;
        bool operator==(const CycleState&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const CycleState& state)
        {
            return out << state.caption.toStdString() << " / " << state.hint.toStdString() << " button1 "
                       << state.button1Enabled << " bitBtn2 " << state.bitBtn2Enabled << " timer "
                       << state.timerRunning << " ready " << state.readyToRecord;
        }
    };
    static CycleState Cycle()
    {
        return {Form3->Button1->text(),          Form3->Button1->toolTip(), Form3->Button1->isEnabled(),
                Form3->BitBtn2->isEnabled(),     Form3->Timer1->isActive(), Form3->ReadyToRecord};
    }
    static const inline CycleState IdleBeforeFirst{"开始录音", "按下一秒后输入声音", true, false, false, true};
    static const inline CycleState RecordingLocked{"停止录音", "声音输入完毕后请按下", false, false, true, false};
    static const inline CycleState RecordingUnlocked{"停止录音", "声音输入完毕后请按下", true, false, true, false};
    static const inline CycleState IdleAfterRecording{"开始录音", "按下一秒后输入声音", true, true, false, true};

    struct Readout {
        QString frequency, snr, semitone, deviation;
        bool operator==(const Readout&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const Readout& r)
        {
            return out << r.frequency.toStdString() << " | " << r.snr.toStdString() << " | "
                       << r.semitone.toStdString() << " | " << r.deviation.toStdString();
        }
    };
    static Readout Shown()
    {
        return {Form3->Label3->text(), Form3->Label6->text(), Form3->Label7->text(), Form3->Label10->text()};
    }

    /// Sets the segment length field through its spinner (position × 10 ms).
    static void UseSegmentOf(int milliseconds)
    {
        Form3->CheckBox1->setChecked(false);
        Form3->UpDown1->SetPosition(milliseconds / 10);
        Form3->UpDown1Click(Form3->UpDown1);
    }

    /// Readings the temperament manager has taken, in both directions.
    static int ManagerLines() { return Form4->ListBox1->count() + Form4->ListBox2->count(); }

    std::shared_ptr<CaptureDeviceScript> script;
};

TEST_F(PitchMeterTest, RecordingCycleUnlocksStopAfterHalfASecondAndAnalysesOnce)
{
    script->take = ToneBetweenSilences();
    Click(Form3->CheckBox3);  // each analysis hands the manager one reading
    EXPECT_EQ(Cycle(), IdleBeforeFirst);

    Click(Form3->Button1);
    EXPECT_EQ(Cycle(), RecordingLocked);
    EXPECT_THAT(DeviceSteps(), ElementsAre("open temp.wav", "record"));
    EXPECT_EQ(script->openedFormat, (tonarel::CaptureFormat{1, 44100, 16}));

    TickAt(300);
    EXPECT_EQ(Form3->Label1->text(), "300");
    EXPECT_EQ(Cycle(), RecordingLocked);
    TickAt(500);
    EXPECT_EQ(Cycle(), RecordingLocked) << "unlocks only past 500 ms";
    TickAt(501);
    EXPECT_EQ(Cycle(), RecordingUnlocked);
    EXPECT_EQ(Form3->Label1->text(), "501");

    Click(Form3->Button1);
    EXPECT_EQ(Cycle(), IdleAfterRecording);
    EXPECT_THAT(DeviceSteps(), ElementsAre("open temp.wav", "record", "save my.wav", "close"));
    EXPECT_EQ(Shown(), (Readout{"7.98714065551758", "20", "120", "0"}));
    EXPECT_EQ(ManagerLines(), 1) << "one analysis per stop";
    EXPECT_EQ(Form3->Label1->text(), "501") << "the last position stays until the next take";

    // A second take goes round the same way.
    Click(Form3->Button1);
    EXPECT_EQ(Cycle(), RecordingLocked);
}

TEST_F(PitchMeterTest, StalledCaptureUnlocksStopAfterASecondWithoutGrowth)
{
    Click(Form3->Button1);
    TickAt(300);
    for (int tick = 1; tick < 10; ++tick) {
        TickAt(300);
    }
    EXPECT_FALSE(Form3->Button1->isEnabled()) << "nine ticks without growth are not yet a stall";
    TickAt(300);
    EXPECT_TRUE(Form3->Button1->isEnabled());
}

TEST_F(PitchMeterTest, FailingOpenShowsOneErrorAndStaysIdleForTheNextTry)
{
    script->openFailure = "没有找到录音设备";
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    Click(Form3->Button1);
    EXPECT_EQ(messages, (decltype(messages){{UserMessageKind::Error, "没有找到录音设备"}}));
    EXPECT_EQ(Cycle(), IdleBeforeFirst);
    EXPECT_FALSE(std::filesystem::exists("my.wav")) << "the last recording goes at every press";
    EXPECT_EQ(std::filesystem::file_size("temp.wav"), 44u) << "the template is written before the open";

    script->openFailure.reset();
    Click(Form3->Button1);
    EXPECT_EQ(Cycle(), RecordingLocked);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(PitchMeterTest, FailingRecordShowsOneErrorAndReturnsToIdle)
{
    script->recordFailure = "录音设备无法开始录音。";
    Click(Form3->Button1);
    EXPECT_EQ(messages, (decltype(messages){{UserMessageKind::Error, "录音设备无法开始录音。"}}));
    EXPECT_EQ(Cycle(), IdleBeforeFirst);
    EXPECT_FALSE(script->isOpen);
}

TEST_F(PitchMeterTest, FailingSaveIsReportedAfterTheWindowIsIdleAgain)
{
    Click(Form3->Button1);
    TickAt(800);
    script->saveFailure = "无法保存录音文件“my.wav”。";
    Click(Form3->Button1);
    EXPECT_EQ(messages, (decltype(messages){{UserMessageKind::Error, "无法保存录音文件“my.wav”。"}}));
    EXPECT_EQ(Cycle(), IdleAfterRecording);
    EXPECT_FALSE(script->isOpen);
    EXPECT_EQ(Form3->Label3->text(), "没有声音输入!   ");
}

TEST_F(PitchMeterTest, EndingTheProgramDuringARecordingClosesTheDeviceWithoutSaving)
{
    Click(Form3->Button1);
    TickAt(800);
    DestroyApplicationWindows();
    EXPECT_THAT(DeviceSteps(), ElementsAre("open temp.wav", "record", "close"));
    EXPECT_FALSE(std::filesystem::exists("my.wav"));
}

struct ReadoutCase {
    const char* name;
    int segmentMilliseconds;  // 0: automatic
    const char* frequency;
    const char* snr;
    const char* semitone;
    const char* deviation;
    uint32_t segmentBytes;
    uint32_t segmentFileOffset;
    friend void PrintTo(const ReadoutCase& row, std::ostream* out) { *out << row.name; }
};

class PitchMeterReadout : public PitchMeterTest, public ::testing::WithParamInterface<ReadoutCase> {};

TEST_P(PitchMeterReadout, ShowsTheReadingAndHandsTheSegmentToTheOscilloscope)
{
    const std::vector<int16_t> recording = ToneBetweenSilences();
    WriteCaptureFile("my.wav", recording);
    if (GetParam().segmentMilliseconds != 0) {
        UseSegmentOf(GetParam().segmentMilliseconds);
    }
    Form3->BitBtn2Click(Form3->BitBtn2);
    EXPECT_EQ(Shown(), (Readout{GetParam().frequency, GetParam().snr, GetParam().semitone, GetParam().deviation}));

    // The oscilloscope holds the very bytes of the segment, from the file.
    ASSERT_EQ(Form2->HeldSampleBytes(), GetParam().segmentBytes);
    const std::vector<uint8_t> file = ReadFileBytes("my.wav");
    const auto* held = reinterpret_cast<const uint8_t*>(Form2->HeldSamples());
    EXPECT_TRUE(std::equal(held, held + GetParam().segmentBytes, file.begin() + GetParam().segmentFileOffset));
}

// The automatic segment runs into the silence after the tone, whose long run
// of zeros rejects all but 8 periods: about 7.99 Hz, below the lowest note.
// Half a second lies inside the tone: 219 periods counted, 438 Hz.
INSTANTIATE_TEST_SUITE_P(
    WorkedExample, PitchMeterReadout,
    ::testing::Values(ReadoutCase{"Automatic", 0, "7.98714065551758", "20", "120", "0", 88342, 64012},
                      ReadoutCase{"HalfASecond", 500, "438", "20", "0", "-0.454545468091965", 44100, 58482}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PitchMeterTest, TenMillisecondsAreASegmentOf882Bytes)
{
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    UseSegmentOf(10);
    EXPECT_EQ(Form3->LabeledEdit1->text(), "10");
    Form3->BitBtn2Click(Form3->BitBtn2);
    EXPECT_EQ(Form2->HeldSampleBytes(), 882u);
}

TEST_F(PitchMeterTest, NoSoundKeepsTheIndexAndDeviationAndGivesTheOscilloscopeOneSilentSample)
{
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    UseSegmentOf(500);
    Form3->BitBtn2Click(Form3->BitBtn2);
    WriteCaptureFile("my.wav", Silence(88200));
    Form3->BitBtn2Click(Form3->BitBtn2);
    EXPECT_EQ(Shown(), (Readout{"没有声音输入!   ", "太小了！", "0", "-0.454545468091965"}));
    ASSERT_EQ(Form2->HeldSampleBytes(), 2u);
    EXPECT_EQ(Form2->HeldSamples()[0], 0);
}

TEST_F(PitchMeterTest, ReadingsGoToTheManagerOnlyWhileTickedAndOnlyWithSound)
{
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    UseSegmentOf(500);
    Form3->BitBtn2Click(Form3->BitBtn2);
    EXPECT_EQ(ManagerLines(), 0);

    Click(Form3->CheckBox3);
    Form3->BitBtn2Click(Form3->BitBtn2);
    EXPECT_EQ(ManagerLines(), 1);
    EXPECT_EQ(Form4->Table().MeasuredTable()[0], 438.0f);

    WriteCaptureFile("my.wav", Silence(88200));
    Form3->BitBtn2Click(Form3->BitBtn2);
    EXPECT_EQ(ManagerLines(), 1) << "no sound, no reading";
    EXPECT_TRUE(messages.empty());
}

TEST_F(PitchMeterTest, InputBoxAndTheManagersBoxSettleAfterOneExchange)
{
    QSignalSpy meterBox(Form3->CheckBox3, &QCheckBox::toggled);
    QSignalSpy managerBox(Form4->CheckBox2, &QCheckBox::toggled);
    Click(Form3->CheckBox3);
    EXPECT_TRUE(Form4->CheckBox2->isChecked());
    Form4->CheckBox2->setChecked(false);
    EXPECT_FALSE(Form3->CheckBox3->isChecked());
    EXPECT_EQ(meterBox.count(), 2);
    EXPECT_EQ(managerBox.count(), 2);
}

TEST_F(PitchMeterTest, AutomaticBoxesLockTheirFieldCaptionAndSpinner)
{
    struct Row {
        QCheckBox* automatic;
        LabeledEdit* field;
        UpDown* spinner;
    };
    for (const Row& row : {Row{Form3->CheckBox1, Form3->LabeledEdit1, Form3->UpDown1},
                           Row{Form3->CheckBox2, Form3->LabeledEdit2, Form3->UpDown2}}) {
        SCOPED_TRACE(row.field->objectName().toStdString());
        const auto locked = [&] {
            return std::vector<bool>{row.field->isEnabled(), row.field->EditLabel->isEnabled(),
                                     row.spinner->isEnabled()};
        };
        EXPECT_EQ(locked(), std::vector<bool>(3, false));
        Click(row.automatic);
        EXPECT_EQ(locked(), std::vector<bool>(3, true));
        Click(row.automatic);
        EXPECT_EQ(locked(), std::vector<bool>(3, false));
    }
}

struct SpinnerCase {
    const char* name;
    bool segment;  // UpDown1 into LabeledEdit1, else UpDown2 into LabeledEdit2
    int startPosition;
    int presses;  // positive: up, negative: down
    const char* fieldText;
    friend void PrintTo(const SpinnerCase& row, std::ostream* out) { *out << row.name; }
};

class PitchMeterSpinners : public PitchMeterTest, public ::testing::WithParamInterface<SpinnerCase> {};

TEST_P(PitchMeterSpinners, FieldShowsThePositionAndStopsAtTheEnds)
{
    const SpinnerCase& row = GetParam();
    Click(row.segment ? Form3->CheckBox1 : Form3->CheckBox2);
    UpDown* spinner = row.segment ? Form3->UpDown1 : Form3->UpDown2;
    spinner->SetPosition(row.startPosition);
    for (int i = 0; i < std::abs(row.presses); ++i) {
        Click(row.presses > 0 ? spinner->UpButton() : spinner->DownButton());
    }
    EXPECT_EQ((row.segment ? Form3->LabeledEdit1 : Form3->LabeledEdit2)->text(), row.fieldText);
}

// The segment field shows ten times its spinner (10 to 4000 ms), the ratio
// field the spinner itself (1 to 20); neither wraps round.
INSTANTIATE_TEST_SUITE_P(Presses, PitchMeterSpinners,
                         ::testing::Values(SpinnerCase{"SegmentUp", true, 100, 1, "1010"},
                                           SpinnerCase{"SegmentDown", true, 100, -1, "990"},
                                           SpinnerCase{"SegmentPastTheTop", true, 399, 3, "4000"},
                                           SpinnerCase{"SegmentPastTheBottom", true, 2, -3, "10"},
                                           SpinnerCase{"RatioPastTheTop", false, 19, 3, "20"},
                                           SpinnerCase{"RatioPastTheBottom", false, 2, -3, "1"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PitchMeterTest, DivisorMovesOneStepOrAPageOfTwo)
{
    Form3->TrackBar1->setFocus();
    const std::vector<std::pair<Qt::Key, const char*>> presses = {
        {Qt::Key_Right, "5"}, {Qt::Key_PageDown, "3"}, {Qt::Key_PageDown, "2"}, {Qt::Key_End, "6"}};
    for (const auto& [key, shown] : presses) {
        QTest::keyClick(Form3->TrackBar1, key);
        EXPECT_EQ(Form3->Edit1->text(), shown);
    }
}

TEST_F(PitchMeterTest, ValueLabelsCutLongTextsOffInsteadOfGrowing)
{
    WriteCaptureFile("my.wav", Silence(4410));
    Form3->BitBtn2Click(Form3->BitBtn2);
    for (QLabel* label : {Form3->Label1, Form3->Label6, Form3->Label3, Form3->Label7, Form3->Label10}) {
        EXPECT_EQ(label->size(), QSize(46, 13)) << label->objectName().toStdString();
        EXPECT_FALSE(label->wordWrap());
    }
    EXPECT_GT(Form3->Label3->sizeHint().width(), 46) << "the no-sound text is the long one";
}

}  // namespace
