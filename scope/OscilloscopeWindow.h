#pragma once
// The oscilloscope: draws the latest analysed sound segment as a waveform and
// shows its duration in milliseconds. It knows no other window: the shell
// hands it the samples of every analysis run.

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <cstdint>
#include <memory>

#include "forms/TonarelForm.h"
#include "scope/PaintBox.h"

namespace tonarel {

class OscilloscopeWindow : public TonarelForm {
    Q_OBJECT

public:
    /// A hidden window of the design size; the shell places it.
    OscilloscopeWindow();

    /// Takes `samples`, `byteCount` bytes of signed 16-bit mono samples at
    /// 44 100 per second, letting go of the buffer held before; shows their
    /// duration in durationValue and draws them over what the box shows,
    /// whatever "自动重画" says. A null buffer must come with a byteCount
    /// below 2. Example: 88 200 bytes show "1000".
    void ShowWaveform(std::shared_ptr<const int16_t[]> samples, uint32_t byteCount);

    /// Draws the held samples into waveformBox, over what it shows: one
    /// vertical stroke per sample from the centre row. Nothing without samples.
    void DrawWaveform();

    /// Erases waveformBox to the window colour, then runs its paint handler:
    /// what the system does when the box must be painted anew.
    void RepaintWaveformBox();

    // Design names (the objectName of each) in brackets.
    PaintBox* waveformBox;         ///< [PaintBox1]
    QFrame* statusPanel;           ///< [Panel1]
    QLabel* durationCaption;       ///< "波形长度（毫秒）：  "
    QLabel* durationValue;         ///< [Label2] the duration in milliseconds
    QPushButton* redrawButton;     ///< [BitBtn1] "重画"
    QCheckBox* autoRedrawBox;      ///< [CheckBox1] "自动重画", ticked at start

    /// Runs each time the box has been erased: draws when "自动重画" is ticked.
    void WaveformBoxPaint(QObject* sender);
    void RedrawButtonClick(QObject* sender);

public slots:
    /// A new analysis run's samples: ShowWaveform, then RepaintWaveformBox,
    /// so that the box shows the new waveform alone, or nothing without
    /// "自动重画".
    void ShowAnalysedSamples(std::shared_ptr<const int16_t[]> samples, uint32_t byteCount);

private:
    std::shared_ptr<const int16_t[]> samples_;
    uint32_t sampleBytes_ = 0;
};

}  // namespace tonarel
