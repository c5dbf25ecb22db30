#include "meter/PitchMeterWindow.h"

#include <cmath>

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
#include "platform/HelpKey.h"
#include "platform/HelpViewer.h"
#include "platform/UserSettings.h"
#include "wave/TakeFiles.h"

namespace tonarel {

namespace {

const QString kStartCaption = QStringLiteral("开始录音");
const QString kStartHint = QStringLiteral("按下一秒后输入声音");
const QString kStopCaption = QStringLiteral("停止录音");
const QString kStopHint = QStringLiteral("声音输入完毕后请按下");

// Value labels are 46 × 13 at design size; a longer text widens its label
// (ValueGroupBox::ShowValue), so that no figure is cut off.
constexpr int kValueLabelWidth = 46;

QLabel* MakeValueLabel(QWidget* parent, const char* name, QPoint position, bool reading)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setGeometry(QRect(position, QSize(kValueLabelWidth, 13)));
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

PitchMeterWindow::PitchMeterWindow()
    : TonarelForm(2, CloseBox::None, QSize(500, 278)),
      cycle_(std::make_unique<AudioInputCaptureDevice>(), ApplicationTakeFiles()),
      ReadyToRecord(cycle_.ReadyToRecord())
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("音准仪"));

    BuildDisplayGroup();
    BuildOptionsGroup();
    BuildButtonRow();
    // A grown value lies over the options group, not under it.
    displayGroup->raise();

    // Remembered across runs; set before the handlers are connected, so
    // that restoring it writes nothing.
    preciseBox->setChecked(RememberedPreciseMeasurement());

    recordingTimer = new QTimer(this);
    recordingTimer->setObjectName(QStringLiteral("Timer1"));
    recordingTimer->setInterval(100);

    // Every control has its design state before the handlers are connected,
    // so that setting it up runs none of them.
    ConnectHandlers();

    SemitoneCount = kSemitoneCount;
    SemitoneTable.assign(SemitoneCount, 0.0f);
    BuildSemitoneTable(kReferencePitchHz, SemitoneTable);
}

PitchMeterWindow::~PitchMeterWindow()
{
    // A recording still running ends with the cycle's device, and nothing
    // is saved.
    recordingTimer->stop();
}

void PitchMeterWindow::BuildDisplayGroup()
{
    // The values may grow to the window's right margin, over the options
    // group beside the frame.
    const QRect frame(8, 4, 193, 196);
    displayGroup = new ValueGroupBox(QStringLiteral("显示数据"), frame, width() - frame.x() - frame.x(), this);
    displayGroup->setObjectName(QStringLiteral("GroupBox1"));

    struct Row {
        QLabel** value;
        const char* name;
        const char* caption;
        const char* hint;
        bool reading;
    };
    const Row rows[] = {
        {&recordingTimeValue, "Label1", kRecordingTimeCaption, nullptr, false},
        {&snrValue, "Label6", kSnrCaption, nullptr, false},
        {&frequencyValue, "Label3", kFrequencyCaption, "声音的频率", true},
        {&semitoneValue, "Label7", kSemitoneCaption,
         "音高相对于标准音的半音个数，440MZ为0，高音第一个半音为1，低音为-1，依次类推", true},
        {&deviationValue, "Label10", kDeviationCaption, "相对于半音序号偏差音分，正为偏高，负为偏低", true},
    };
    int top = 28;
    for (const Row& row : rows) {
        MakeCaptionLabel(displayGroup, QString::fromUtf8(row.caption), QPoint(12, top));
        *row.value = MakeValueLabel(displayGroup, row.name, QPoint(134, top), row.reading);
        if (row.hint != nullptr) {
            (*row.value)->setToolTip(QString::fromUtf8(row.hint));
        }
        top += 33;
    }
}

void PitchMeterWindow::ShowValue(QLabel* label, const QString& text)
{
    displayGroup->ShowValue(label, text, kValueLabelWidth);
}

void PitchMeterWindow::BuildOptionsGroup()
{
    optionsGroup = new QGroupBox(QStringLiteral("选项"), this);
    optionsGroup->setObjectName(QStringLiteral("GroupBox2"));
    optionsGroup->setToolTip(QStringLiteral("一般不要自行设置"));
    optionsGroup->setGeometry(209, 4, 283, 196);

    segmentField = new LabeledEdit(QStringLiteral("声音片段长度（毫秒）  "), optionsGroup);
    segmentField->setObjectName(QStringLiteral("LabeledEdit1"));
    segmentField->setText(QStringLiteral("1000"));
    segmentField->setReadOnly(true);
    segmentField->Place(QRect(12, 38, 81, 21));
    segmentField->setEnabled(false);
    segmentSpinner = new UpDown(optionsGroup);
    segmentSpinner->setObjectName(QStringLiteral("UpDown1"));
    segmentSpinner->SetRange(1, 400);
    segmentSpinner->SetPosition(100);
    segmentSpinner->setGeometry(93, 38, 16, 21);
    segmentSpinner->setEnabled(false);
    autoSegmentBox = MakeCheckBox(optionsGroup, "CheckBox1", QStringLiteral("自动侦测"), QPoint(140, 40));
    autoSegmentBox->setChecked(true);

    snrField = new LabeledEdit(QStringLiteral("信噪比    "), optionsGroup);
    snrField->setObjectName(QStringLiteral("LabeledEdit2"));
    snrField->setText(QStringLiteral("10"));
    snrField->setReadOnly(true);
    snrField->Place(QRect(12, 88, 81, 21));
    snrField->setEnabled(false);
    snrSpinner = new UpDown(optionsGroup);
    snrSpinner->setObjectName(QStringLiteral("UpDown2"));
    snrSpinner->SetRange(1, 20);
    snrSpinner->SetPosition(10);
    snrSpinner->setGeometry(93, 88, 16, 21);
    snrSpinner->setEnabled(false);
    autoSnrBox = MakeCheckBox(optionsGroup, "CheckBox2", QStringLiteral("自动侦测"), QPoint(140, 90));
    autoSnrBox->setChecked(true);

    divisorCaption = MakeCaptionLabel(optionsGroup, QStringLiteral("信噪比除数：  "), QPoint(12, 126));
    divisorCaption->setObjectName(QStringLiteral("Label11"));
    divisorField = new QLineEdit(QStringLiteral("4"), optionsGroup);
    divisorField->setObjectName(QStringLiteral("Edit1"));
    divisorField->setReadOnly(true);
    divisorField->setGeometry(93, 122, 33, 21);

    // Beside the divisor, where the row has room.
    preciseBox = MakeCheckBox(optionsGroup, "CheckBox4", QStringLiteral("精确测量"), QPoint(140, 124));
    preciseBox->setToolTip(QStringLiteral("用比标准方法更精确的方法测量声音的基音频率"));

    divisorSlider = new QSlider(Qt::Horizontal, optionsGroup);
    divisorSlider->setObjectName(QStringLiteral("TrackBar1"));
    divisorSlider->setToolTip(QStringLiteral("除数越小，精度越高，音色较杂时不应设得太小"));
    divisorSlider->setRange(2, 6);
    divisorSlider->setSingleStep(1);
    divisorSlider->setPageStep(2);  // Qt's default of 10 would jump from end to end
    divisorSlider->setTickPosition(QSlider::TicksBelow);
    divisorSlider->setTickInterval(1);
    divisorSlider->setValue(4);
    divisorSlider->setGeometry(8, 150, 265, 36);
}

void PitchMeterWindow::BuildButtonRow()
{
    recordButton = new QPushButton(kStartCaption, this);
    recordButton->setObjectName(QStringLiteral("Button1"));
    recordButton->setToolTip(kStartHint);
    recordButton->setGeometry(8, 208, 89, 25);

    refreshButton = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("刷新"), this);
    refreshButton->setObjectName(QStringLiteral("BitBtn2"));
    refreshButton->setToolTip(QStringLiteral("重新分析音律数据"));
    refreshButton->setGeometry(112, 208, 89, 25);
    refreshButton->setEnabled(false);

    forwardBox = MakeCheckBox(this, "CheckBox3", QStringLiteral("输入到音律管理器") + QString(24, QLatin1Char(' ')),
                             QPoint(217, 212));
    forwardBox->setToolTip(QStringLiteral("把每次得到的音律数据输入到音律管理器统一管理"));
}

void PitchMeterWindow::ConnectHandlers()
{
    // Check boxes answer toggled only: setting one from code to a new state runs
    // its handler once, to the state it has runs nothing.
    connect(autoSegmentBox, &QCheckBox::toggled, this, [this] { RunGuarded([this] { AutoSegmentBoxClick(autoSegmentBox); }); });
    connect(autoSnrBox, &QCheckBox::toggled, this, [this] { RunGuarded([this] { AutoSnrBoxClick(autoSnrBox); }); });
    connect(forwardBox, &QCheckBox::toggled, this, [this] { RunGuarded([this] { ForwardBoxClick(forwardBox); }); });
    connect(segmentSpinner, &UpDown::Click, this, [this] { RunGuarded([this] { SegmentSpinnerClick(segmentSpinner); }); });
    connect(snrSpinner, &UpDown::Click, this, [this] { RunGuarded([this] { SnrSpinnerClick(snrSpinner); }); });
    connect(divisorSlider, &QSlider::valueChanged, this, [this] { RunGuarded([this] { DivisorSliderChange(divisorSlider); }); });
    connect(preciseBox, &QCheckBox::toggled, this,
            [](bool ticked) { RunGuarded([ticked] { RememberPreciseMeasurement(ticked); }); });
    connect(recordButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { RecordButtonClick(recordButton); }); });
    connect(refreshButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { RefreshButtonClick(refreshButton); }); });
    connect(recordingTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { RecordingTimerTick(recordingTimer); }); });
    InstallHelpKey(*this, kPitchMeterHelpContext);
    new KeyPressFilter(segmentField, [this](QChar& key) { SegmentFieldKeyPress(segmentField, key); });
    new KeyPressFilter(snrField, [this](QChar& key) { SnrFieldKeyPress(snrField, key); });
}

void PitchMeterWindow::RecordButtonClick(QObject* /*sender*/)
{
    cycle_.DeleteTake();
    if (ReadyToRecord) {
        StartRecording();
    } else {
        StopRecording();
    }
}

void PitchMeterWindow::StartRecording()
{
    // A take that fails to start leaves the window as it was: still idle, the
    // next press tries again.
    cycle_.Start();
    recordingTimer->start();
    recordButton->setText(kStopCaption);
    recordButton->setToolTip(kStopHint);
    // A disabled button passes its focus on to the next control, which a
    // second Space would then change ("输入到音律管理器"): the window holds
    // the focus while the stop is locked and gives it back at the unlock.
    focusBackOnUnlock_ = recordButton->hasFocus();
    if (focusBackOnUnlock_) {
        setFocus(Qt::OtherFocusReason);
    }
    recordButton->setEnabled(false);
    refreshButton->setEnabled(false);
}

void PitchMeterWindow::StopRecording()
{
    // The window returns to idle whatever fails on the way; the failure is
    // reported once everything is in order again.
    std::exception_ptr failure = cycle_.Stop();
    recordingTimer->stop();
    try {
        RefreshButtonClick(this);
    } catch (...) {
        if (!failure) {
            failure = std::current_exception();
        }
    }
    ShowIdleButton();
    refreshButton->setEnabled(true);
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void PitchMeterWindow::ShowIdleButton()
{
    recordButton->setText(kStartCaption);
    recordButton->setToolTip(kStartHint);
    recordButton->setEnabled(true);
}

void PitchMeterWindow::RecordingTimerTick(QObject* /*sender*/)
{
    const RecordingCycle::Poll poll = cycle_.PollPosition();
    ShowValue(recordingTimeValue, QString::number(poll.shownMilliseconds));
    if (poll.stopUnlocked && !recordButton->isEnabled()) {
        recordButton->setEnabled(true);
        if (focusBackOnUnlock_) {
            recordButton->setFocus(Qt::OtherFocusReason);
            focusBackOnUnlock_ = false;
        }
    }
    if (poll.takeLost) {
        // Waiting for the musician's stop would only hide that nothing more
        // is being recorded: the take ends here as a stop would end it, and
        // the stop's failed save is the one message.
        StopRecording();
    }
}

void PitchMeterWindow::RefreshButtonClick(QObject* /*sender*/)
{
    AnalysisOptions options;
    options.segmentMilliseconds = autoSegmentBox->isChecked() ? 0 : segmentField->text().toUInt();
    options.givenSnr = autoSnrBox->isChecked() ? 0 : snrField->text().toUInt();
    options.divisor = static_cast<uint32_t>(divisorSlider->value());
    options.precise = preciseBox->isChecked();
    options.preciseCorrection = preciseCorrection_;
    RecordingAnalysis reading =
        AnalyseRecording(cycle_.Files().take, options, SemitoneTable, UserDecimalSeparator());

    // With no sound the index and deviation keep the last reading.
    if (reading.deviationText) {
        ShowValue(deviationValue, QString::fromStdString(*reading.deviationText));
    }
    if (reading.semitoneText) {
        ShowValue(semitoneValue, QString::fromStdString(*reading.semitoneText));
    }
    ShowValue(frequencyValue, QString::fromStdString(reading.frequencyText));
    ShowValue(snrValue, QString::fromStdString(reading.snrText));
    if (!reading.noSound) {
        emit readingTaken(reading.frequency);
        if (forwardBox->isChecked()) {
            emit readingForwarded(reading.frequency);
        }
        if (reading.precise && reading.precise->found) {
            emit preciseReadingTaken(reading.precise->firstPartialHz, reading.precise->inharmonicity,
                                     reading.precise->partialCount);
        }
    }
    emit samplesAnalysed(std::move(reading.samples), reading.byteCount);
}

void PitchMeterWindow::AutoSegmentBoxClick(QObject* /*sender*/)
{
    const bool manual = !autoSegmentBox->isChecked();
    segmentField->setEnabled(manual);
    segmentSpinner->setEnabled(manual);
}

void PitchMeterWindow::AutoSnrBoxClick(QObject* /*sender*/)
{
    const bool manual = !autoSnrBox->isChecked();
    snrField->setEnabled(manual);
    snrSpinner->setEnabled(manual);
}

void PitchMeterWindow::ForwardBoxClick(QObject* /*sender*/)
{
    emit forwardingToggled(forwardBox->isChecked());
}

void PitchMeterWindow::SegmentSpinnerClick(QObject* /*sender*/)
{
    segmentField->setText(QString::number(segmentSpinner->Position() * 10));
}

void PitchMeterWindow::SnrSpinnerClick(QObject* /*sender*/)
{
    snrField->setText(QString::number(snrSpinner->Position()));
}

void PitchMeterWindow::DivisorSliderChange(QObject* /*sender*/)
{
    divisorField->setText(QString::number(divisorSlider->value()));
}

void PitchMeterWindow::SegmentFieldKeyPress(QObject* /*sender*/, QChar& key)
{
    DiscardAllButDigitsAndBackspace(key);
}

void PitchMeterWindow::SnrFieldKeyPress(QObject* /*sender*/, QChar& key)
{
    DiscardAllButDigitsAndBackspace(key);
}

void PitchMeterWindow::ReplaceCaptureDevice(std::unique_ptr<CaptureDevice> device)
{
    cycle_.ReplaceDevice(std::move(device));
}

void PitchMeterWindow::SetForwarding(bool forward)
{
    forwardBox->setChecked(forward);
}

void PitchMeterWindow::SetPreciseCorrection(double factor)
{
    // Calibrations beyond ±2 % are refused where they are measured; a factor
    // outside that is no calibration at all.
    preciseCorrection_ = std::isfinite(factor) && factor >= 0.98 && factor <= 1.02 ? factor : 1.0;
}

}  // namespace tonarel
