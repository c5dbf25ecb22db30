// The tuner window driven through stand-ins for the sound input and the
// reference tone: synthetic notes go in block by block as a sound server
// would deliver them, and the labels are read as the user reads them.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QPushButton>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

#include "forms/UserMessage.h"
#include "tests/support/LiveSoundInputStandIn.h"
#include "tools/tones/PartialTone.h"
#include "tuner/CalibrationDialog.h"
#include "tuner/StrobeBand.h"
#include "tuner/TunerSettings.h"
#include "tuner/TunerTexts.h"
#include "tuner/TunerWindow.h"

using namespace tonarel;
using namespace tonarel::tuner;

namespace {

std::vector<int16_t> Tone(double hz, double seconds)
{
    tones::PartialTone tone;
    tone.f0Hz = hz;
    tone.amplitudes = {12000.0};
    return tones::Synthesise(tone, static_cast<uint32_t>(seconds * 44100));
}

std::vector<int16_t> Silence(double seconds)
{
    return std::vector<int16_t>(static_cast<std::size_t>(seconds * 44100), 0);
}

double CentsAbove(double hz, double cents)
{
    return hz * std::exp2(cents / 1200.0);
}

class TunerWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        SetUserMessageHandler([this](UserMessageKind, const QString& text) { messages.push_back(text); });
    }
    void TearDown() override
    {
        window.reset();
        SetUserMessageHandler({});
    }

    void Open()
    {
        window = std::make_unique<TunerWindow>(std::make_unique<LiveSoundInputStandIn>(input),
                                               std::make_unique<ReferenceToneStandIn>(tone),
                                               TunerSettings::UserFile());
        window->show();
        ASSERT_TRUE(input->listener) << "the window listens while shown";
    }

    QString WriteFile(const QString& name, const QByteArray& contents) const
    {
        const QString path = config_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }

    QTemporaryDir config_;
    std::shared_ptr<LiveSoundInputScript> input = std::make_shared<LiveSoundInputScript>();
    std::shared_ptr<ReferenceToneScript> tone = std::make_shared<ReferenceToneScript>();
    std::unique_ptr<TunerWindow> window;
    std::vector<QString> messages;
};

struct ReadingCase {
    double referenceHz;
    double toneHz;
    double toleranceCents;
    const char* note;
    const char* cents;
    const char* verdict;
};

class TunerReadingTest : public TunerWindowTest, public ::testing::WithParamInterface<ReadingCase> {};

// Each tone's cents lie in the middle of a tenth, so that the figure does not
// hang on the tracker's last hundredth.
INSTANTIATE_TEST_SUITE_P(Cases, TunerReadingTest, ::testing::Values(
    ReadingCase{440.0, CentsAbove(440.0, 7.9), 1.0, "A4", "+7.9", "偏高"},
    ReadingCase{442.0, CentsAbove(442.0, -3.2), 1.0, "A4", "-3.2", "偏低"},
    ReadingCase{442.0, CentsAbove(442.0, -3.2), 5.0, "A4", "-3.2", "准确"},
    ReadingCase{440.0, 440.0, 1.0, "A4", "0.0", "准确"},
    ReadingCase{440.0, CentsAbove(440.0, 1.0), 1.0, "A4", "+1.0", "准确"},
    ReadingCase{440.0, CentsAbove(440.0, 1.1), 1.0, "A4", "+1.1", "偏高"},
    ReadingCase{415.0, CentsAbove(415.0 * std::exp2(4.0 / 12), -12.3), 1.0, "C♯5", "-12.3", "偏低"},
    ReadingCase{440.0, CentsAbove(261.6256, 0.0), 0.1, "C4", "0.0", "准确"}));

TEST_P(TunerReadingTest, ShowsNoteCentsAndVerdict)
{
    const ReadingCase& c = GetParam();
    Open();
    window->ReferenceSpin->setValue(c.referenceHz);
    window->ToleranceSpin->setValue(c.toleranceCents);
    input->Deliver(Tone(c.toneHz, 0.6));

    EXPECT_EQ(window->NoteLabel->text(), QString::fromUtf8(c.note));
    EXPECT_EQ(window->CentsLabel->text(), QString::fromUtf8(c.cents));
    EXPECT_EQ(window->VerdictLabel->text(), QString::fromUtf8(c.verdict));
    EXPECT_EQ(window->FrequencyLabel->text(), QString::number(c.toneHz, 'f', 2));
    EXPECT_EQ(window->HoldLabel->text(), QString());
    EXPECT_TRUE(window->NoteLabel->accessibleName().isEmpty()) << "screen readers read the text";
}

TEST_F(TunerWindowTest, KeepsTheLastReadingMarkedHeldUntilTheNextNote)
{
    Open();
    EXPECT_EQ(window->NoteLabel->text(), kNoValueText);
    input->Deliver(Tone(442.0, 0.6));
    EXPECT_EQ(window->CentsLabel->text(), "+7.9");

    input->Deliver(Silence(0.5));
    EXPECT_EQ(window->NoteLabel->text(), "A4");
    EXPECT_EQ(window->CentsLabel->text(), "+7.9");
    EXPECT_EQ(window->HoldLabel->text(), "（保持）");

    // A change of reference applies at once, to the held reading too.
    window->ReferenceSpin->setValue(442.0);
    EXPECT_EQ(window->CentsLabel->text(), "0.0");
    EXPECT_EQ(window->TargetLabel->text(), "442.00");

    input->Deliver(Tone(CentsAbove(293.66, 0), 0.6));
    EXPECT_EQ(window->NoteLabel->text(), "D4");
    EXPECT_EQ(window->HoldLabel->text(), QString());
}

// The band turns with the signal's phase against the nearest note: still when
// in tune, a turn a second forward for a note 1 Hz sharp, backward when flat.
TEST_F(TunerWindowTest, StrobeDriftsAtTheBeatAgainstTheTargetAndStandsStillInTune)
{
    Open();
    const struct {
        double toneHz;
        double turnsPerSecond;
    } cases[] = {{440.0, 0.0}, {441.0, 1.0}, {439.5, -0.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.toneHz);
        const std::vector<int16_t> tone = Tone(c.toneHz, 1.2);
        const std::size_t settled = 44100 * 8 / 10;
        const std::size_t later = settled + 44100 / 5;  // 0.2 s on
        input->Deliver(std::span<const int16_t>(tone).first(settled));
        const double before = window->Strobe->PhaseTurns();
        input->Deliver(std::span<const int16_t>(tone).subspan(settled, later - settled));
        double turned = window->Strobe->PhaseTurns() - before;
        turned -= std::round(turned);
        EXPECT_NEAR(turned, c.turnsPerSecond * 0.2, 0.03);
    }
}

TEST_F(TunerWindowTest, PlaysTheTargetNoteUntilPressedAgainAndStopsWhenClosed)
{
    Open();
    input->Deliver(Tone(CentsAbove(440.0 * std::exp2(3.0 / 12), 20), 0.6));  // C5, sharp
    window->ToneButton->click();
    ASSERT_TRUE(tone->playingHz);
    EXPECT_NEAR(*tone->playingHz, 440.0 * std::exp2(3.0 / 12), 1e-6);
    window->ToneButton->click();
    EXPECT_FALSE(tone->playingHz);

    window->ToneButton->click();
    window->close();
    EXPECT_FALSE(tone->playingHz);
    EXPECT_FALSE(input->listener) << "a closed window lets the microphone go";
}

TEST_F(TunerWindowTest, ScalaFileErrorsNameTheLineAndChangeNothing)
{
    Open();
    const QString broken = WriteFile("broken.scl", "! broken\nBroken\n3\n100.0\nnot a number\n2/1\n");
    EXPECT_FALSE(window->LoadScalaFile(broken));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("broken.scl") && messages[0].contains("5")) << messages[0].toStdString();
    EXPECT_EQ(window->TemperamentCombo->currentIndex(), 0);

    QByteArray quarterTones = "Quarter tones\n 24\n";
    for (int step = 1; step < 24; ++step) {
        quarterTones += QByteArray::number(step * 50) + ".0\n";
    }
    const QString good = WriteFile("quarter.scl", quarterTones + "2/1\n");
    ASSERT_TRUE(window->LoadScalaFile(good));
    EXPECT_EQ(window->TemperamentCombo->currentText(), "Scala：quarter");

    // The next start finds the scale again.
    window.reset();
    Open();
    EXPECT_EQ(window->TemperamentCombo->currentText(), "Scala：quarter");
}

TEST_F(TunerWindowTest, CalibrationFromAKnownToneIsAppliedAndTooLargeOnesAreRefused)
{
    Open();
    EXPECT_FALSE(window->SetCalibrationPpm(25000.0));
    CalibrationDialog* dialog = window->OpenCalibration();
    dialog->KnownFrequency->setValue(440.0);

    // The card's clock runs 0.2 % fast: the reference reads low.
    dialog->StartButton->click();
    input->Deliver(Tone(440.0 / 1.002, CalibrationMeasurement::kSeconds + 0.2));
    QCoreApplication::processEvents();
    EXPECT_NEAR(window->CalibrationPpm(), 2000.0, 20.0);
    EXPECT_TRUE(window->CalibrationLabel->text().contains("已校准"));
    input->Deliver(Tone(442.0 / 1.002, 0.6));
    EXPECT_EQ(window->CentsLabel->text(), "+7.9");

    dialog->KnownFrequency->setValue(466.16);  // the wrong note for what sounds
    dialog->StartButton->click();
    input->Deliver(Tone(440.0, CalibrationMeasurement::kSeconds + 0.2));
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_NEAR(window->CalibrationPpm(), 2000.0, 20.0) << "the correction in force stays";

    window.reset();
    EXPECT_NEAR(TunerSettings().CalibrationPpm(), 2000.0, 20.0);
}

TEST_F(TunerWindowTest, SettingsLastFromOneRunToTheNext)
{
    Open();
    window->ReferenceSpin->setValue(415.0);
    window->TonicCombo->setCurrentIndex(3);
    window->ToleranceSpin->setValue(2.5);
    window->RememberPlacement();
    window.reset();

    TunerSettings settings;
    EXPECT_EQ(TunerSettings::UserFile(), config_.path() + "/Tonarel/Tonarel.conf");
    EXPECT_DOUBLE_EQ(settings.ReferenceHz(), 415.0);
    EXPECT_EQ(settings.TonicPitchClass(), 3);
    EXPECT_DOUBLE_EQ(settings.ToleranceCents(), 2.5);
    EXPECT_TRUE(settings.WindowOpen());

    Open();
    EXPECT_DOUBLE_EQ(window->ReferenceSpin->value(), 415.0);
    EXPECT_EQ(window->TonicCombo->currentText(), "E♭");
    EXPECT_TRUE(window->RestorePlacement());
}

TEST_F(TunerWindowTest, FirstPlaceIsRightOfTheOccupiedAreaAndOverlapsItWhereTheScreenIsTooNarrow)
{
    Open();
    window->hide();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int width = window->frameGeometry().width();
    const struct {
        int occupiedWidth;
        int expectedLeft;
    } cases[] = {
        {screen.width() - width, screen.width() - width},  // just fits
        {screen.width() - width / 2, screen.width() - width},  // overlaps, flush with the screen's edge
    };
    for (const auto& c : cases) {
        window->PlaceBeside(QRect(screen.left(), screen.top() + 30, c.occupiedWidth, 200));
        EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(screen.left() + c.expectedLeft, screen.top() + 30));
    }
}

TEST_F(TunerWindowTest, AnInputThatFailsIsExplainedInTheWindowAndTriedAgainAtTheNextOpening)
{
    input->startFailure = "没有找到录音设备：请接好麦克风，并检查系统的声音设置。";
    TunerWindow tuner(std::make_unique<LiveSoundInputStandIn>(input), std::make_unique<ReferenceToneStandIn>(tone),
                      TunerSettings::UserFile());
    QSignalSpy visibility(&tuner, &TunerWindow::VisibilityChanged);
    tuner.show();
    EXPECT_EQ(tuner.StatusLabel->text(), QString::fromStdString(*input->startFailure));
    EXPECT_TRUE(messages.empty()) << "no box: the window says it";
    tuner.close();
    input->startFailure.reset();
    tuner.show();
    EXPECT_TRUE(input->listener);
    EXPECT_TRUE(tuner.StatusLabel->text().isEmpty());
    EXPECT_EQ(visibility.size(), 3);
}

TEST_F(TunerWindowTest, ARunThatNeverOpensTheTunerWritesNoSettings)
{
    TunerWindow unopened(std::make_unique<LiveSoundInputStandIn>(input), std::make_unique<ReferenceToneStandIn>(tone),
                         TunerSettings::UserFile());
    unopened.RememberPlacement();
    EXPECT_FALSE(QFile::exists(TunerSettings::UserFile()));
}

TEST_F(TunerWindowTest, DamagedSettingsGiveTheDefaults)
{
    const QByteArray damaged[] = {
        QByteArray("\x00\xff\xfe garbage [[[ \n=\n", 20),
        "[Tuner]\nreferencePitch=1e400\ntemperament=nonsense\ntonic=12\ntolerance=-1\ncalibrationPpm=90000\n"
        "windowOpen=maybe\nwindowGeometry=@ByteArray(junk)\nscalaFile=/nowhere/x.scl\n",
        "[Tuner]\nreferencePitch=abc\ntonic=C\ntolerance=nan\ncalibrationPpm=inf\n",
    };
    for (const QByteArray& contents : damaged) {
        SCOPED_TRACE(contents.toStdString());
        QDir().mkpath(config_.path() + "/Tonarel");
        WriteFile("Tonarel/Tonarel.conf", contents);
        Open();
        EXPECT_DOUBLE_EQ(window->ReferenceSpin->value(), 440.0);
        EXPECT_EQ(window->TemperamentCombo->currentIndex(), 0);
        EXPECT_EQ(window->TonicCombo->currentIndex(), 0);
        EXPECT_DOUBLE_EQ(window->ToleranceSpin->value(), 1.0);
        EXPECT_EQ(window->CalibrationPpm(), 0.0);
        EXPECT_FALSE(window->WasOpenAtLastExit());
        EXPECT_FALSE(window->RestorePlacement());
        window.reset();
    }
}

}  // namespace
