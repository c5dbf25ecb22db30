#pragma once
// The tuner 调音器: listens all the time it is shown and reads the note being
// played many times a second, as a note name, the deviation in real cents
// from the nearest note of the chosen tuning system, the frequencies, a
// verdict, a needle and a strobe band. When the note ends, its last steady
// reading stays, marked "（保持）", until the next note.
//
// For the program's top (the shell):
//   - Create it once, after the other windows: `new tuner::TunerWindow()`.
//     It reads its settings from TunerSettings::UserFile().
//   - Place it: `if (!window->RestorePlacement()) window->PlaceBeside(occupied)`,
//     `occupied` being the temperament manager's outer rectangle.
//   - Show it at start-up only when `window->WasOpenAtLastExit()`; the menu
//     item "调音器" and its tool button call `window->ShowInFront()`.
//   - Before exit, while the windows are still as the user left them, call
//     `window->RememberPlacement()`.
//   - VisibilityChanged tells when it is shown or closed (its close box only
//     hides it).
// It does not know the other windows.

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/LiveSoundInput.h"
#include "platform/ReferenceTone.h"
#include "tuner/core/LiveTracker.h"
#include "tuner/core/ScalaScale.h"
#include "tuner/core/StrobePhase.h"
#include "tuner/core/Temperaments.h"
#include "tuner/core/TuningSystem.h"

class QComboBox;
class QDoubleSpinBox;
class QPushButton;

namespace tonarel::tuner {

class CalibrationDialog;
class CentsNeedle;
class StrobeBand;
class TunerSettings;

class TunerWindow final : public QWidget {
    Q_OBJECT

public:
    /// The desktop's sound input and output, and the user's settings file.
    TunerWindow();
    /// Any input, reference tone and settings file (tests).
    TunerWindow(std::unique_ptr<LiveSoundInput> input, std::unique_ptr<ReferenceTone> tone,
                const QString& settingsFile);
    ~TunerWindow() override;

    // The reading: each value label has its caption label to its left.
    QLabel* NoteLabel;       ///< "音名：": "A4", "C♯5", or a Scala degree "7/19 +1"
    QLabel* HoldLabel;       ///< "（保持）" while a held reading is shown, else empty
    QLabel* CentsLabel;      ///< "偏差（音分）：": "+7.9", "-3.2", "0.0"
    QLabel* FrequencyLabel;  ///< "频率（赫兹）：": "442.00"
    QLabel* TargetLabel;     ///< "目标频率（赫兹）：": "440.00"
    QLabel* VerdictLabel;    ///< "判断：": "偏高", "偏低" or "准确"
    CentsNeedle* Needle;
    StrobeBand* Strobe;

    // The settings, applied at once and kept.
    QDoubleSpinBox* ReferenceSpin;   ///< "标准音 A4（赫兹）：" 400.00 to 480.00
    QComboBox* TemperamentCombo;     ///< "律制：" the built-in temperaments, then the loaded Scala scale
    QComboBox* TonicCombo;           ///< "主音：" C, C♯, D, E♭, E, F, F♯, G, G♯, A, B♭, B
    QDoubleSpinBox* ToleranceSpin;   ///< "容差（音分）：" 0.1 to 25.0
    QPushButton* LoadScalaButton;    ///< "载入 Scala 文件…"
    QPushButton* ToneButton;         ///< "播放参考音" / "停止参考音"
    QPushButton* CalibrateButton;    ///< "校准声卡…"
    QLabel* CalibrationLabel;        ///< the correction in force, or "未校准"
    QLabel* StatusLabel;             ///< why the input does not listen, and other notes; empty when all is well

    /// Loads a Scala scale and makes it the temperament. A broken or
    /// unreadable file is shown in the error box with its line, and nothing
    /// changes. Returns whether it was loaded.
    bool LoadScalaFile(const QString& path);

    /// The calibration in force, in ppm (0 for none).
    double CalibrationPpm() const { return calibrationPpm_; }
    /// Applies and keeps a correction; beyond ±2 % it is refused (false).
    bool SetCalibrationPpm(double ppm);

    /// The tuning system the readings are made in.
    const tuning::TuningSystem& System() const { return system_; }

    /// Shows the window in front of the others, not minimised.
    void ShowInFront();
    /// Places the window, by its outer rectangle, in the free area right of
    /// `occupied` (an outer rectangle), top-aligned with it; where the screen
    /// is too narrow it overlaps `occupied` so as to stay on the screen.
    void PlaceBeside(QRect occupied);
    /// Puts the window where the user last left it; false when no usable
    /// placement was kept (first start, a damaged setting).
    bool RestorePlacement();
    /// Whether the window was open when the program last ended.
    bool WasOpenAtLastExit() const;
    /// Keeps whether the window is open and where it is, for the next start.
    /// A run in which the window was never shown, after one that ended with it
    /// closed, writes nothing.
    void RememberPlacement();

    /// Opens the calibration dialog (non-modal; the window keeps reading).
    CalibrationDialog* OpenCalibration();

public slots:
    /// A piano's stretch: cents added to the targets of piano keys 1 to 88
    /// (A0 to C8) in twelve-note systems, until cleared.
    void SetStretchTarget(const std::array<double, 88>& centsByKey);
    void ClearStretchTarget();

signals:
    void VisibilityChanged(bool visible);
    /// A note has ended: its steady first partial (the median of its last
    /// readings), the inharmonicity and partial count of its last reading, and
    /// the MIDI number of the nearest note (-1 outside twelve-note systems).
    /// Once per note.
    void SteadyNoteRead(double firstPartialHz, double inharmonicity, unsigned partialCount, int midi);
    /// The note being read now changed (MIDI number; only in twelve-note systems).
    void NoteFollowed(int midi);
    /// The reference pitch in force changed (hertz).
    void ReferencePitchChanged(double hz);
    /// The sound card's calibration changed: the factor on every frequency
    /// read, 1 + ppm / 10^6 (1 for none).
    void CalibrationChanged(double factor);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildReading(QWidget* area);
    void BuildSettings(QWidget* area);
    void ConnectHandlers();
    void ApplyStoredSettings();

    void StartListening();
    void StopListening() noexcept;
    void TakeBlock(std::span<const int16_t> block) noexcept;
    void TakeReading(const LiveReading& reading);
    void RebuildSystem();
    void ShowReading();
    void ShowStrobe();
    void ToggleTone();
    void ChooseScalaFile();
    void ShowCalibration();

    std::unique_ptr<LiveSoundInput> input_;
    std::unique_ptr<ReferenceTone> tone_;
    std::unique_ptr<TunerSettings> settings_;

    LiveTracker tracker_;
    StrobePhase strobe_;
    std::vector<LiveReading> readings_;
    tuning::TuningSystem system_;
    std::optional<tuning::ScalaScale> scala_;
    QString scalaName_;
    QString scalaPath_;
    double calibrationPpm_ = 0;

    /// The frequency shown, held or live; nothing before the first note.
    std::optional<double> shownHz_;
    bool held_ = false;
    /// The latest readings of the note sounding now, for a steady held value.
    std::deque<double> recentHz_;
    /// The note the reference tone plays, by index of the tuning system.
    std::optional<int> toneIndex_;

    /// Open while the user calibrates; it deletes itself when closed.
    QPointer<CalibrationDialog> calibration_;
    bool everShown_ = false;
    /// The last found reading of the note sounding now (for its inharmonicity).
    LiveReading lastFound_;
    std::optional<int> followedMidi_;
    std::optional<std::array<double, 88>> stretch_;
};

}  // namespace tonarel::tuner
