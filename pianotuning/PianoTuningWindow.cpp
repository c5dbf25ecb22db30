#include "pianotuning/PianoTuningWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "forms/FileDialogRunner.h"
#include "forms/UserLocale.h"
#include "forms/UserMessage.h"
#include "pianotuning/KeyboardStrip.h"
#include "pianotuning/PianoDocument.h"
#include "pianotuning/StretchChart.h"
#include "platform/HelpKey.h"
#include "platform/HelpViewer.h"
#include "tuner/core/PitchNames.h"

namespace tonarel::pianotuning {

namespace {

constexpr int kDesignWidth = 1000;
constexpr int kDesignHeight = 720;

/// `value` with `decimals` decimals and the user's decimal separator; with a
/// sign always when `signed_` is true.
QString Number(double value, int decimals, bool signed_ = false)
{
    QString text = QString::number(value, 'f', decimals);
    if (signed_ && value >= 0.0) {
        text.prepend(QLatin1Char('+'));
    }
    return text.replace(QLatin1Char('.'), QString::fromStdString(UserDecimalSeparator().Text()));
}

/// B in the short scientific form the chart's axis uses: "4.1e-04".
QString Inharmonicity(double b)
{
    return QString::number(b, 'e', 1).replace(QLatin1Char('.'),
                                              QString::fromStdString(UserDecimalSeparator().Text()));
}

QString KeyName(int key)
{
    return QString::fromStdString(tuning::NoteName(piano::MidiOfKey(key)));
}

/// A question with Qt's own (translated) Yes and No; true for Yes.
bool AskYesNo(QWidget* parent, const QString& text, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultButton);
    return box.exec() == QMessageBox::Yes;
}

QFileDialog* MakeDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode, const QString& filter,
                        const QString& suffix)
{
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setNameFilter(filter);
    dialog->setDefaultSuffix(suffix);
    if (mode == QFileDialog::AcceptSave) {
        // The window asks itself, in its own words, before replacing a file.
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        // A name that does not exist is refused with the window's own message.
        dialog->setFileMode(QFileDialog::AnyFile);
    }
    return dialog;
}

}  // namespace

PianoTuningWindow::PianoTuningWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), document_(new PianoDocument(this))
{
    setWindowTitle(QStringLiteral("钢琴调律"));
    KeepFileDialogsOutOfTheUserSettings();
    BuildControls();
    connect(document_, &PianoDocument::Changed, this, [this] { RunGuarded([this] { ShowDocument(); }); });
    connect(keyboard_, &KeyboardStrip::KeyClicked, this, [this](int key) { RunGuarded([this, key] { ChooseKey(key); }); });
    connect(stretchTarget_, &QCheckBox::toggled, this,
            [this](bool checked) { RunGuarded([this, checked] { OnStretchTargetToggled(checked); }); });
    connect(openButton_, &QPushButton::clicked, this, [this] { RunGuarded([this] { OpenFile(); }); });
    connect(saveButton_, &QPushButton::clicked, this, [this] { RunGuarded([this] { SaveFile(); }); });
    connect(saveAsButton_, &QPushButton::clicked, this, [this] { RunGuarded([this] { SaveFileAs(); }); });
    connect(exportButton_, &QPushButton::clicked, this, [this] { RunGuarded([this] { ExportCsv(); }); });
    connect(clearKeyButton_, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { document_->ClearKey(chosenKey_); }); });
    InstallHelpKey(*this, kPianoTuningHelpContext);
    resize(kDesignWidth, kDesignHeight);
    ShowDocument();
}

void PianoTuningWindow::BuildControls()
{
    openButton_ = new QPushButton(QStringLiteral("打开…"));
    saveButton_ = new QPushButton(QStringLiteral("保存"));
    saveAsButton_ = new QPushButton(QStringLiteral("另存为…"));
    exportButton_ = new QPushButton(QStringLiteral("导出 CSV…"));
    fileLabel_ = new QLabel;
    fileLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* fileRow = new QHBoxLayout;
    for (QPushButton* button : {openButton_, saveButton_, saveAsButton_, exportButton_}) {
        fileRow->addWidget(button);
    }
    fileRow->addSpacing(12);
    fileRow->addWidget(fileLabel_, 1);

    keyboard_ = new KeyboardStrip;
    followTuner_ = new QCheckBox(QStringLiteral("跟随调音器"));
    followTuner_->setToolTip(QStringLiteral("所选键随调音器听到的音而变"));
    keyLabel_ = new QLabel;
    QFont bold = keyLabel_->font();
    bold.setBold(true);
    keyLabel_->setFont(bold);
    clearKeyButton_ = new QPushButton(QStringLiteral("清除此键的读数"));
    stretchTarget_ = new QCheckBox(QStringLiteral("按伸张曲线调律"));
    stretchTarget_->setToolTip(QStringLiteral("调音器以此曲线作为各键的目标"));
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(keyLabel_);
    keyRow->addSpacing(12);
    keyRow->addWidget(followTuner_);
    keyRow->addWidget(clearKeyButton_);
    keyRow->addStretch(1);
    keyRow->addWidget(stretchTarget_);

    verdictLabel_ = new QLabel;
    verdictLabel_->setWordWrap(true);
    chart_ = new StretchChart;
    curveLabel_ = new QLabel;
    curveLabel_->setWordWrap(true);
    noticesLabel_ = new QLabel;
    noticesLabel_->setWordWrap(true);
    QPalette warning = noticesLabel_->palette();
    warning.setColor(QPalette::WindowText, QColor(0xa0, 0x40, 0x00));
    noticesLabel_->setPalette(warning);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(keyboard_);
    layout->addLayout(keyRow);
    layout->addWidget(verdictLabel_);
    layout->addWidget(chart_, 1);
    layout->addWidget(curveLabel_);
    layout->addWidget(noticesLabel_);

    const QString pianoFilter = QStringLiteral("钢琴文件 (*%1)").arg(QString::fromLatin1(piano::kPianoFileSuffix));
    const QString pianoSuffix = QString::fromLatin1(piano::kPianoFileSuffix + 1);
    openDialog_ = MakeDialog(this, "PianoOpenDialog", QFileDialog::AcceptOpen, pianoFilter, pianoSuffix);
    saveDialog_ = MakeDialog(this, "PianoSaveDialog", QFileDialog::AcceptSave, pianoFilter, pianoSuffix);
    csvDialog_ = MakeDialog(this, "PianoCsvDialog", QFileDialog::AcceptSave, QStringLiteral("CSV 文件 (*.csv)"),
                            QStringLiteral("csv"));
}

void PianoTuningWindow::ChooseKey(int key)
{
    if (!piano::IsPianoKey(key)) {
        return;
    }
    chosenKey_ = key;
    ShowChosenKey();
}

QString PianoTuningWindow::KeyVerdictText() const
{
    const piano::StretchCurve& curve = document_->Curve();
    const double reference = document_->ReferenceHz();
    const double target = curve.TargetCents(chosenKey_);
    const QString targetText = QStringLiteral("目标 %1 音分（%2 Hz）")
                                   .arg(Number(target, 1, true), Number(curve.TargetHz(chosenKey_, reference), 2));
    const std::optional<piano::KeySummary> summary = document_->Measurements().Summary(chosenKey_);
    if (!summary) {
        return QStringLiteral("%1 尚未测量；%2。").arg(KeyName(chosenKey_), targetText);
    }
    const double measured = piano::CentsFromEqualTemperament(chosenKey_, summary->firstPartialHz, reference);
    const QString bText = summary->b > 0.0 ? Inharmonicity(summary->b) : QStringLiteral("未测得");
    return QStringLiteral("%1：测得 %2 Hz（%3 音分，B = %4，%5 次读数）；%6；测得 − 目标 = %7 音分")
        .arg(KeyName(chosenKey_), Number(summary->firstPartialHz, 2), Number(measured, 1, true), bText)
        .arg(summary->readingCount)
        .arg(targetText, Number(measured - target, 1, true));
}

QString PianoTuningWindow::NoticesText() const
{
    QStringList lines;
    for (const std::string& notice : document_->Notices()) {
        lines.append(QString::fromStdString(notice));
    }
    return lines.join(QLatin1Char('\n'));
}

void PianoTuningWindow::ShowDocument()
{
    const piano::PianoMeasurements& measurements = document_->Measurements();
    chart_->ShowPiano(document_->Curve(), document_->Fit(), measurements, document_->ReferenceHz());
    std::array<bool, 88> measured{};
    for (const piano::KeySummary& summary : measurements.Summaries()) {
        measured[piano::IndexOfKey(summary.key)] = true;
    }
    keyboard_->SetMeasuredKeys(measured);

    const QString name = document_->FilePath().empty() ? QStringLiteral("未命名")
                                                        : QFile::decodeName(document_->FilePath().c_str());
    fileLabel_->setText(QStringLiteral("钢琴文件：%1%2").arg(name, document_->IsModified() ? QStringLiteral("（有未保存的改动）")
                                                                                         : QString()));
    const int count = measurements.MeasuredKeyCount();
    if (document_->Curve().source == piano::InharmonicitySource::kMeasured) {
        curveLabel_->setText(QStringLiteral("%1：由已测的 %2 个键拟合；A4 = %3 Hz。")
                                 .arg(QString::fromUtf8(kMeasuredCurveName))
                                 .arg(count)
                                 .arg(Number(document_->ReferenceHz(), 1)));
    } else {
        curveLabel_->setText(QStringLiteral("%1：已测 %2 个键，至少需要 %3 个；A4 = %4 Hz。")
                                 .arg(QString::fromUtf8(kAverageCurveName))
                                 .arg(count)
                                 .arg(piano::kLeastFittedKeys)
                                 .arg(Number(document_->ReferenceHz(), 1)));
    }
    const QString notices = NoticesText();
    noticesLabel_->setText(notices);
    noticesLabel_->setVisible(!notices.isEmpty());
    ShowChosenKey();

    if (stretchTarget_->isChecked() && (!curveSent_ || sentCurve_ != document_->Curve().targetCents)) {
        OnStretchTargetToggled(true);
    }
}

void PianoTuningWindow::ShowChosenKey()
{
    keyboard_->SetChosenKey(chosenKey_);
    chart_->ShowChosenKey(chosenKey_);
    keyLabel_->setText(QStringLiteral("所选键：%1（第 %2 键）").arg(KeyName(chosenKey_)).arg(chosenKey_));
    verdictLabel_->setText(KeyVerdictText());
    clearKeyButton_->setEnabled(!document_->Measurements().Readings(chosenKey_).empty());
}

void PianoTuningWindow::OnStretchTargetToggled(bool checked)
{
    if (checked) {
        sentCurve_ = document_->Curve().targetCents;
        curveSent_ = true;
        emit StretchTargetChanged(sentCurve_);
    } else {
        curveSent_ = false;
        emit StretchTargetCleared();
    }
}

void PianoTuningWindow::TakeLiveReading(double firstPartialHz, double inharmonicity, unsigned partialCount, int midi)
{
    RunGuarded([&] { StoreReading(firstPartialHz, inharmonicity, partialCount, midi - tuning::kPianoKeyToMidi); });
}

void PianoTuningWindow::TakePreciseReading(double firstPartialHz, double inharmonicity, unsigned partialCount)
{
    RunGuarded([&] {
        int nearest = 0;
        if (std::isfinite(firstPartialHz) && firstPartialHz > 0.0) {
            const double semitones = 12.0 * std::log2(firstPartialHz / document_->ReferenceHz());
            if (std::abs(semitones) < 200.0) {
                nearest = static_cast<int>(std::lround(semitones)) + tuning::kMidiA4 - tuning::kPianoKeyToMidi;
            }
        }
        StoreReading(firstPartialHz, inharmonicity, partialCount, nearest);
    });
}

void PianoTuningWindow::StoreReading(double firstPartialHz, double inharmonicity, unsigned partialCount, int readKey)
{
    if (!isVisible() || asking_) {
        return;
    }
    const int key = chosenKey_;
    if (readKey != key) {
        const QString heard = piano::IsPianoKey(readKey) ? QStringLiteral("读到的音是 %1").arg(KeyName(readKey))
                                                        : QStringLiteral("读到的音不在钢琴的 88 个键之内");
        asking_ = true;
        const bool store = AskYesNo(this,
                                    QStringLiteral("%1，而所选的键是 %2。\n仍把这次读数记为 %2 的吗？")
                                        .arg(heard, KeyName(key)),
                                    QMessageBox::No);
        asking_ = false;
        if (!store) {
            return;
        }
    }
    const piano::KeyReading reading{firstPartialHz, inharmonicity, partialCount,
                                    QDateTime::currentSecsSinceEpoch()};
    if (partialCount > piano::kMostPartials || !document_->AddReading(key, reading)) {
        ShowUserMessage(UserMessageKind::Warning,
                        QStringLiteral("这次读数（%1 Hz，B = %2）不像钢琴弦的音，没有记录。")
                            .arg(Number(firstPartialHz, 2), Inharmonicity(inharmonicity)));
    }
}

void PianoTuningWindow::FollowNote(int midi)
{
    RunGuarded([&] {
        if (followTuner_->isChecked()) {
            ChooseKey(midi - tuning::kPianoKeyToMidi);
        }
    });
}

void PianoTuningWindow::SetReferencePitch(double hz)
{
    RunGuarded([&] { document_->SetReferenceHz(hz); });
}

bool PianoTuningWindow::MaySetPianoAside()
{
    if (!document_->IsModified()) {
        return true;
    }
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(),
                    QStringLiteral("此钢琴的读数尚未保存。要先保存吗？"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.button(QMessageBox::Save)->setText(QStringLiteral("保存"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("不保存"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveFile();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

QString PianoTuningWindow::AskFileName(QFileDialog& dialog, const QString& offered, bool replacing)
{
    if (!offered.isEmpty()) {
        dialog.selectFile(offered);
    }
    if (!RunFileDialog(dialog)) {
        return QString();
    }
    const QString name = dialog.selectedFiles().value(0);
    if (replacing && QFileInfo::exists(name)
        && !AskYesNo(this, QStringLiteral("文件“%1”已存在。\n要替换它吗？").arg(name), QMessageBox::No)) {
        return QString();
    }
    return name;
}

void PianoTuningWindow::OpenFile()
{
    RunGuarded([this] {
        if (!MaySetPianoAside()) {
            return;
        }
        const QString name = AskFileName(*openDialog_, QFile::decodeName(document_->FilePath().c_str()), false);
        if (name.isEmpty()) {
            return;
        }
        if (const std::optional<QString> refusal = document_->Open(QFile::encodeName(name).toStdString())) {
            ShowUserMessage(UserMessageKind::Error, *refusal);
        }
    });
}

bool PianoTuningWindow::SaveFile()
{
    if (document_->FilePath().empty()) {
        return SaveFileAs();
    }
    return SaveTo(QFile::decodeName(document_->FilePath().c_str()));
}

bool PianoTuningWindow::SaveFileAs()
{
    bool saved = false;
    RunGuarded([&] {
        const QString name = AskFileName(*saveDialog_, QFile::decodeName(document_->FilePath().c_str()), true);
        saved = !name.isEmpty() && SaveTo(name);
    });
    return saved;
}

bool PianoTuningWindow::SaveTo(const QString& fileName)
{
    bool saved = false;
    RunGuarded([&] {
        if (const std::optional<QString> failure = document_->Save(QFile::encodeName(fileName).toStdString())) {
            ShowErrorBox(*failure);
            return;
        }
        saved = true;
    });
    return saved;
}

void PianoTuningWindow::ExportCsv()
{
    RunGuarded([this] { ExportCsvGuarded(); });
}

void PianoTuningWindow::ExportCsvGuarded()
{
    QString offered;
    if (!document_->FilePath().empty()) {
        QString name = QFile::decodeName(document_->FilePath().c_str());
        if (name.endsWith(QString::fromLatin1(piano::kPianoFileSuffix))) {
            name.chop(static_cast<int>(std::char_traits<char>::length(piano::kPianoFileSuffix)));
        }
        offered = name + QStringLiteral(".csv");
    }
    const QString name = AskFileName(*csvDialog_, offered, true);
    if (name.isEmpty()) {
        return;
    }
    if (const std::optional<QString> failure = document_->ExportCsv(QFile::encodeName(name).toStdString())) {
        ShowErrorBox(*failure);
    }
}

}  // namespace tonarel::pianotuning
