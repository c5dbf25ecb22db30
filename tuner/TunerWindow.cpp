#include "tuner/TunerWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

#include "forms/FileDialogRunner.h"
#include "forms/UserLocale.h"
#include "forms/UserMessage.h"
#include "platform/AudioLiveSoundInput.h"
#include "platform/AudioReferenceTone.h"
#include "platform/HelpKey.h"
#include "platform/HelpViewer.h"
#include "tuner/CalibrationDialog.h"
#include "tuner/CentsNeedle.h"
#include "tuner/StrobeBand.h"
#include "tuner/TunerSettings.h"
#include "tuner/TunerTexts.h"
#include "tuner/core/PitchNames.h"

namespace tonarel::tuner {

namespace {

const QString kHoldText = QStringLiteral("（保持）");
const QString kPlayToneText = QStringLiteral("播放参考音");
/// How many of the latest readings a held value is the median of.
constexpr std::size_t kSteadyReadings = 5;

// Sizes in pixels, so that the readings can be read from an instrument's
// distance whatever the desktop's font.
constexpr int kCaptionPixels = 18;
constexpr int kValuePixels = 30;
constexpr int kNotePixels = 44;

QLabel* MakeCaption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(kCaptionPixels);
    label->setFont(font);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// Value labels keep no accessible name of their own: screen readers then
// read their text.
QLabel* MakeValue(const char* name, int pixels, const QString& widest, QWidget* parent)
{
    auto* label = new QLabel(kNoValueText, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPixelSize(pixels);
    font.setBold(true);
    label->setFont(font);
    // Wide enough for the widest value, so that the layout never jumps.
    label->setMinimumWidth(QFontMetrics(font).horizontalAdvance(widest) + 8);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

std::filesystem::path FileSystemPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

double Median(std::deque<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

TunerWindow::TunerWindow()
    : TunerWindow(std::make_unique<AudioLiveSoundInput>(), std::make_unique<AudioReferenceTone>(),
                  TunerSettings::UserFile())
{
}

TunerWindow::TunerWindow(std::unique_ptr<LiveSoundInput> input, std::unique_ptr<ReferenceTone> tone,
                         const QString& settingsFile)
    : QWidget(nullptr, Qt::Window),
      input_(std::move(input)),
      tone_(std::move(tone)),
      settings_(std::make_unique<TunerSettings>(settingsFile))
{
    setObjectName(QStringLiteral("TunerWindow"));
    setWindowTitle(QStringLiteral("调音器"));

    auto* readingArea = new QWidget(this);
    BuildReading(readingArea);
    auto* settingsArea = new QGroupBox(QStringLiteral("设置"), this);
    BuildSettings(settingsArea);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(readingArea, 1);
    layout->addWidget(settingsArea, 0);

    ApplyStoredSettings();
    ConnectHandlers();
    InstallHelpKey(*this, kTunerHelpContext);
    resize(sizeHint());
}

TunerWindow::~TunerWindow()
{
    StopListening();
    tone_->Stop();
}

void TunerWindow::BuildReading(QWidget* area)
{
    NoteLabel = MakeValue("NoteLabel", kNotePixels, QStringLiteral("C♯88"), area);
    HoldLabel = new QLabel(area);
    HoldLabel->setObjectName(QStringLiteral("HoldLabel"));
    QFont holdFont = HoldLabel->font();
    holdFont.setPixelSize(kCaptionPixels);
    HoldLabel->setFont(holdFont);
    HoldLabel->setMinimumWidth(QFontMetrics(holdFont).horizontalAdvance(kHoldText) + 4);
    CentsLabel = MakeValue("CentsLabel", kValuePixels, QStringLiteral("-888.8"), area);
    FrequencyLabel = MakeValue("FrequencyLabel", kValuePixels, QStringLiteral("88888.88"), area);
    TargetLabel = MakeValue("TargetLabel", kValuePixels, QStringLiteral("88888.88"), area);
    VerdictLabel = MakeValue("VerdictLabel", kValuePixels, QStringLiteral("准确准"), area);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    auto* noteRow = new QHBoxLayout;
    noteRow->addWidget(NoteLabel);
    noteRow->addWidget(HoldLabel);
    noteRow->addStretch();
    grid->addWidget(MakeCaption(QStringLiteral("音名："), area), 0, 0);
    grid->addLayout(noteRow, 0, 1);
    const std::pair<QString, QLabel*> rows[] = {
        {QStringLiteral("偏差（音分）："), CentsLabel},
        {QStringLiteral("频率（赫兹）："), FrequencyLabel},
        {QStringLiteral("目标频率（赫兹）："), TargetLabel},
        {QStringLiteral("判断："), VerdictLabel},
    };
    int row = 1;
    for (const auto& [caption, value] : rows) {
        grid->addWidget(MakeCaption(caption, area), row, 0);
        grid->addWidget(value, row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);

    Needle = new CentsNeedle(area);
    Needle->setObjectName(QStringLiteral("Needle"));
    Strobe = new StrobeBand(area);
    Strobe->setObjectName(QStringLiteral("Strobe"));
    Strobe->setToolTip(QStringLiteral("频闪条纹：音准时静止，偏高时向右移动，偏低时向左移动"));

    StatusLabel = new QLabel(area);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setWordWrap(true);

    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addWidget(Needle);
    layout->addWidget(Strobe);
    layout->addWidget(StatusLabel);
    layout->addStretch();
}

void TunerWindow::BuildSettings(QWidget* area)
{
    ReferenceSpin = new QDoubleSpinBox(area);
    ReferenceSpin->setObjectName(QStringLiteral("ReferenceSpin"));
    ReferenceSpin->setRange(tuning::kLowestReferenceHz, tuning::kHighestReferenceHz);
    ReferenceSpin->setDecimals(2);
    ReferenceSpin->setSingleStep(1.0);
    ReferenceSpin->setValue(tuning::kDefaultReferenceHz);

    TemperamentCombo = new QComboBox(area);
    TemperamentCombo->setObjectName(QStringLiteral("TemperamentCombo"));
    TemperamentCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // a Scala name added later shows whole
    for (const tuning::Temperament& temperament : tuning::BuiltInTemperaments()) {
        TemperamentCombo->addItem(QString::fromUtf8(temperament.chineseName.data(),
                                                    static_cast<qsizetype>(temperament.chineseName.size())),
                                  QString::fromUtf8(temperament.commandName.data(),
                                                    static_cast<qsizetype>(temperament.commandName.size())));
    }

    TonicCombo = new QComboBox(area);
    TonicCombo->setObjectName(QStringLiteral("TonicCombo"));
    for (int pitchClass = 0; pitchClass < 12; ++pitchClass) {
        const std::string_view name = tuning::TonicName(pitchClass);
        TonicCombo->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), pitchClass);
    }

    ToleranceSpin = new QDoubleSpinBox(area);
    ToleranceSpin->setObjectName(QStringLiteral("ToleranceSpin"));
    ToleranceSpin->setRange(kLowestToleranceCents, kHighestToleranceCents);
    ToleranceSpin->setDecimals(1);
    ToleranceSpin->setSingleStep(0.5);
    ToleranceSpin->setValue(kDefaultToleranceCents);

    LoadScalaButton = new QPushButton(QStringLiteral("载入 Scala 文件…"), area);
    LoadScalaButton->setObjectName(QStringLiteral("LoadScalaButton"));
    LoadScalaButton->setToolTip(QStringLiteral("从 Scala 音阶文件（.scl）载入律制"));
    ToneButton = new QPushButton(kPlayToneText, area);
    ToneButton->setObjectName(QStringLiteral("ToneButton"));
    ToneButton->setToolTip(QStringLiteral("播放当前目标音，再按一次停止"));
    CalibrateButton = new QPushButton(QStringLiteral("校准声卡…"), area);
    CalibrateButton->setObjectName(QStringLiteral("CalibrateButton"));
    CalibrationLabel = new QLabel(area);
    CalibrationLabel->setObjectName(QStringLiteral("CalibrationLabel"));
    CalibrationLabel->setWordWrap(true);

    auto* form = new QFormLayout(area);
    form->addRow(QStringLiteral("标准音 A4（赫兹）："), ReferenceSpin);
    form->addRow(QStringLiteral("律制："), TemperamentCombo);
    form->addRow(QStringLiteral("主音："), TonicCombo);
    form->addRow(QStringLiteral("容差（音分）："), ToleranceSpin);
    form->addRow(LoadScalaButton);
    form->addRow(ToneButton);
    form->addRow(CalibrateButton);
    form->addRow(CalibrationLabel);
}

void TunerWindow::ConnectHandlers()
{
    connect(ReferenceSpin, &QDoubleSpinBox::valueChanged, this, [this](double hz) {
        RunGuarded([this, hz] {
            settings_->SetReferenceHz(hz);
            RebuildSystem();
        });
    });
    connect(TemperamentCombo, &QComboBox::currentIndexChanged, this, [this] {
        RunGuarded([this] {
            settings_->SetTemperament(TemperamentCombo->currentData().toString());
            RebuildSystem();
        });
    });
    connect(TonicCombo, &QComboBox::currentIndexChanged, this, [this] {
        RunGuarded([this] {
            settings_->SetTonicPitchClass(TonicCombo->currentData().toInt());
            RebuildSystem();
        });
    });
    connect(ToleranceSpin, &QDoubleSpinBox::valueChanged, this, [this](double cents) {
        RunGuarded([this, cents] {
            settings_->SetToleranceCents(cents);
            Needle->SetToleranceCents(cents);
            ShowReading();
        });
    });
    connect(LoadScalaButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { ChooseScalaFile(); }); });
    connect(ToneButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { ToggleTone(); }); });
    connect(CalibrateButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { OpenCalibration(); }); });
}

void TunerWindow::ApplyStoredSettings()
{
    ReferenceSpin->setValue(settings_->ReferenceHz());
    TonicCombo->setCurrentIndex(settings_->TonicPitchClass());
    ToleranceSpin->setValue(settings_->ToleranceCents());
    Needle->SetToleranceCents(ToleranceSpin->value());

    const QString temperament = settings_->Temperament();
    const QString scalaFile = settings_->ScalaFile();
    if (!scalaFile.isEmpty()) {
        std::variant<tuning::ScalaScale, tuning::ScalaError> read = tuning::ScalaError{0, {}};
        try {
            read = tuning::ReadScalaFile(FileSystemPath(scalaFile));
        } catch (const std::exception&) {
            // Read as unreadable below: the start goes on in equal temperament.
        }
        if (const auto* scale = std::get_if<tuning::ScalaScale>(&read)) {
            scala_ = *scale;
            scalaPath_ = scalaFile;
            scalaName_ = QFileInfo(scalaFile).completeBaseName();
            TemperamentCombo->addItem(QStringLiteral("Scala：") + scalaName_, QLatin1String(kScalaTemperament));
        } else if (temperament == QLatin1String(kScalaTemperament)) {
            StatusLabel->setText(QStringLiteral("上次载入的 Scala 文件“%1”无法读取，已改用十二平均律。")
                                     .arg(QFileInfo(scalaFile).fileName()));
        }
    }
    const int index = TemperamentCombo->findData(temperament);
    TemperamentCombo->setCurrentIndex(index >= 0 ? index : 0);

    calibrationPpm_ = settings_->CalibrationPpm();
    tracker_.SetFrequencyCorrection(1.0 + calibrationPpm_ / 1e6);
    ShowCalibration();
    RebuildSystem();
}

void TunerWindow::RebuildSystem()
{
    const double referenceHz = tuning::ReferencePitchFromUser(ReferenceSpin->value()).value_or(
        tuning::kDefaultReferenceHz);
    const int tonic = TonicCombo->currentData().toInt();
    const QString temperament = TemperamentCombo->currentData().toString();
    const tuning::Temperament* chosen = tuning::FindTemperament(temperament.toStdString());
    const tuning::Temperament& builtIn = chosen != nullptr ? *chosen : tuning::BuiltInTemperaments().front();
    if (temperament == QLatin1String(kScalaTemperament) && scala_) {
        try {
            system_ = tuning::TuningSystem(referenceHz, *scala_, tonic, scalaName_.toStdString());
        } catch (const std::exception& error) {
            // A scale the reader let through but no tuning system can be
            // built on: the readings go on in equal temperament.
            system_ = tuning::TuningSystem(referenceHz, tuning::BuiltInTemperaments().front(), tonic);
            StatusLabel->setText(QStringLiteral("Scala 音阶“%1”无法使用（%2），暂用十二平均律。")
                                     .arg(scalaName_, QString::fromUtf8(error.what())));
        }
    } else {
        system_ = tuning::TuningSystem(referenceHz, builtIn, tonic);
    }
    if (stretch_) {
        system_.SetKeyOffsets(*stretch_);
    }
    if (toneIndex_ && tone_->IsPlaying()) {
        tone_->Play(system_.NoteAt(*toneIndex_).targetHz);
    }
    emit ReferencePitchChanged(system_.ReferenceHz());
    ShowReading();
}

void TunerWindow::SetStretchTarget(const std::array<double, 88>& centsByKey)
{
    stretch_ = centsByKey;
    RebuildSystem();
}

void TunerWindow::ClearStretchTarget()
{
    stretch_.reset();
    RebuildSystem();
}

void TunerWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    everShown_ = true;
    if (event->spontaneous()) {
        return;  // back from minimised: still listening
    }
    if (!input_->IsListening()) {
        StartListening();
    }
    emit VisibilityChanged(true);
}

void TunerWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous()) {
        return;  // minimised: the reading goes on
    }
    // Closed: the microphone and the speaker are let go.
    StopListening();
    tone_->Stop();
    ToneButton->setText(kPlayToneText);
    emit VisibilityChanged(false);
}

void TunerWindow::closeEvent(QCloseEvent* event)
{
    event->accept();  // hides the window; it lives on for the menu to show again
}

void TunerWindow::StartListening()
{
    tracker_.Reset();
    try {
        input_->Start([this](std::span<const int16_t> block) { TakeBlock(block); });
        StatusLabel->clear();
    } catch (const std::exception& error) {
        StatusLabel->setText(QString::fromUtf8(error.what()));
    }
}

void TunerWindow::StopListening() noexcept
{
    input_->Stop();
}

void TunerWindow::TakeBlock(std::span<const int16_t> block) noexcept
{
    try {
        readings_.clear();
        tracker_.Feed(block, readings_);
        strobe_.Feed(block);
        if (calibration_ != nullptr) {
            calibration_->Feed(block);
        }
        for (const LiveReading& reading : readings_) {
            TakeReading(reading);
        }
        if (!readings_.empty()) {
            ShowReading();
        }
        // Redrawn with every block (35 to 40 a second from the sound
        // server), so that the band moves as the sound does.
        ShowStrobe();
    } catch (const std::exception& error) {
        StatusLabel->setText(QString::fromUtf8(error.what()));
    } catch (...) {
        StatusLabel->setText(QStringLiteral("读数出错。"));
    }
}

void TunerWindow::TakeReading(const LiveReading& reading)
{
    if (reading.found && reading.firstPartialHz > 0 && std::isfinite(reading.firstPartialHz)) {
        if (reading.noteStarted || held_) {
            recentHz_.clear();
        }
        held_ = false;
        shownHz_ = reading.firstPartialHz;
        lastFound_ = reading;
        if (system_.HasTwelveNotes()) {
            const int midi = system_.Nearest(reading.firstPartialHz).note.index;
            if (followedMidi_ != midi) {
                followedMidi_ = midi;
                emit NoteFollowed(midi);
            }
        }
        recentHz_.push_back(reading.firstPartialHz);
        if (recentHz_.size() > kSteadyReadings) {
            recentHz_.pop_front();
        }
        // The strobe turns against the target as the card's clock hears it.
        const double target = system_.Nearest(reading.firstPartialHz).note.targetHz;
        strobe_.SetTargetHz(target / (1.0 + calibrationPpm_ / 1e6));
    } else if (shownHz_ && !held_) {
        held_ = true;
        if (!recentHz_.empty()) {
            shownHz_ = Median(recentHz_);
            const int midi = system_.HasTwelveNotes() ? system_.Nearest(*shownHz_).note.index : -1;
            emit SteadyNoteRead(*shownHz_, lastFound_.inharmonicity, lastFound_.partialCount, midi);
        }
        recentHz_.clear();
        followedMidi_.reset();
    }
}

void TunerWindow::ShowReading()
{
    if (!shownHz_) {
        for (QLabel* label : {NoteLabel, CentsLabel, FrequencyLabel, TargetLabel, VerdictLabel}) {
            label->setText(kNoValueText);
        }
        HoldLabel->clear();
        Needle->SetCents(std::nullopt, false);
        return;
    }
    const DecimalSeparator separator = UserDecimalSeparator();
    const tuning::TuningSystem::Reading reading = system_.Nearest(*shownHz_);
    NoteLabel->setText(QString::fromStdString(reading.note.name));
    HoldLabel->setText(held_ ? kHoldText : QString());
    CentsLabel->setText(CentsText(reading.cents, separator));
    FrequencyLabel->setText(HertzText(*shownHz_, separator));
    TargetLabel->setText(HertzText(reading.note.targetHz, separator));
    const QString verdict = VerdictText(reading.cents, ToleranceSpin->value());
    VerdictLabel->setText(verdict);
    QPalette colours = VerdictLabel->palette();
    colours.setColor(QPalette::WindowText, held_ ? palette().color(QPalette::WindowText)
                                           : verdict == QStringLiteral("准确") ? QColor(0x10, 0x80, 0x10)
                                                                              : QColor(0xb0, 0x20, 0x20));
    VerdictLabel->setPalette(colours);
    Needle->SetCents(reading.cents, held_);
}

void TunerWindow::ShowStrobe()
{
    const bool sounding = shownHz_ && !held_;
    Strobe->SetPhase(strobe_.PhaseTurns(), sounding ? strobe_.Level() : 0.0);
}

void TunerWindow::ToggleTone()
{
    if (tone_->IsPlaying()) {
        tone_->Stop();
        ToneButton->setText(kPlayToneText);
        return;
    }
    // The note on show, else the reference note itself.
    const int index = system_.Nearest(shownHz_.value_or(system_.ReferenceHz())).note.index;
    const tuning::TuningSystem::Note note = system_.NoteAt(index);
    tone_->Play(note.targetHz);
    toneIndex_ = index;
    ToneButton->setText(QStringLiteral("停止参考音（%1）").arg(QString::fromStdString(note.name)));
}

void TunerWindow::ChooseScalaFile()
{
    QFileDialog dialog(this, QStringLiteral("载入 Scala 文件"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({QStringLiteral("Scala 音阶文件 (*.scl)"), QStringLiteral("所有文件 (*)")});
    if (!scalaPath_.isEmpty()) {
        dialog.setDirectory(QFileInfo(scalaPath_).absolutePath());
    }
    if (RunFileDialog(dialog) && !dialog.selectedFiles().isEmpty()) {
        LoadScalaFile(dialog.selectedFiles().constFirst());
    }
}

bool TunerWindow::LoadScalaFile(const QString& path)
{
    const auto read = tuning::ReadScalaFile(FileSystemPath(path));
    if (const auto* error = std::get_if<tuning::ScalaError>(&read)) {
        ShowUserMessage(UserMessageKind::Error, QStringLiteral("无法载入 Scala 文件“%1”：\n%2")
                                                    .arg(QFileInfo(path).fileName(),
                                                         QString::fromStdString(error->message)));
        return false;
    }
    scala_ = std::get<tuning::ScalaScale>(read);
    scalaPath_ = QFileInfo(path).absoluteFilePath();
    scalaName_ = QFileInfo(path).completeBaseName();
    settings_->SetScalaFile(scalaPath_);
    const QString itemText = QStringLiteral("Scala：") + scalaName_;
    int index = TemperamentCombo->findData(QLatin1String(kScalaTemperament));
    if (index < 0) {
        TemperamentCombo->addItem(itemText, QLatin1String(kScalaTemperament));
        index = TemperamentCombo->count() - 1;
    } else {
        TemperamentCombo->setItemText(index, itemText);
    }
    TemperamentCombo->setItemData(index, QString::fromStdString(scala_->description), Qt::ToolTipRole);
    if (TemperamentCombo->currentIndex() == index) {
        RebuildSystem();  // the same entry, a new scale
    } else {
        TemperamentCombo->setCurrentIndex(index);
    }
    return true;
}

bool TunerWindow::SetCalibrationPpm(double ppm)
{
    if (!(std::abs(ppm) <= kCalibrationLimitPpm)) {
        return false;
    }
    calibrationPpm_ = ppm;
    tracker_.SetFrequencyCorrection(1.0 + ppm / 1e6);
    settings_->SetCalibrationPpm(ppm);
    ShowCalibration();
    emit CalibrationChanged(1.0 + ppm / 1e6);
    return true;
}

void TunerWindow::ShowCalibration()
{
    if (calibrationPpm_ == 0.0) {
        CalibrationLabel->setText(QStringLiteral("声卡未校准"));
        CalibrationLabel->setToolTip(QString());
        return;
    }
    CalibrationLabel->setText(QStringLiteral("声卡已校准：") + CorrectionText(calibrationPpm_));
    CalibrationLabel->setToolTip(QStringLiteral("所有读数都按这个校准修正"));
}

CalibrationDialog* TunerWindow::OpenCalibration()
{
    if (calibration_ == nullptr) {
        calibration_ = new CalibrationDialog(calibrationPpm_, this);
        calibration_->setAttribute(Qt::WA_DeleteOnClose);
        connect(calibration_, &CalibrationDialog::CorrectionMeasured, this,
                [this](double ppm) { RunGuarded([this, ppm] { SetCalibrationPpm(ppm); }); });
        connect(calibration_, &CalibrationDialog::CorrectionCleared, this,
                [this] { RunGuarded([this] { SetCalibrationPpm(0.0); }); });
    }
    calibration_->show();
    calibration_->raise();
    calibration_->activateWindow();
    return calibration_;
}

void TunerWindow::ShowInFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TunerWindow::PlaceBeside(QRect occupied)
{
    const QScreen* screen = QGuiApplication::screenAt(occupied.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect free = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
    const QSize outer = frameGeometry().size();
    int left = occupied.right() + 1;
    if (left + outer.width() > free.right() + 1) {
        left = std::max(free.left(), free.right() + 1 - outer.width());
    }
    int top = occupied.top();
    if (top + outer.height() > free.bottom() + 1) {
        top = std::max(free.top(), free.bottom() + 1 - outer.height());
    }
    move(left, top);  // a window's position is that of its frame
}

bool TunerWindow::RestorePlacement()
{
    const QByteArray geometry = settings_->WindowGeometry();
    return !geometry.isEmpty() && restoreGeometry(geometry);
}

bool TunerWindow::WasOpenAtLastExit() const
{
    return settings_->WindowOpen();
}

void TunerWindow::RememberPlacement()
{
    if (!everShown_ && !settings_->WindowOpen()) {
        return;  // a run that never opened the tuner leaves the configuration alone
    }
    settings_->SetWindowOpen(isVisible());
    settings_->SetWindowGeometry(saveGeometry());
}

}  // namespace tonarel::tuner
