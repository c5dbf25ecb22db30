#pragma once
// The window 钢琴调律: a piano's stretch measured key by key and shown as its
// target curve, which the tuner can take as its target.
//
// The user chooses the key to measure on the keyboard strip (or lets the
// strip follow the note the tuner hears) and plays it; the shell hands the
// tuner's steady reading or the pitch meter's precise reading to the slots
// below, which store it for the chosen key, refit and redraw. The file
// commands (打开…, 保存, 另存为…, 导出 CSV…) act on the window's
// PianoDocument, the one owner of the piano file.
//
// What the shell connects:
//   tuner's steady reading     -> TakeLiveReading(f1 Hz, B, partials, midi)
//   pitch meter's precise one  -> TakePreciseReading(f1 Hz, B, partials)
//   tuner's current note       -> FollowNote(midi)
//   reference pitch (A4)       -> SetReferencePitch(Hz)
//   StretchTargetChanged(cents) -> tuner's TuningSystem::SetKeyOffsets
//   StretchTargetCleared()      -> tuner's TuningSystem::ClearKeyOffsets
//
// Readings arrive only while the window is shown: a hidden window takes none,
// so that tuning with the tuner alone never adds readings by surprise.

#include <QString>
#include <QWidget>
#include <array>

#include "piano/PianoMeasurements.h"

class QCheckBox;
class QFileDialog;
class QLabel;
class QPushButton;

namespace tonarel::pianotuning {

class KeyboardStrip;
class PianoDocument;
class StretchChart;

/// Cents from equal temperament per key, key 1 (A0) at index 0, A4 (index
/// 48) at 0.
using KeyCents = std::array<double, 88>;

class PianoTuningWindow : public QWidget {
    Q_OBJECT

public:
    /// A top-level window (no parent) with a piano not yet measured: the
    /// average grand's curve, A4 chosen, A4 at 440 Hz.
    explicit PianoTuningWindow(QWidget* parent = nullptr);

    PianoDocument& Document() { return *document_; }
    const PianoDocument& Document() const { return *document_; }
    KeyboardStrip& Keyboard() { return *keyboard_; }
    StretchChart& Chart() { return *chart_; }

    /// The key being measured, 1 (A0) to 88 (C8).
    int ChosenKey() const { return chosenKey_; }
    /// Chooses key `key` (1 to 88; others ignored), as a click on the strip does.
    void ChooseKey(int key);

    /// The window's controls, for the shell's menu and for tests.
    QCheckBox* FollowTunerBox() const { return followTuner_; }
    QCheckBox* StretchTargetBox() const { return stretchTarget_; }
    QPushButton* OpenButton() const { return openButton_; }
    QPushButton* SaveButton() const { return saveButton_; }
    QPushButton* SaveAsButton() const { return saveAsButton_; }
    QPushButton* ExportButton() const { return exportButton_; }
    /// "measured - target" of the chosen key, or why there is none.
    QString KeyVerdictText() const;
    /// The notices about the curve (one per line), empty for a measured curve.
    QString NoticesText() const;

    /// Asks whether unsaved readings should be saved first (保存/不保存/取消)
    /// and saves them when asked to. True when the caller may go on (saved,
    /// not wanted, or nothing to save); false after 取消 or a failed save.
    /// The shell calls it before the program ends.
    bool MaySetPianoAside();

public slots:
    /// The tuner's steady reading of note `midi`: its first partial (Hz),
    /// inharmonicity B (0 when not measured) and the partials it used.
    /// Stored for the chosen key, after a question when `midi` is another key.
    void TakeLiveReading(double firstPartialHz, double inharmonicity, unsigned partialCount, int midi);
    /// The pitch meter's precise reading; stored for the chosen key, after a
    /// question when the nearest key to `firstPartialHz` is another one.
    void TakePreciseReading(double firstPartialHz, double inharmonicity, unsigned partialCount);
    /// The note the tuner hears (MIDI); chooses its key while "跟随调音器"
    /// is ticked. Notes off the keyboard are ignored.
    void FollowNote(int midi);
    /// The pitch of A4 in hertz (400 to 480; others are ignored).
    void SetReferencePitch(double hz);

    /// The file commands, as the buttons run them; a failure is shown in a
    /// message box, never thrown.
    void OpenFile();
    /// Saves to the document's file, or asks for one when it has none.
    /// True when saved.
    bool SaveFile();
    bool SaveFileAs();
    void ExportCsv();

signals:
    /// "按伸张曲线调律" is ticked, or the curve changed while it is: the
    /// tuner's target for each piano key is `centsByKey` from equal temperament.
    void StretchTargetChanged(const tonarel::pianotuning::KeyCents& centsByKey);
    /// "按伸张曲线调律" was unticked: back to the tuner's own temperament.
    void StretchTargetCleared();

private:
    void BuildControls();
    void ShowDocument();
    void ShowChosenKey();
    void OnStretchTargetToggled(bool checked);
    /// Stores a reading read as `readKey` for the chosen key, asking first
    /// when they differ.
    void StoreReading(double firstPartialHz, double inharmonicity, unsigned partialCount, int readKey);
    /// A name from `dialog` (empty after a cancel), asking before an
    /// existing file is replaced when `replacing` is true.
    QString AskFileName(QFileDialog& dialog, const QString& offered, bool replacing);
    bool SaveTo(const QString& fileName);
    void ExportCsvGuarded();

    PianoDocument* document_;
    KeyboardStrip* keyboard_;
    StretchChart* chart_;
    QCheckBox* followTuner_;
    QCheckBox* stretchTarget_;
    QLabel* fileLabel_;
    QLabel* keyLabel_;
    QLabel* verdictLabel_;
    QLabel* curveLabel_;
    QLabel* noticesLabel_;
    QPushButton* openButton_;
    QPushButton* saveButton_;
    QPushButton* saveAsButton_;
    QPushButton* exportButton_;
    QPushButton* clearKeyButton_;
    QFileDialog* openDialog_;
    QFileDialog* saveDialog_;
    QFileDialog* csvDialog_;
    int chosenKey_ = 49;
    /// True while a question about a reading is open: readings arriving
    /// meanwhile are dropped rather than stacking up questions.
    bool asking_ = false;
    /// The curve last handed to the tuner, so that an unchanged curve is not
    /// sent again.
    KeyCents sentCurve_{};
    bool curveSent_ = false;
};

}  // namespace tonarel::pianotuning
