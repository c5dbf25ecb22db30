#include "meter/Unit3.h"

#include <QStyle>
#include <exception>
#include <utility>

#include "forms/KeyPressFilter.h"
#include "forms/SystemColours.h"
#include "forms/UserLocale.h"
#include "forms/UserMessage.h"
#include "meter/core/RecordingAnalysis.h"
#include "meter/core/SemitoneTable.h"
#include "platform/AudioInputCaptureDevice.h"
#include "scope/Unit2.h"
#include "temperament/Unit4.h"
#include "wave/TakeFiles.h"

using namespace tonarel;

TForm3* Form3 = nullptr;

namespace {

const QString kStartCaption = QStringLiteral("开始录音");
const QString kStartHint = QStringLiteral("按下一秒后输入声音");
const QString kStopCaption = QStringLiteral("停止录音");
const QString kStopHint = QStringLiteral("声音输入完毕后请按下");

// Value labels are 46 × 13 and never grow: a long number is cut off at the
// right edge (a QLabel without word wrap clips without an ellipsis).
QLabel* MakeValueLabel(QWidget* parent, const char* name, QPoint position, bool reading)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setGeometry(QRect(position, QSize(46, 13)));
    if (reading) {
        QPalette colours = label->palette();
        // The reading's three values stand out: hot-track text on the caption
        // text colour.
        colours.setColor(QPalette::WindowText, kHotTrackColour);
        colours.setColor(QPalette::Window, kCaptionTextColour);
        label->setPalette(colours);
        label->setAutoFillBackground(true);
    }
    return label;
}

QLabel* MakeCaptionLabel(QWidget* parent, const QString& caption, QPoint position)
{
    auto* label = new QLabel(caption, parent);
    label->move(position);
    label->adjustSize();
    return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, QPoint position)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->move(position);
    box->adjustSize();
    return box;
}

}  // namespace

TForm3::TForm3()
    : TonarelForm(2, CloseBox::None, QSize(500, 278)),
      cycle_(std::make_unique<AudioInputCaptureDevice>(), ApplicationTakeFiles()),
      ReadyToRecord(cycle_.ReadyToRecord())
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("音准仪"));

    BuildDisplayGroup();
    BuildOptionsGroup();
    BuildButtonRow();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);

    // Every control has its design state before the handlers are connected,
    // so that setting it up runs none of them.
    ConnectHandlers();
    FormCreate(this);
}

TForm3::~TForm3()
{
    // A recording still running ends with the cycle's device, and nothing
    // is saved.
    Timer1->stop();
}

void TForm3::BuildDisplayGroup()
{
    GroupBox1 = new QGroupBox(QStringLiteral("显示数据"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 4, 193, 196);

    struct Row {
        QLabel** value;
        const char* name;
        const char* caption;
        const char* hint;
        bool reading;
    };
    const Row rows[] = {
        {&Label1, "Label1", kRecordingTimeCaption, nullptr, false},
        {&Label6, "Label6", kSnrCaption, nullptr, false},
        {&Label3, "Label3", kFrequencyCaption, "声音的频率", true},
        {&Label7, "Label7", kSemitoneCaption,
         "音高相对于标准音的半音个数，440MZ为0，高音第一个半音为1，低音为-1，依次类推", true},
        {&Label10, "Label10", kDeviationCaption, "相对于半音序号偏差音分，正为偏高，负为偏低", true},
    };
    int top = 28;
    for (const Row& row : rows) {
        MakeCaptionLabel(GroupBox1, QString::fromUtf8(row.caption), QPoint(12, top));
        *row.value = MakeValueLabel(GroupBox1, row.name, QPoint(134, top), row.reading);
        if (row.hint != nullptr) {
            (*row.value)->setToolTip(QString::fromUtf8(row.hint));
        }
        top += 33;
    }
}

void TForm3::BuildOptionsGroup()
{
    GroupBox2 = new QGroupBox(QStringLiteral("选项"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setToolTip(QStringLiteral("一般不要自行设置"));
    GroupBox2->setGeometry(209, 4, 283, 196);

    LabeledEdit1 = new LabeledEdit(QStringLiteral("声音片段长度（毫秒）  "), GroupBox2);
    LabeledEdit1->setObjectName(QStringLiteral("LabeledEdit1"));
    LabeledEdit1->setText(QStringLiteral("1000"));
    LabeledEdit1->setReadOnly(true);
    LabeledEdit1->Place(QRect(12, 38, 81, 21));
    LabeledEdit1->setEnabled(false);
    UpDown1 = new UpDown(GroupBox2);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->SetRange(1, 400);
    UpDown1->SetPosition(100);
    UpDown1->setGeometry(93, 38, 16, 21);
    UpDown1->setEnabled(false);
    CheckBox1 = MakeCheckBox(GroupBox2, "CheckBox1", QStringLiteral("自动侦测"), QPoint(140, 40));
    CheckBox1->setChecked(true);

    LabeledEdit2 = new LabeledEdit(QStringLiteral("信噪比    "), GroupBox2);
    LabeledEdit2->setObjectName(QStringLiteral("LabeledEdit2"));
    LabeledEdit2->setText(QStringLiteral("10"));
    LabeledEdit2->setReadOnly(true);
    LabeledEdit2->Place(QRect(12, 88, 81, 21));
    LabeledEdit2->setEnabled(false);
    UpDown2 = new UpDown(GroupBox2);
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    UpDown2->SetRange(1, 20);
    UpDown2->SetPosition(10);
    UpDown2->setGeometry(93, 88, 16, 21);
    UpDown2->setEnabled(false);
    CheckBox2 = MakeCheckBox(GroupBox2, "CheckBox2", QStringLiteral("自动侦测"), QPoint(140, 90));
    CheckBox2->setChecked(true);

    Label11 = MakeCaptionLabel(GroupBox2, QStringLiteral("信噪比除数：  "), QPoint(12, 126));
    Label11->setObjectName(QStringLiteral("Label11"));
    Edit1 = new QLineEdit(QStringLiteral("4"), GroupBox2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setGeometry(93, 122, 33, 21);

    // Beside the divisor, where the row has room.
    CheckBox4 = MakeCheckBox(GroupBox2, "CheckBox4", QStringLiteral("精确测量"), QPoint(140, 124));
    CheckBox4->setToolTip(QStringLiteral("用比标准方法更精确的方法测量声音的基音频率"));

    TrackBar1 = new QSlider(Qt::Horizontal, GroupBox2);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setToolTip(QStringLiteral("除数越小，精度越高，音色较杂时不应设得太小"));
    TrackBar1->setRange(2, 6);
    TrackBar1->setSingleStep(1);
    TrackBar1->setPageStep(2);  // Qt's default of 10 would jump from end to end
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(1);
    TrackBar1->setValue(4);
    TrackBar1->setGeometry(8, 150, 265, 36);
}

void TForm3::BuildButtonRow()
{
    Button1 = new QPushButton(kStartCaption, this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setToolTip(kStartHint);
    Button1->setGeometry(8, 208, 89, 25);

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("刷新"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setToolTip(QStringLiteral("重新分析音律数据"));
    BitBtn2->setGeometry(112, 208, 89, 25);
    BitBtn2->setEnabled(false);

    CheckBox3 = MakeCheckBox(this, "CheckBox3", QStringLiteral("输入到音律管理器") + QString(24, QLatin1Char(' ')),
                             QPoint(217, 212));
    CheckBox3->setToolTip(QStringLiteral("把每次得到的音律数据输入到音律管理器统一管理"));
}

void TForm3::ConnectHandlers()
{
    // Check boxes answer toggled only: setting one from code to a new state runs
    // its handler once, to the state it has runs nothing.
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { RunGuarded([this] { CheckBox1Click(CheckBox1); }); });
    connect(CheckBox2, &QCheckBox::toggled, this, [this] { RunGuarded([this] { CheckBox2Click(CheckBox2); }); });
    connect(CheckBox3, &QCheckBox::toggled, this, [this] { RunGuarded([this] { CheckBox3Click(CheckBox3); }); });
    connect(UpDown1, &UpDown::Click, this, [this] { RunGuarded([this] { UpDown1Click(UpDown1); }); });
    connect(UpDown2, &UpDown::Click, this, [this] { RunGuarded([this] { UpDown2Click(UpDown2); }); });
    connect(TrackBar1, &QSlider::valueChanged, this, [this] { RunGuarded([this] { TrackBar1Change(TrackBar1); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button1Click(Button1); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { RunGuarded([this] { BitBtn2Click(BitBtn2); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { RunGuarded([this] { Timer1Timer(Timer1); }); });
    new KeyPressFilter(LabeledEdit1, [this](QChar& key) { LabeledEdit1KeyPress(LabeledEdit1, key); });
    new KeyPressFilter(LabeledEdit2, [this](QChar& key) { LabeledEdit2KeyPress(LabeledEdit2, key); });
}

void TForm3::FormCreate(QObject* /*sender*/)
{
    SetOuterPosition(0, MainForm()->OuterHeight() + Form2->OuterHeight());
    SemitoneCount = kSemitoneCount;
    SemitoneTable.assign(SemitoneCount, 0.0f);
    BuildSemitoneTable(kReferencePitchHz, SemitoneTable);
}

void TForm3::Button1Click(QObject* /*sender*/)
{
    cycle_.DeleteTake();
    if (ReadyToRecord) {
        StartRecording();
    } else {
        StopRecording();
    }
}

void TForm3::StartRecording()
{
    // A take that fails to start leaves the window as it was: still idle, the
    // next press tries again.
    cycle_.Start();
    Timer1->start();
    Button1->setText(kStopCaption);
    Button1->setToolTip(kStopHint);
    Button1->setEnabled(false);
    BitBtn2->setEnabled(false);
}

void TForm3::StopRecording()
{
    // The window returns to idle whatever fails on the way; the failure is
    // reported once everything is in order again.
    std::exception_ptr failure = cycle_.Stop();
    Timer1->stop();
    try {
        BitBtn2Click(this);
    } catch (...) {
        if (!failure) {
            failure = std::current_exception();
        }
    }
    ShowIdleButton();
    BitBtn2->setEnabled(true);
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TForm3::ShowIdleButton()
{
    Button1->setText(kStartCaption);
    Button1->setToolTip(kStartHint);
    Button1->setEnabled(true);
}

void TForm3::Timer1Timer(QObject* /*sender*/)
{
    const RecordingCycle::Poll poll = cycle_.PollPosition();
    Label1->setText(QString::number(poll.shownMilliseconds));
    if (poll.stopUnlocked) {
        Button1->setEnabled(true);
    }
    if (poll.takeLost) {
        // Waiting for the musician's stop would only hide that nothing more
        // is being recorded: the take ends here as a stop would end it, and
        // the stop's failed save is the one message.
        StopRecording();
    }
}

void TForm3::BitBtn2Click(QObject* /*sender*/)
{
    tonarel::AnalysisOptions options;
    options.segmentMilliseconds = CheckBox1->isChecked() ? 0 : LabeledEdit1->text().toUInt();
    options.givenSnr = CheckBox2->isChecked() ? 0 : LabeledEdit2->text().toUInt();
    options.divisor = static_cast<uint32_t>(TrackBar1->value());
    options.precise = CheckBox4->isChecked();
    tonarel::RecordingAnalysis reading =
        tonarel::AnalyseRecording(cycle_.Files().take, options, SemitoneTable, UserDecimalSeparator());

    // With no sound the index and deviation keep the last reading.
    if (reading.deviationText) {
        Label10->setText(QString::fromStdString(*reading.deviationText));
    }
    if (reading.semitoneText) {
        Label7->setText(QString::fromStdString(*reading.semitoneText));
    }
    Label3->setText(QString::fromStdString(reading.frequencyText));
    Label6->setText(QString::fromStdString(reading.snrText));
    if (!reading.noSound && CheckBox3->isChecked()) {
        Form4->AddReading(reading.frequency);
    }
    Form2->ShowWaveform(std::move(reading.samples), reading.byteCount);
    Form2->RepaintPaintBox1();
}

void TForm3::CheckBox1Click(QObject* /*sender*/)
{
    const bool manual = !CheckBox1->isChecked();
    LabeledEdit1->setEnabled(manual);
    UpDown1->setEnabled(manual);
}

void TForm3::CheckBox2Click(QObject* /*sender*/)
{
    const bool manual = !CheckBox2->isChecked();
    LabeledEdit2->setEnabled(manual);
    UpDown2->setEnabled(manual);
}

void TForm3::CheckBox3Click(QObject* /*sender*/)
{
    // The manager mirrors its box back; it is then already in this state, so
    // the exchange ends there.
    Form4->CheckBox2->setChecked(CheckBox3->isChecked());
}

void TForm3::UpDown1Click(QObject* /*sender*/)
{
    LabeledEdit1->setText(QString::number(UpDown1->Position() * 10));
}

void TForm3::UpDown2Click(QObject* /*sender*/)
{
    LabeledEdit2->setText(QString::number(UpDown2->Position()));
}

void TForm3::TrackBar1Change(QObject* /*sender*/)
{
    Edit1->setText(QString::number(TrackBar1->value()));
}

void TForm3::LabeledEdit1KeyPress(QObject* /*sender*/, QChar& key)
{
    DiscardAllButDigitsAndBackspace(key);
}

void TForm3::LabeledEdit2KeyPress(QObject* /*sender*/, QChar& key)
{
    DiscardAllButDigitsAndBackspace(key);
}

void TForm3::ReplaceCaptureDevice(std::unique_ptr<tonarel::CaptureDevice> device)
{
    cycle_.ReplaceDevice(std::move(device));
}
