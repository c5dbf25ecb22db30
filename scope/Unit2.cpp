#include "scope/Unit2.h"

#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/UserMessage.h"
#include "scope/core/WaveformDuration.h"
#include "scope/core/WaveformStrokes.h"

using namespace tonarel;

TForm2* Form2 = nullptr;

TForm2::TForm2() : TonarelForm(1, CloseBox::None, QSize(500, 173))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("示波器"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PaintBox1 = new PaintBox(this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    layout->addWidget(PaintBox1, 1);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(28);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(Panel1);

    Label1 = new QLabel(QStringLiteral("波形长度（毫秒）：  "), Panel1);
    Label1->move(32, 8);
    Label1->adjustSize();
    Label2 = new QLabel(QStringLiteral("0"), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(168, 8);
    Label2->adjustSize();
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("重画"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(216, 3, 75, 24);
    CheckBox1 = new QCheckBox(QStringLiteral("自动重画"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->move(328, 6);
    CheckBox1->setChecked(true);
    CheckBox1->adjustSize();

    connect(BitBtn1, &QPushButton::clicked, this, [this] { RunGuarded([this] { BitBtn1Click(BitBtn1); }); });
    connect(PaintBox1, &PaintBox::NeedsRepaint, this, [this] { RunGuarded([this] { RepaintPaintBox1(); }); });

    FormCreate(this);
}

void TForm2::FormCreate(QObject* /*sender*/)
{
    SetOuterPosition(0, PrimaryScreenSize().height() / 5);
}

void TForm2::ShowWaveform(std::unique_ptr<int16_t[]> samples, uint32_t byteCount)
{
    Samples = std::move(samples);  // releases the buffer held before
    SampleBytes = byteCount;
    Label2->setText(QString::number(tonarel::WaveformDurationMilliseconds(SampleBytes)));
    Label2->adjustSize();
    DrawWaveform();
}

void TForm2::DrawWaveform()
{
    if (SampleBytes == 0 || Samples == nullptr) {
        return;
    }
    QImage& canvas = PaintBox1->Canvas();
    const std::vector<tonarel::StrokeRun> runs =
        tonarel::ComputeStrokeRuns(Samples.get(), SampleBytes, canvas.width(), canvas.height());
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
    PaintBox1->update();
}

void TForm2::RepaintPaintBox1()
{
    PaintBox1->Erase(palette().color(QPalette::Window));
    PaintBox1Paint(PaintBox1);
}

void TForm2::PaintBox1Paint(QObject* /*sender*/)
{
    if (CheckBox1->isChecked()) {
        DrawWaveform();
    }
}

void TForm2::BitBtn1Click(QObject* /*sender*/)
{
    DrawWaveform();
}
