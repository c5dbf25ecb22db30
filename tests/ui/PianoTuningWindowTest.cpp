// The piano tuning window: choosing keys, taking readings, the curve handed
// to the tuner, and the piano file commands with their questions.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineSeries>
#include <QMessageBox>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <vector>

#include "forms/FileDialogRunner.h"
#include "forms/UserMessage.h"
#include "piano/AverageGrand.h"
#include "piano/StretchCurve.h"
#include "pianotuning/KeyboardStrip.h"
#include "pianotuning/PianoDocument.h"
#include "pianotuning/PianoTuningWindow.h"
#include "pianotuning/StretchChart.h"
#include "tests/support/WindowSetTest.h"
#include "tuner/core/PitchNames.h"

using namespace tonarel;
using namespace tonarel::pianotuning;

namespace {

/// A dozen keys spread over the keyboard, one in the lowest octave and two
/// above F♯6, as the guide asks a tuner to measure.
constexpr int kDozenKeys[] = {4, 11, 20, 28, 37, 45, 49, 56, 63, 70, 77, 84};

class PianoTuningWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(directory.isValid());
        SetUserMessageHandler([this](UserMessageKind kind, const QString& text) { messages.emplace_back(kind, text); });
        SetFileDialogHandler([this](const QFileDialog& dialog) -> std::optional<QString> {
            dialogsShown.push_back(dialog.objectName());
            if (fileAnswers.empty()) {
                ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
                return std::nullopt;
            }
            std::optional<QString> answer = fileAnswers.front();
            fileAnswers.pop_front();
            return answer;
        });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void TearDown() override
    {
        SetFileDialogHandler({});
        SetUserMessageHandler({});
        EXPECT_TRUE(fileAnswers.empty()) << "a file dialog the test expected did not open";
    }

    QString PathOf(const char* name) const { return directory.filePath(QString::fromLatin1(name)); }

    /// Plays `key` as a piano on the average grand's curve would sound it,
    /// with the tuner reading the note `heardKey`.
    void Play(int key, int heardKey = 0)
    {
        const double hz = piano::AverageGrandStretchCurve().TargetHz(key, 440.0) * 1.0005;
        window.TakeLiveReading(hz, piano::AverageGrandInharmonicity(key), 12,
                               piano::MidiOfKey(heardKey == 0 ? key : heardKey));
    }

    void MeasureDozen()
    {
        for (int key : kDozenKeys) {
            window.ChooseKey(key);
            Play(key);
        }
    }

    /// Answers the next question box by its standard button.
    static void AnswerQuestion(QMessageBox::StandardButton button)
    {
        AnswerNextModal([button](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            box->button(button)->click();
        });
    }

    QTemporaryDir directory;
    PianoTuningWindow window;
    std::vector<std::pair<UserMessageKind, QString>> messages;
    std::deque<std::optional<QString>> fileAnswers;
    std::vector<QString> dialogsShown;
};

TEST_F(PianoTuningWindowTest, ClickingTheStripChoosesTheKeyUnderThePointer)
{
    KeyboardStrip& strip = window.Keyboard();
    // A0, A♯0 (black), C4, C♯4 (black), D4, C8.
    for (int key : {1, 2, 40, 41, 42, 88}) {
        const QRectF rect = strip.KeyRect(key);
        // The lower part of a white key, which no black key covers.
        const QPoint point(static_cast<int>(rect.center().x()), static_cast<int>(rect.bottom() - 4));
        QTest::mouseClick(&strip, Qt::LeftButton, {}, point);
        EXPECT_EQ(window.ChosenKey(), key) << "key " << key;
        EXPECT_EQ(strip.ChosenKey(), key);
    }
}

TEST_F(PianoTuningWindowTest, ReadingsOfADozenKeysReplaceTheAverageCurveByTheMeasuredOne)
{
    const StretchChart& chart = window.Chart();
    EXPECT_EQ(chart.TargetCurve()->count(), 88);
    EXPECT_EQ(chart.TargetCurve()->name(), QString::fromUtf8(kAverageCurveName));
    EXPECT_FALSE(window.NoticesText().isEmpty());

    for (int i = 0; i < 12; ++i) {
        window.ChooseKey(kDozenKeys[i]);
        Play(kDozenKeys[i]);
        EXPECT_EQ(chart.MeasuredDeviations()->count(), i + 1);
        EXPECT_EQ(chart.MeasuredInharmonicity()->count(), i + 1);
        const bool fitted = i + 1 >= piano::kLeastFittedKeys;
        EXPECT_EQ(window.Document().Curve().source == piano::InharmonicitySource::kMeasured, fitted) << i + 1;
    }
    EXPECT_EQ(chart.TargetCurve()->name(), QString::fromUtf8(kMeasuredCurveName));
    EXPECT_EQ(chart.TargetCurve()->count(), 88);
    EXPECT_EQ(chart.FittedInharmonicity()->count(), 88);
    EXPECT_TRUE(window.NoticesText().isEmpty()) << window.NoticesText().toStdString();
    EXPECT_TRUE(window.Document().IsModified());
    // Played 0.87 cents sharp of the average grand, which the fit gives back closely.
    EXPECT_TRUE(window.KeyVerdictText().contains(QStringLiteral("测得 − 目标 = +0.9 音分")))
        << window.KeyVerdictText().toStdString();
    EXPECT_TRUE(messages.empty());
}

TEST_F(PianoTuningWindowTest, AReadingOfAnotherNoteIsStoredOnlyWhenConfirmed)
{
    struct Row {
        QMessageBox::StandardButton answer;
        std::size_t readingsOfChosenKey;
    };
    for (const Row& row : {Row{QMessageBox::No, 0}, Row{QMessageBox::Yes, 1}}) {
        window.Document().ClearKey(49);
        window.ChooseKey(49);
        AnswerQuestion(row.answer);
        Play(49, 50);
        EXPECT_EQ(window.Document().Measurements().Readings(49).size(), row.readingsOfChosenKey);
        EXPECT_TRUE(window.Document().Measurements().Readings(50).empty());
    }
    // The precise reading's nearest key is its own: no question.
    window.TakePreciseReading(440.5, 4e-4, 20);
    EXPECT_EQ(window.Document().Measurements().Readings(49).size(), 2u);
    // A reading that is no piano string is refused with a message.
    window.TakePreciseReading(440.0, 0.5, 20);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Warning);
    // A hidden window takes no readings.
    window.hide();
    Play(49);
    EXPECT_EQ(window.Document().Measurements().Readings(49).size(), 2u);
}

TEST_F(PianoTuningWindowTest, FollowingTheTunerChoosesItsNote)
{
    window.FollowNote(60);
    EXPECT_EQ(window.ChosenKey(), 49);
    window.FollowTunerBox()->setChecked(true);
    window.FollowNote(60);
    EXPECT_EQ(window.ChosenKey(), 40);
    window.FollowNote(10);  // below A0
    EXPECT_EQ(window.ChosenKey(), 40);
}

TEST_F(PianoTuningWindowTest, TheStretchTargetCarriesTheCurveWhileTicked)
{
    std::vector<KeyCents> sent;
    int cleared = 0;
    QObject::connect(&window, &PianoTuningWindow::StretchTargetChanged,
                     [&](const KeyCents& cents) { sent.push_back(cents); });
    QObject::connect(&window, &PianoTuningWindow::StretchTargetCleared, [&] { ++cleared; });

    window.StretchTargetBox()->setChecked(true);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][48], 0.0);
    EXPECT_EQ(sent[0], piano::AverageGrandStretchCurve().targetCents);

    MeasureDozen();
    // Sent again once the readings changed the curve, and only then.
    EXPECT_GE(sent.size(), 2u);
    EXPECT_LE(sent.size(), 6u);
    EXPECT_EQ(sent.back(), window.Document().Curve().targetCents);
    EXPECT_EQ(sent.back()[48], 0.0);

    window.StretchTargetBox()->setChecked(false);
    EXPECT_EQ(cleared, 1);
    const std::size_t sentBefore = sent.size();
    window.ChooseKey(30);
    Play(30);
    EXPECT_EQ(sent.size(), sentBefore);
}

TEST_F(PianoTuningWindowTest, SavedPianoOpensAgainAndExportsAsCsv)
{
    MeasureDozen();
    fileAnswers = {PathOf("grand")};
    EXPECT_TRUE(window.SaveFileAs());
    EXPECT_TRUE(QFile::exists(PathOf("grand.piano.json")));
    EXPECT_FALSE(window.Document().IsModified());

    // Save As onto an existing file asks first; No leaves it alone.
    window.ChooseKey(30);
    Play(30);
    fileAnswers = {PathOf("grand.piano.json")};
    AnswerQuestion(QMessageBox::No);
    EXPECT_FALSE(window.SaveFileAs());
    EXPECT_TRUE(window.Document().IsModified());
    // Save writes to the document's file without a dialog.
    EXPECT_TRUE(window.SaveFile());
    EXPECT_FALSE(window.Document().IsModified());

    fileAnswers = {PathOf("grand.csv")};
    window.ExportCsv();
    QFile csv(PathOf("grand.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().count('\n'), 89);

    PianoTuningWindow other;
    other.show();
    fileAnswers = {PathOf("grand.piano.json")};
    other.OpenFile();
    EXPECT_EQ(other.Document().Measurements(), window.Document().Measurements());
    EXPECT_EQ(other.Document().Curve().targetCents, window.Document().Curve().targetCents);
    EXPECT_EQ(other.Chart().MeasuredDeviations()->count(), 13);
    EXPECT_FALSE(other.Document().IsModified());
    EXPECT_TRUE(messages.empty());
}

TEST_F(PianoTuningWindowTest, ARefusedFileChangesNothing)
{
    MeasureDozen();
    fileAnswers = {PathOf("mine.piano.json")};
    ASSERT_TRUE(window.SaveFile());
    const piano::PianoFileContents before = window.Document().Contents();

    const char* const badFiles[] = {
        "not json at all",
        R"({"format": "someone-else", "version": 1})",
        R"({"format": "tonarel-piano", "version": 2, "reference_hz": 440, "readings": []})",
    };
    for (const char* text : badFiles) {
        messages.clear();
        QFile bad(PathOf("bad.piano.json"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write(text);
        bad.close();
        fileAnswers = {PathOf("bad.piano.json")};
        window.OpenFile();
        ASSERT_EQ(messages.size(), 1u) << text;
        EXPECT_EQ(messages[0].first, UserMessageKind::Error);
        EXPECT_TRUE(messages[0].second.contains(QStringLiteral("无法打开钢琴文件"))) << text;
        EXPECT_EQ(window.Document().Measurements(), before.measurements);
        EXPECT_EQ(window.Document().Curve().targetCents, before.curve.targetCents);
        EXPECT_EQ(window.Document().FilePath(), QFile::encodeName(PathOf("mine.piano.json")).toStdString());
    }
}

TEST_F(PianoTuningWindowTest, UnsavedReadingsAreAskedAboutBeforeOpening)
{
    struct Row {
        QMessageBox::StandardButton answer;
        bool dialogOpens;
    };
    for (const Row& row : {Row{QMessageBox::Cancel, false}, Row{QMessageBox::Discard, true}}) {
        dialogsShown.clear();
        Play(49);
        ASSERT_TRUE(window.Document().IsModified());
        AnswerNextModal([&row](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->button(QMessageBox::Discard)->text(), QStringLiteral("不保存"));
            box->button(row.answer)->click();
        });
        if (row.dialogOpens) {
            fileAnswers = {std::nullopt};  // then cancelled
        }
        window.OpenFile();
        EXPECT_EQ(dialogsShown.size(), row.dialogOpens ? 1u : 0u);
        EXPECT_TRUE(window.Document().IsModified());
    }
}

}  // namespace
