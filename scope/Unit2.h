#pragma once
// The oscilloscope: draws the latest analysed sound segment as a waveform and
// shows its duration in milliseconds.

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <cstdint>
#include <memory>

#include "forms/TonarelForm.h"
#include "scope/PaintBox.h"

class TForm2 : public tonarel::TonarelForm {
    Q_OBJECT

public:
    TForm2();

    /// Takes over `samples`, `byteCount` bytes of signed 16-bit mono samples
    /// at 44 100 per second, releasing the buffer held before; shows their
    /// duration in Label2 and draws them over what the box shows, whatever
    /// "自动重画" says. The caller keeps nothing. A null buffer must come with
    /// a byteCount below 2.
    void ShowWaveform(std::unique_ptr<int16_t[]> samples, uint32_t byteCount);

    /// Draws the held samples into PaintBox1, over what it shows: one
    /// vertical stroke per sample from the centre row. Nothing without samples.
    void DrawWaveform();

    /// Erases PaintBox1 to the window colour, then runs its paint handler:
    /// what the system does when the box must be painted anew. The pitch
    /// meter calls this after handing over a new buffer.
    void RepaintPaintBox1();

    /// The buffer held (owned by the window) and its length in bytes.
    const int16_t* HeldSamples() const { return Samples.get(); }
    uint32_t HeldSampleBytes() const { return SampleBytes; }

    tonarel::PaintBox* PaintBox1;
    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Label2;         ///< the duration in milliseconds
    QPushButton* BitBtn1;   ///< "重画"
    QCheckBox* CheckBox1;   ///< "自动重画", ticked at start

    void FormCreate(QObject* sender);
    /// Runs each time the box has been erased: draws when "自动重画" is ticked.
    void PaintBox1Paint(QObject* sender);
    void BitBtn1Click(QObject* sender);

private:
    std::unique_ptr<int16_t[]> Samples;
    uint32_t SampleBytes = 0;
};

/// The oscilloscope, from start-up to exit.
extern TForm2* Form2;
