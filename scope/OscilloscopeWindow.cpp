#include "scope/OscilloscopeWindow.h"

#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/UserMessage.h"
#include "platform/HelpKey.h"
#include "platform/HelpViewer.h"
#include "scope/core/WaveformDuration.h"
#include "scope/core/WaveformStrokes.h"

namespace tonarel {

OscilloscopeWindow::OscilloscopeWindow() : TonarelForm(1, CloseBox::None, QSize(500, 173))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("示波器"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    waveformBox = new PaintBox(this);
    waveformBox->setObjectName(QStringLiteral("PaintBox1"));
    layout->addWidget(waveformBox, 1);

    statusPanel = new QFrame(this);
    statusPanel->setObjectName(QStringLiteral("Panel1"));
    statusPanel->setFixedHeight(28);
    statusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(statusPanel);

    durationCaption = new QLabel(QStringLiteral("波形长度（毫秒）：  "), statusPanel);
    durationCaption->move(32, 8);
    durationCaption->adjustSize();
    durationValue = new QLabel(QStringLiteral("0"), statusPanel);
    durationValue->setObjectName(QStringLiteral("Label2"));
    durationValue->move(168, 8);
    durationValue->adjustSize();
    redrawButton = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("重画"), statusPanel);
    redrawButton->setObjectName(QStringLiteral("BitBtn1"));
    redrawButton->setGeometry(216, 3, 75, 24);
    autoRedrawBox = new QCheckBox(QStringLiteral("自动重画"), statusPanel);
    autoRedrawBox->setObjectName(QStringLiteral("CheckBox1"));
    autoRedrawBox->move(328, 6);
    autoRedrawBox->setChecked(true);
    autoRedrawBox->adjustSize();

    connect(redrawButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { RedrawButtonClick(redrawButton); }); });
    InstallHelpKey(*this, kOscilloscopeHelpContext);
    connect(waveformBox, &PaintBox::NeedsRepaint, this, [this] { RunGuarded([this] { RepaintWaveformBox(); }); });
}

void OscilloscopeWindow::ShowWaveform(std::shared_ptr<const int16_t[]> samples, uint32_t byteCount)
{
    samples_ = std::move(samples);  // releases the buffer held before
    sampleBytes_ = byteCount;
    durationValue->setText(QString::number(WaveformDurationMilliseconds(sampleBytes_)));
    durationValue->adjustSize();
    DrawWaveform();
}

void OscilloscopeWindow::DrawWaveform()
{
    if (sampleBytes_ == 0 || samples_ == nullptr) {
        return;
    }
    QImage& canvas = waveformBox->Canvas();
    const std::vector<StrokeRun> runs =
        ComputeStrokeRuns(samples_.get(), sampleBytes_, canvas.width(), canvas.height());
    // The runs may reach past the box; the canvas ends at its edges.
    const int lastRow = canvas.height() - 1;
    QPainter painter(&canvas);
    for (int x = 0; x < static_cast<int>(runs.size()); ++x) {
        const int top = std::max(runs[x].top, 0);
        const int bottom = std::min(runs[x].bottom, lastRow);
        if (top <= bottom) {
            painter.fillRect(x, top, 1, bottom - top + 1, Qt::black);
        }
    }
    waveformBox->update();
}

void OscilloscopeWindow::RepaintWaveformBox()
{
    waveformBox->Erase(palette().color(QPalette::Window));
    WaveformBoxPaint(waveformBox);
}

void OscilloscopeWindow::WaveformBoxPaint(QObject* /*sender*/)
{
    if (autoRedrawBox->isChecked()) {
        DrawWaveform();
    }
}

void OscilloscopeWindow::RedrawButtonClick(QObject* /*sender*/)
{
    DrawWaveform();
}

void OscilloscopeWindow::ShowAnalysedSamples(std::shared_ptr<const int16_t[]> samples, uint32_t byteCount)
{
    ShowWaveform(std::move(samples), byteCount);
    RepaintWaveformBox();
}

}  // namespace tonarel
