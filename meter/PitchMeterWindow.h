#pragma once
// The pitch meter: records one note through the sound input, has it analysed,
// and shows its frequency, the signal-to-noise value used, its semitone index
// from A = 440 Hz and the deviation from that semitone. Every successful
// reading, and the analysed samples, are announced by signals; the shell
// connects them to the temperament manager and the oscilloscope. The window
// knows no other window.
//
// The recording cycle: recordButton starts a take (the button is locked for its
// first half second, so that the estimator gets a quiet lead-in as its noise
// reference), recordingTimer shows its length, and a second press saves it as
// "my.wav" in the working directory and analyses it (RefreshButtonClick). The
// cycle's steps and states are RecordingCycle's; the window turns them into
// captions, enabled buttons and the timer.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <vector>

#include "forms/TonarelForm.h"
#include "meter/core/RecordingCycle.h"
#include "meter/LabeledEdit.h"
#include "meter/UpDown.h"
#include "meter/ValueGroupBox.h"
#include "wave/CaptureDevice.h"

namespace tonarel {

class PitchMeterWindow : public TonarelForm {
    Q_OBJECT

    // The recording cycle on the wave-audio device (the real device unless a
    // test replaced it); the device is closed, without saving, when the window
    // goes. Declared first: ReadyToRecord reads it.
    RecordingCycle cycle_;

public:
    /// A hidden window of the design size with its semitone table built; the
    /// shell places it.
    PitchMeterWindow();
    ~PitchMeterWindow() override;

    // The display group. Design names (the objectName of each) in brackets.
    ValueGroupBox* displayGroup;  ///< [GroupBox1] "显示数据"; its values show their whole text
    QLabel* recordingTimeValue;   ///< [Label1] recording time in milliseconds
    QLabel* snrValue;             ///< [Label6] signal-to-noise value used, or "太小了！"
    QLabel* frequencyValue;       ///< [Label3] frequency in hertz, or "没有声音输入!   "
    QLabel* semitoneValue;        ///< [Label7] semitone index (0 = A 440 Hz; 120 = outside the table)
    QLabel* deviationValue;       ///< [Label10] deviation in hundredths of the semitone's frequency

    // The options group.
    QGroupBox* optionsGroup;      ///< [GroupBox2] "选项"
    QCheckBox* autoSegmentBox;    ///< [CheckBox1] automatic segment length, ticked at start
    LabeledEdit* segmentField;    ///< [LabeledEdit1] segment length in milliseconds, 10 to 4000
    UpDown* segmentSpinner;       ///< [UpDown1] 1 to 400, shown × 10 in segmentField
    QCheckBox* autoSnrBox;        ///< [CheckBox2] automatic signal-to-noise ratio, ticked at start
    LabeledEdit* snrField;        ///< [LabeledEdit2] signal-to-noise ratio, 1 to 20
    UpDown* snrSpinner;           ///< [UpDown2] 1 to 20
    QSlider* divisorSlider;       ///< [TrackBar1] divisor of the ratio, 2 to 6
    QLabel* divisorCaption;       ///< [Label11] "信噪比除数：  "
    QLineEdit* divisorField;      ///< [Edit1] shows the divisor
    QCheckBox* preciseBox;        ///< [CheckBox4] "精确测量": the precise reading's frequency; as last
                                  ///< left (platform/UserSettings.h), unticked the first time

    // Below the groups.
    QPushButton* recordButton;    ///< [Button1] starts and stops a recording
    QPushButton* refreshButton;   ///< [BitBtn2] "刷新": analyses "my.wav" again
    QCheckBox* forwardBox;        ///< [CheckBox3] "输入到音律管理器", unticked at start

    QTimer* recordingTimer;       ///< [Timer1] every 100 ms while recording

    /// True while idle: the next press of recordButton starts a recording.
    /// False while a recording runs: the next press stops it.
    const bool& ReadyToRecord;

    /// The equal-tempered notes from A = 440 Hz: entries 0..59 upwards,
    /// 60..119 downwards (entries 0 and 60 are both 440 Hz).
    uint32_t SemitoneCount = 0;
    std::vector<float> SemitoneTable;

    /// One step of the recording cycle: deletes "my.wav", then starts a
    /// recording when idle, or stops, saves and analyses it. Throws
    /// CaptureError when the device cannot open or start (the window stays
    /// idle) or the take cannot be saved (the window is idle again).
    void RecordButtonClick(QObject* sender);
    /// Shows the recorded milliseconds; unlocks recordButton past 500 ms, or
    /// once the capture has not grown for ten ticks (it stalled), giving it
    /// back the focus it had when the take started. A take that
    /// can no longer be kept (a full disk) is stopped here as recordButton
    /// would stop it, and the reason thrown as CaptureError.
    void RecordingTimerTick(QObject* sender);

    /// The analysis run: estimates the pitch of "my.wav" with the options as
    /// they stand and shows the reading; then emits readingTaken (and, with
    /// forwardBox ticked, readingForwarded) when there was sound, and
    /// samplesAnalysed always. With preciseBox ticked the frequency is the
    /// precise reading's; the estimator still decides whether there is a
    /// note, and a note the precise reading cannot stand behind reads as no
    /// sound.
    void RefreshButtonClick(QObject* sender);

    void AutoSegmentBoxClick(QObject* sender);
    void AutoSnrBoxClick(QObject* sender);
    /// Emits forwardingToggled with the box's new state.
    void ForwardBoxClick(QObject* sender);
    void SegmentSpinnerClick(QObject* sender);
    void SnrSpinnerClick(QObject* sender);
    void DivisorSliderChange(QObject* sender);
    /// Key filters of the segment and ratio fields: a typed character other
    /// than a digit or backspace is discarded (set to the null character).
    void SegmentFieldKeyPress(QObject* sender, QChar& key);
    void SnrFieldKeyPress(QObject* sender, QChar& key);

    /// Test seam: replaces the wave-audio device (closing the one held).
    void ReplaceCaptureDevice(std::unique_ptr<CaptureDevice> device);

public slots:
    /// The sound card's calibration as a factor on the precise reading's
    /// frequencies (1 + ppm / 10^6); 1, the default, changes nothing.
    void SetPreciseCorrection(double factor);
    /// Ticks or clears "输入到音律管理器". A new state runs ForwardBoxClick
    /// (and so emits forwardingToggled); the state it has changes nothing,
    /// which ends a mirror's exchange after one round.
    void SetForwarding(bool forward);

signals:
    /// A reading with sound was taken: its frequency in hertz as the meter
    /// keeps it (a float widened exactly), e.g. 440.000000 for A.
    void readingTaken(float hz);
    /// The same reading, when "输入到音律管理器" is ticked: it is meant for
    /// the temperament manager.
    void readingForwarded(float hz);
    /// The samples of every analysis run: the analysed segment, `byteCount`
    /// bytes of signed 16-bit mono samples at 44 100 per second; with no
    /// sound one silent sample (byteCount 2). The receiver may keep the
    /// buffer; the meter keeps nothing of it.
    void samplesAnalysed(std::shared_ptr<const int16_t[]> samples, uint32_t byteCount);
    /// "输入到音律管理器" was ticked (true) or cleared (false).
    void forwardingToggled(bool forward);
    /// A reading with sound was taken with "精确测量" ticked: the note's first
    /// partial in hertz, its fitted inharmonicity B and the partials used.
    void preciseReadingTaken(double firstPartialHz, double inharmonicity, unsigned partialCount);

private:
    void BuildDisplayGroup();
    void BuildOptionsGroup();
    void BuildButtonRow();
    /// Shows `text` in the value label `label`, widened to the whole text.
    void ShowValue(QLabel* label, const QString& text);
    void ConnectHandlers();
    void StartRecording();
    void StopRecording();
    void ShowIdleButton();

    bool focusBackOnUnlock_ = false;  ///< the record button had the focus when the take started
    double preciseCorrection_ = 1.0;  ///< the sound card's calibration, on precise readings only
};

}  // namespace tonarel
