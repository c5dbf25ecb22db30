// The pitch meter window: its recording cycle driven through a stand-in
// device and a hand-driven timer, and its analysis run on prepared
// recordings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "meter/core/RecordingAnalysis.h"
#include "meter/PitchMeterWindow.h"
#include "platform/UserSettings.h"
#include "scope/OscilloscopeWindow.h"
#include "shell/ApplicationWindows.h"
#include "temperament/TemperamentManagerWindow.h"
#include "tests/support/CaptureDeviceStandIn.h"
#include "tests/support/FileBytes.h"
#include "tests/support/WindowSetTest.h"
#include "tools/tones/WaveFileWriter.h"

using namespace tonarel;

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;
using ::testing::ElementsAre;

/// Button1's caption and hint, whether Button1 and BitBtn2 are enabled,
/// whether Timer1 runs, ReadyToRecord.
using CycleState = std::tuple<std::string, std::string, bool, bool, bool, bool>;
const CycleState IdleBeforeFirst{"开始录音", "按下一秒后输入声音", true, false, false, true};
const CycleState RecordingLocked{"停止录音", "声音输入完毕后请按下", false, false, true, false};
const CycleState RecordingUnlocked{"停止录音", "声音输入完毕后请按下", true, false, true, false};
const CycleState IdleAfterRecording{"开始录音", "按下一秒后输入声音", true, true, false, true};

/// Frequency, signal-to-noise value, semitone index, deviation.
using Readout = std::tuple<std::string, std::string, std::string, std::string>;

class PitchMeterTest : public WindowSetTest {
protected:
    void SetUp() override
    {
        WindowSetTest::SetUp();
        script = std::make_shared<CaptureDeviceScript>();
        Windows().pitchMeter->ReplaceCaptureDevice(std::make_unique<CaptureDeviceStandIn>(script));
    }

    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    /// A tick of Timer1 with the device at `milliseconds`.
    void TickAt(uint32_t milliseconds)
    {
        script->position = milliseconds;
        Windows().pitchMeter->RecordingTimerTick(Windows().pitchMeter->recordingTimer);
    }

    /// The device calls without the position polls.
    std::vector<std::string> DeviceSteps() const
    {
        std::vector<std::string> steps = script->calls;
        std::erase(steps, "position");
        return steps;
    }

    static CycleState Cycle()
    {
        return {Windows().pitchMeter->recordButton->text().toStdString(), Windows().pitchMeter->recordButton->toolTip().toStdString(),
                Windows().pitchMeter->recordButton->isEnabled(),          Windows().pitchMeter->refreshButton->isEnabled(),
                Windows().pitchMeter->recordingTimer->isActive(),            Windows().pitchMeter->ReadyToRecord};
    }

    static Readout Shown()
    {
        return {Windows().pitchMeter->frequencyValue->text().toStdString(), Windows().pitchMeter->snrValue->text().toStdString(),
                Windows().pitchMeter->semitoneValue->text().toStdString(), Windows().pitchMeter->deviationValue->text().toStdString()};
    }

    /// Sets the segment length field through its spinner (position × 10 ms).
    static void UseSegmentOf(int milliseconds)
    {
        Windows().pitchMeter->autoSegmentBox->setChecked(false);
        Windows().pitchMeter->segmentSpinner->SetPosition(milliseconds / 10);
        Windows().pitchMeter->SegmentSpinnerClick(Windows().pitchMeter->segmentSpinner);
    }

    /// Readings the temperament manager has taken, in both directions.
    static int ManagerLines() { return Windows().temperamentManager->trebleList->count() + Windows().temperamentManager->bassList->count(); }

    std::shared_ptr<CaptureDeviceScript> script;
};

TEST_F(PitchMeterTest, RecordingCycleUnlocksStopPastHalfASecondOrAStallAndAnalysesOncePerStop)
{
    script->take = ToneBetweenSilences();
    Click(Windows().pitchMeter->forwardBox);  // each analysis hands the manager one reading
    EXPECT_EQ(Cycle(), IdleBeforeFirst);

    Click(Windows().pitchMeter->recordButton);
    EXPECT_EQ(Cycle(), RecordingLocked);
    EXPECT_THAT(DeviceSteps(), ElementsAre("open temp.wav", "record"));
    EXPECT_EQ(script->openedFormat, (tonarel::CaptureFormat{1, 44100, 16}));

    TickAt(500);
    EXPECT_EQ(Cycle(), RecordingLocked) << "unlocks only past 500 ms";
    TickAt(501);
    EXPECT_EQ(Cycle(), RecordingUnlocked);
    EXPECT_EQ(Windows().pitchMeter->recordingTimeValue->text(), "501");

    Click(Windows().pitchMeter->recordButton);
    EXPECT_EQ(Cycle(), IdleAfterRecording);
    EXPECT_THAT(DeviceSteps(), ElementsAre("open temp.wav", "record", "save my.wav", "close"));
    EXPECT_EQ(ManagerLines(), 1) << "one analysis per stop, of the saved take";

    // A second take whose capture stalls (the sound server went away, say):
    // a second without growth unlocks the stop whatever was recorded.
    Click(Windows().pitchMeter->recordButton);
    EXPECT_EQ(Cycle(), RecordingLocked);
    for (int tick = 0; tick < 10; ++tick) {
        TickAt(300);
    }
    EXPECT_EQ(Cycle(), RecordingLocked) << "nine ticks without growth are not yet a stall";
    TickAt(300);
    EXPECT_EQ(Cycle(), RecordingUnlocked);

    // Ending the program during that take closes the device and saves nothing.
    DestroyApplicationWindows();
    EXPECT_THAT(DeviceSteps(), ElementsAre("open temp.wav", "record", "save my.wav", "close", "open temp.wav",
                                           "record", "close"));
    EXPECT_FALSE(std::filesystem::exists("my.wav"));
}

struct FailureCase {
    const char* name;
    std::optional<std::string> CaptureDeviceScript::*failure;
    bool atStop;  // the step fails at the second press
    friend void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }
};

class PitchMeterDeviceFailure : public PitchMeterTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PitchMeterDeviceFailure, ShowsOneErrorBoxLeavesTheWindowIdleAndTheNextPressStartsAgain)
{
    const FailureCase& row = GetParam();
    if (row.atStop) {
        Click(Windows().pitchMeter->recordButton);
        TickAt(800);
    }
    (*script).*row.failure = "录音设备出错了。";
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    Click(Windows().pitchMeter->recordButton);
    EXPECT_EQ(messages, (decltype(messages){{UserMessageKind::Error, "录音设备出错了。"}}));
    EXPECT_EQ(Cycle(), row.atStop ? IdleAfterRecording : IdleBeforeFirst);
    EXPECT_FALSE(script->isOpen);
    EXPECT_FALSE(std::filesystem::exists("my.wav")) << "the last recording goes at every press";

    ((*script).*row.failure).reset();
    Click(Windows().pitchMeter->recordButton);
    EXPECT_EQ(Cycle(), RecordingLocked);
    EXPECT_EQ(messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Steps, PitchMeterDeviceFailure,
                         ::testing::Values(FailureCase{"Open", &CaptureDeviceScript::openFailure, false},
                                           FailureCase{"Record", &CaptureDeviceScript::recordFailure, false},
                                           FailureCase{"Save", &CaptureDeviceScript::saveFailure, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PitchMeterTest, ATakeThatCanNoLongerBeKeptEndsAtTheNextTickWithOneErrorBox)
{
    const QString lost = "录音无法写入文件夹“x”：磁盘空间不足。这次录音没有保存。";
    Click(Windows().pitchMeter->recordButton);
    TickAt(300);
    script->captureFailure = lost.toStdString();
    // The window's own timer ticks, so that the failure takes the way any
    // handler's failure takes to the error box.
    for (int wait = 0; wait < 100 && messages.empty(); ++wait) {
        QTest::qWait(20);
    }
    EXPECT_EQ(messages, (decltype(messages){{UserMessageKind::Error, lost}}));
    EXPECT_EQ(Cycle(), IdleAfterRecording);
    EXPECT_THAT(DeviceSteps(), ElementsAre("open temp.wav", "record", "save my.wav", "close"));
    EXPECT_EQ(std::get<0>(Shown()), "没有声音输入!   ") << "the stop's analysis finds no recording";

    script->captureFailure.reset();
    Click(Windows().pitchMeter->recordButton);
    EXPECT_EQ(Cycle(), RecordingLocked) << "the next press starts again";
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(PitchMeterTest, AnalysisShowsTheReadingAndHandsTheSegmentToTheOscilloscope)
{
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    const std::vector<uint8_t> file = ReadFileBytes("my.wav");
    // The automatic segment runs into the silence after the tone, whose long
    // run of zeros rejects all but 8 periods: about 7.99 Hz, below the lowest
    // note. Half a second lies inside the tone: 219 periods counted, 438 Hz.
    // Ten milliseconds are 882 bytes, from 110 bytes past the tone's first block.
    struct Row {
        int segmentMilliseconds;  // 0: automatic
        Readout shown;            // not checked when the frequency is empty
        uint32_t segmentBytes, segmentFileOffset;
    };
    for (const Row& row : {Row{0, {"7.98714065551758", "20", "120", "0"}, 88342, 64012},
                           Row{500, {"438", "20", "0", "-0.454545468091965"}, 44100, 58482},
                           Row{10, {}, 882, 53080}}) {
        SCOPED_TRACE(row.segmentMilliseconds);
        if (row.segmentMilliseconds != 0) {
            UseSegmentOf(row.segmentMilliseconds);
        }
        Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
        if (!std::get<0>(row.shown).empty()) {
            EXPECT_EQ(Shown(), row.shown);
        }
        // The oscilloscope is handed the very bytes of the segment, from the file.
        ASSERT_EQ(analysedBytes, row.segmentBytes);
        const auto* held = reinterpret_cast<const uint8_t*>(analysedSamples.get());
        EXPECT_TRUE(std::equal(held, held + row.segmentBytes, file.begin() + row.segmentFileOffset));
    }
}

// A value label shows its whole text: as wide as the text, from its design
// left edge, inside the window, and on top of the options group it reaches
// over, which stays usable beside it.
static void ExpectWholeTextShown(const QLabel* label)
{
    const PitchMeterWindow& meter = *Windows().pitchMeter;
    EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width()) << label->text().toStdString();
    EXPECT_EQ(label->x(), 134);
    const QRect shown = label->geometry().translated(meter.displayGroup->pos());
    EXPECT_LE(shown.right(), meter.width() - 8) << "inside the window's margin";
    EXPECT_EQ(meter.childAt(shown.topRight()), label) << "the grown label is the widget seen there";
}

TEST_F(PitchMeterTest, ValueLabelsGrowToTheirWholeTextOverTheOptionsGroup)
{
    PitchMeterWindow& meter = *Windows().pitchMeter;
    for (QLabel* label : {meter.deviationValue, meter.frequencyValue, meter.semitoneValue, meter.snrValue}) {
        SCOPED_TRACE(label->objectName().toStdString());
        meter.displayGroup->ShowValue(label, QStringLiteral("-0.0759740259740260"), 46);
        ExpectWholeTextShown(label);
        meter.displayGroup->ShowValue(label, QStringLiteral("0"), 46);
        EXPECT_EQ(label->width(), 46) << "a short text keeps the design width";
    }
    // Beside the short labels, the options group answers the mouse again.
    EXPECT_EQ(meter.childAt(meter.divisorSlider->geometry().center() + meter.optionsGroup->pos()), meter.divisorSlider);
}

// The options group as the estimator sees it, through the refresh button and
// through the stop of a recording (the options changed while it runs). Each
// row gives the estimator other options than the design state does, and the
// window must show what the core's analysis run makes of exactly those.
struct OptionsCase {
    const char* name;
    uint32_t segmentMilliseconds;  // 0: "自动侦测" ticked
    uint32_t givenSnr;             // 0: "自动侦测" ticked
    int divisor;                   // TrackBar1
    friend void PrintTo(const OptionsCase& row, std::ostream* out) { *out << row.name; }
};

class PitchMeterOptions : public PitchMeterTest,
                          public ::testing::WithParamInterface<std::tuple<OptionsCase, bool>> {
protected:
    /// Room noise, then a note decaying over three seconds: where the
    /// automatic segment ends depends on the ratio and its divisor.
    static std::vector<int16_t> DecayingTake()
    {
        return Concatenate({Noise(22050, 30), DecayingTone(3 * 44100, 441.0, 12000.0, 0.6)});
    }

    static void SetOptions(const OptionsCase& row)
    {
        if (row.segmentMilliseconds != 0) {
            UseSegmentOf(static_cast<int>(row.segmentMilliseconds));
        }
        if (row.givenSnr != 0) {
            Click(Windows().pitchMeter->autoSnrBox);
            Windows().pitchMeter->snrSpinner->SetPosition(static_cast<int>(row.givenSnr));
            Windows().pitchMeter->SnrSpinnerClick(Windows().pitchMeter->snrSpinner);
        }
        Windows().pitchMeter->divisorSlider->setValue(row.divisor);
    }

    static std::tuple<Readout, uint32_t> ReadingOf(const RecordingAnalysis& run)
    {
        return {Readout{run.frequencyText, run.snrText, run.semitoneText.value_or("0"), run.deviationText.value_or("0")},
                run.byteCount};
    }
};

TEST_P(PitchMeterOptions, ReachTheEstimatorAsTheyStandWhenTheRunStarts)
{
    const auto& [row, atStop] = GetParam();
    WriteCaptureFile("reference.wav", DecayingTake());
    const auto expected = ReadingOf(AnalyseRecording(
        "reference.wav", {row.segmentMilliseconds, row.givenSnr, static_cast<uint32_t>(row.divisor)}, Windows().pitchMeter->SemitoneTable));
    ASSERT_NE(expected, ReadingOf(AnalyseRecording("reference.wav", {}, Windows().pitchMeter->SemitoneTable)))
        << "the row's options must make a difference";

    if (atStop) {
        script->take = DecayingTake();
        Click(Windows().pitchMeter->recordButton);
        TickAt(800);
        SetOptions(row);
        Click(Windows().pitchMeter->recordButton);
    } else {
        WriteCaptureFile("my.wav", DecayingTake());
        SetOptions(row);
        Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    }
    EXPECT_EQ(std::tuple(Shown(), analysedBytes), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PitchMeterOptions,
    ::testing::Combine(::testing::Values(OptionsCase{"DivisorTwo", 0, 0, 2}, OptionsCase{"DivisorSix", 0, 0, 6},
                                         OptionsCase{"GivenRatio", 0, 12, 4},
                                         OptionsCase{"GivenRatioAndDivisor", 0, 12, 6},
                                         OptionsCase{"GivenSegment", 500, 0, 4}),
                       ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "AtTheStop" : "AtRefresh");
    });

TEST_F(PitchMeterTest, TheStopAnalysesTheTakeOnlyOnceTheDeviceIsClosed)
{
    script->take = ToneBetweenSilences();
    UseSegmentOf(500);
    Click(Windows().pitchMeter->forwardBox);
    std::vector<bool> deviceOpenAtTheReading;
    QObject::connect(Windows().temperamentManager->trebleList->model(), &QAbstractItemModel::rowsInserted, Windows().pitchMeter,
                     [&] { deviceOpenAtTheReading.push_back(script->isOpen); });
    Click(Windows().pitchMeter->recordButton);
    TickAt(800);
    Click(Windows().pitchMeter->recordButton);
    EXPECT_EQ(deviceOpenAtTheReading, std::vector<bool>{false});
    EXPECT_EQ(Windows().pitchMeter->frequencyValue->text(), "438");
}

TEST_F(PitchMeterTest, ManagerGetsReadingsOnlyWhileTickedAndNoSoundKeepsTheIndexAndDeviation)
{
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    UseSegmentOf(500);
    Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    EXPECT_EQ(ManagerLines(), 0);

    Click(Windows().pitchMeter->forwardBox);
    EXPECT_TRUE(Windows().temperamentManager->inputFromMeterBox->isChecked()) << "the manager's box follows";
    Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    EXPECT_EQ(ManagerLines(), 1);
    EXPECT_EQ(SavedTable().measured[0], 438.0f);

    WriteCaptureFile("my.wav", Silence(88200));
    Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    EXPECT_EQ(ManagerLines(), 1) << "no sound, no reading";
    EXPECT_EQ(Shown(), (Readout{"没有声音输入!   ", "太小了！", "0", "-0.454545468091965"}));
    ExpectWholeTextShown(Windows().pitchMeter->frequencyValue);
    ASSERT_EQ(analysedBytes, 2u);
    EXPECT_EQ(analysedSamples[0], 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PitchMeterTest, PreciseMeasurementGivesTheFrequencyOnlyWhileTickedAndNoSoundWhereItHearsNoNote)
{
    EXPECT_FALSE(Windows().pitchMeter->preciseBox->isChecked());
    EXPECT_EQ(Windows().pitchMeter->preciseBox->text(), "精确测量");
    Click(Windows().pitchMeter->forwardBox);
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    const Readout specified{"7.98714065551758", "20", "120", "0"};

    Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    EXPECT_EQ(Shown(), specified);

    // Ticked: the 441 Hz tone reads as itself; the rest of the road is the
    // same (the estimator's ratio, its segment for the oscilloscope, the
    // manager given the frequency shown).
    Click(Windows().pitchMeter->preciseBox);
    Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    const double frequency = Windows().pitchMeter->frequencyValue->text().toDouble();
    EXPECT_NEAR(1200 * std::log2(frequency / 441.0), 0.0, 0.1) << Windows().pitchMeter->frequencyValue->text().toStdString();
    EXPECT_EQ(Windows().pitchMeter->snrValue->text(), "20");
    EXPECT_EQ(Windows().pitchMeter->semitoneValue->text(), "0");
    EXPECT_EQ(analysedBytes, 88342u);
    EXPECT_EQ(SavedTable().measured[1], static_cast<float>(frequency));

    // Noise between silences has a ratio, so the estimator counts something;
    // the precise reading hears no note in it, and the window says so.
    WriteCaptureFile("my.wav", Concatenate({Silence(26460), Noise(44100, 8000), Silence(26460)}));
    Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    EXPECT_EQ(std::get<0>(Shown()), "没有声音输入!   ");
    EXPECT_EQ(std::get<1>(Shown()), "太小了！");
    EXPECT_EQ(ManagerLines(), 2) << "no note, no reading for the manager";

    Click(Windows().pitchMeter->preciseBox);
    WriteCaptureFile("my.wav", ToneBetweenSilences());
    Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    EXPECT_EQ(Shown(), specified) << "unticked, the standard reading as before";
}

TEST_F(PitchMeterTest, ManualFieldsShowTheirSpinnersAndTheDivisorItsSlider)
{
    Click(Windows().pitchMeter->autoSegmentBox);
    Click(Windows().pitchMeter->autoSnrBox);
    // A field's caption follows the field.
    EXPECT_TRUE(Windows().pitchMeter->segmentField->EditLabel->isEnabled() && Windows().pitchMeter->snrField->EditLabel->isEnabled());
    // The segment field shows ten times its spinner (10 to 4000 ms), the ratio
    // field the spinner itself (1 to 20); neither wraps round.
    struct Row {
        UpDown* spinner;
        int start, presses;  // presses: positive up, negative down
        LabeledEdit* field;
        const char* shown;
    };
    for (const Row& row : {Row{Windows().pitchMeter->segmentSpinner, 100, -1, Windows().pitchMeter->segmentField, "990"},
                           Row{Windows().pitchMeter->segmentSpinner, 399, 3, Windows().pitchMeter->segmentField, "4000"},
                           Row{Windows().pitchMeter->segmentSpinner, 2, -3, Windows().pitchMeter->segmentField, "10"},
                           Row{Windows().pitchMeter->snrSpinner, 19, 3, Windows().pitchMeter->snrField, "20"}}) {
        row.spinner->SetPosition(row.start);
        for (int i = 0; i < std::abs(row.presses); ++i) {
            Click(row.presses > 0 ? row.spinner->UpButton() : row.spinner->DownButton());
        }
        EXPECT_EQ(row.field->text(), row.shown) << "from " << row.start << " by " << row.presses;
    }

    // One step per arrow key, two per page (not Qt's default of ten).
    Windows().pitchMeter->divisorSlider->setFocus();
    for (const auto& [key, shown] : std::vector<std::pair<Qt::Key, const char*>>{
             {Qt::Key_Right, "5"}, {Qt::Key_PageDown, "3"}, {Qt::Key_PageDown, "2"}, {Qt::Key_End, "6"}}) {
        QTest::keyClick(Windows().pitchMeter->divisorSlider, key);
        EXPECT_EQ(Windows().pitchMeter->divisorField->text(), shown);
    }
}

// "精确测量" is remembered across runs in the user's configuration; what
// cannot be read as the ticked state (no file, another value, a damaged
// file) starts unticked.
TEST_F(PitchMeterTest, PreciseMeasurementIsRememberedAcrossRuns)
{
    struct Row {
        const char* name;
        std::optional<std::string> file;
        bool ticked;
    };
    static constexpr char kDamaged[] = "[Pitch\0\xff\nprecise=true";
    for (const Row& row : {Row{"no file", std::nullopt, false}, Row{"ticked", "[PitchMeter]\nprecise=true\n", true},
                           Row{"unticked", "[PitchMeter]\nprecise=false\n", false},
                           Row{"another value", "[PitchMeter]\nprecise=1\n", false},
                           Row{"damaged", std::string(kDamaged, sizeof kDamaged - 1), false}}) {
        SCOPED_TRACE(row.name);
        DestroyApplicationWindows();
        QFile::remove(UserSettingsFile());
        if (row.file) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(UserSettingsFile()).absolutePath()));
            QFile file(UserSettingsFile());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.file->data(), static_cast<qint64>(row.file->size()));
        }
        CreateApplicationWindows();
        ShowApplicationWindows();
        EXPECT_EQ(Windows().pitchMeter->preciseBox->isChecked(), row.ticked);
    }

    // Ticked by the user, it is ticked at the next start, and unticked again.
    for (const bool ticked : {true, false}) {
        Click(Windows().pitchMeter->preciseBox);
        DestroyApplicationWindows();
        CreateApplicationWindows();
        ShowApplicationWindows();
        EXPECT_EQ(Windows().pitchMeter->preciseBox->isChecked(), ticked);
    }
}

// Space on "开始录音" starts a take; while the stop is locked no control takes
// the key, and once it unlocks the next Space stops the take.
TEST_F(PitchMeterTest, TheSecondSpaceStopsTheTake)
{
    script->take = ToneBetweenSilences();
    Activate(Windows().pitchMeter);
    Windows().pitchMeter->recordButton->setFocus();
    const bool forwarding = Windows().pitchMeter->forwardBox->isChecked();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(Cycle(), RecordingLocked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // too early: nothing happens
    EXPECT_EQ(Cycle(), RecordingLocked);
    TickAt(501);
    EXPECT_EQ(QApplication::focusWidget(), Windows().pitchMeter->recordButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(Cycle(), IdleAfterRecording);
    EXPECT_EQ(Windows().pitchMeter->forwardBox->isChecked(), forwarding);
}

}  // namespace
