#pragma once
// The pitch meter: records one note through the sound input, has it analysed,
// and shows its frequency, the signal-to-noise value used, its semitone index
// from A = 440 Hz and the deviation from that semitone. Every successful
// reading can go on to the temperament manager; the analysed samples go to
// the oscilloscope.
//
// The recording cycle: Button1 starts a take (the button is locked for its
// first half second, so that the estimator gets a quiet lead-in as its noise
// reference), Timer1 shows its length, and a second press saves it as
// "my.wav" in the working directory and analyses it (BitBtn2Click). The
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
#include "meter/LabeledEdit.h"
#include "meter/UpDown.h"
#include "meter/core/RecordingCycle.h"
#include "wave/CaptureDevice.h"

class TForm3 : public tonarel::TonarelForm {
    Q_OBJECT

    // The recording cycle on the wave-audio device (MediaPlayer1's part: the
    // real device unless a test replaced it); the device is closed, without
    // saving, when the window goes. Declared first: ReadyToRecord reads it.
    tonarel::RecordingCycle cycle_;

public:
    TForm3();
    ~TForm3() override;

    // The display group.
    QGroupBox* GroupBox1;  ///< "显示数据"
    QLabel* Label1;        ///< recording time in milliseconds
    QLabel* Label6;        ///< signal-to-noise value used, or "太小了！"
    QLabel* Label3;        ///< frequency in hertz, or "没有声音输入!   "
    QLabel* Label7;        ///< semitone index (0 = A 440 Hz; 120 = outside the table)
    QLabel* Label10;       ///< deviation in hundredths of the semitone's frequency

    // The options group.
    QGroupBox* GroupBox2;         ///< "选项"
    QCheckBox* CheckBox1;         ///< automatic segment length, ticked at start
    tonarel::LabeledEdit* LabeledEdit1;    ///< segment length in milliseconds, 10 to 4000
    tonarel::UpDown* UpDown1;              ///< 1 to 400, shown × 10 in LabeledEdit1
    QCheckBox* CheckBox2;         ///< automatic signal-to-noise ratio, ticked at start
    tonarel::LabeledEdit* LabeledEdit2;    ///< signal-to-noise ratio, 1 to 20
    tonarel::UpDown* UpDown2;              ///< 1 to 20
    QSlider* TrackBar1;           ///< divisor of the ratio, 2 to 6
    QLabel* Label11;              ///< "信噪比除数：  "
    QLineEdit* Edit1;             ///< shows the divisor
    QCheckBox* CheckBox4;         ///< "精确测量": the precise reading's frequency; unticked at start

    // Below the groups.
    QPushButton* Button1;  ///< starts and stops a recording
    QPushButton* BitBtn2;  ///< "刷新": analyses "my.wav" again
    QCheckBox* CheckBox3;  ///< "输入到音律管理器", unticked at start

    QTimer* Timer1;  ///< every 100 ms while recording

    /// True while idle: the next press of Button1 starts a recording. False
    /// while a recording runs: the next press stops it.
    const bool& ReadyToRecord;

    /// The equal-tempered notes from A = 440 Hz: entries 0..59 upwards,
    /// 60..119 downwards (entries 0 and 60 are both 440 Hz).
    uint32_t SemitoneCount = 0;
    std::vector<float> SemitoneTable;

    /// Places the window under the main window and the oscilloscope and
    /// builds the semitone table.
    void FormCreate(QObject* sender);

    /// One step of the recording cycle: deletes "my.wav", then starts a
    /// recording when idle, or stops, saves and analyses it. Throws
    /// tonarel::CaptureError when the device cannot open or start (the window
    /// stays idle) or the take cannot be saved (the window is idle again).
    void Button1Click(QObject* sender);
    /// Shows the recorded milliseconds; unlocks Button1 past 500 ms, or once
    /// the capture has not grown for ten ticks (it stalled). A take that can
    /// no longer be kept (a full disk) is stopped here as Button1 would stop
    /// it, and the reason thrown as tonarel::CaptureError.
    void Timer1Timer(QObject* sender);

    /// The analysis run: estimates the pitch of "my.wav" with the options as
    /// they stand, shows the reading, hands it to the temperament manager when
    /// CheckBox3 is ticked, and hands the analysed samples to the oscilloscope.
    /// With CheckBox4 ticked the frequency is the precise reading's; the
    /// estimator still decides whether there is a note, and a note the precise
    /// reading cannot stand behind reads as no sound.
    void BitBtn2Click(QObject* sender);

    void CheckBox1Click(QObject* sender);
    void CheckBox2Click(QObject* sender);
    void CheckBox3Click(QObject* sender);
    void UpDown1Click(QObject* sender);
    void UpDown2Click(QObject* sender);
    void TrackBar1Change(QObject* sender);
    /// Key filters of the segment and ratio fields: a typed character other
    /// than a digit or backspace is discarded (set to the null character).
    void LabeledEdit1KeyPress(QObject* sender, QChar& key);
    void LabeledEdit2KeyPress(QObject* sender, QChar& key);

    /// Test seam: replaces the wave-audio device (closing the one held).
    void ReplaceCaptureDevice(std::unique_ptr<tonarel::CaptureDevice> device);

private:
    void BuildDisplayGroup();
    void BuildOptionsGroup();
    void BuildButtonRow();
    void ConnectHandlers();
    void StartRecording();
    void StopRecording();
    void ShowIdleButton();
};

/// The pitch meter, from start-up to exit.
extern TForm3* Form3;
