#include "tuner/CalibrationDialog.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "forms/UserMessage.h"
#include "tuner/core/PitchNames.h"

namespace tonarel::tuner {

QString CorrectionText(double ppm)
{
    const double cents = tuning::CentsBetween(1.0 + ppm / 1e6, 1.0);
    return QStringLiteral("%1 ppm（%2 音分）")
        .arg(ppm > 0 ? QStringLiteral("+") + QString::number(ppm, 'f', 0) : QString::number(ppm, 'f', 0))
        .arg(cents >= 0.005 ? QStringLiteral("+") + QString::number(cents, 'f', 2) : QString::number(cents, 'f', 2));
}

CalibrationDialog::CalibrationDialog(double currentPpm, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CalibrationDialog"));
    setWindowTitle(QStringLiteral("校准声卡"));

    auto* explanation = new QLabel(QStringLiteral(
        "声卡的时钟可能有千分之几的误差，使所有读数一起偏高或偏低。"
        "请用频率已知的参考音（音叉、电子校音器）对着麦克风发声，然后按“开始测量”，保持发声约 4 秒。"
        "本程序自己放出的参考音不能用来校准：它由同一块声卡的时钟产生，误差会互相抵消。"), this);
    explanation->setWordWrap(true);

    KnownFrequency = new QDoubleSpinBox(this);
    KnownFrequency->setObjectName(QStringLiteral("KnownFrequency"));
    KnownFrequency->setRange(20.0, 5000.0);
    KnownFrequency->setDecimals(2);
    KnownFrequency->setValue(440.0);

    Progress = new QProgressBar(this);
    Progress->setRange(0, 100);
    Progress->setValue(0);

    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setWordWrap(true);
    ShowCurrent(currentPpm);

    StartButton = new QPushButton(QStringLiteral("开始测量"), this);
    ClearButton = new QPushButton(QStringLiteral("清除校准"), this);
    CloseButton = new QPushButton(QStringLiteral("关闭"), this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("已知频率（赫兹）："), KnownFrequency);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(StartButton);
    buttons->addWidget(ClearButton);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(form);
    layout->addWidget(Progress);
    layout->addWidget(Status);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    connect(StartButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { Start(); }); });
    connect(ClearButton, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            measurement_.reset();
            ShowCurrent(0.0);
            emit CorrectionCleared();
        });
    });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

CalibrationDialog::~CalibrationDialog() = default;

void CalibrationDialog::ShowCurrent(double ppm)
{
    Status->setText(ppm == 0.0 ? QStringLiteral("目前没有校准。")
                               : QStringLiteral("目前的校准：") + CorrectionText(ppm));
}

void CalibrationDialog::Start()
{
    measurement_ = std::make_unique<CalibrationMeasurement>(KnownFrequency->value());
    Progress->setValue(0);
    StartButton->setEnabled(false);
    KnownFrequency->setEnabled(false);
    Status->setText(QStringLiteral("正在测量，请保持参考音……"));
}

void CalibrationDialog::Feed(std::span<const int16_t> block)
{
    if (!measurement_ || measurement_->Done()) {
        return;
    }
    measurement_->Feed(block);
    Progress->setValue(static_cast<int>(std::lround(measurement_->Progress() * 100)));
    if (measurement_->Done()) {
        // Outside the input's signal: the result may open a message box.
        QTimer::singleShot(0, this, [this] { RunGuarded([this] { Finish(); }); });
    }
}

void CalibrationDialog::Finish()
{
    if (!measurement_) {
        return;  // cleared in between
    }
    StartButton->setEnabled(true);
    KnownFrequency->setEnabled(true);
    const auto result = measurement_->Result();
    measurement_.reset();
    if (const auto* ppm = std::get_if<double>(&result)) {
        Status->setText(QStringLiteral("校准完成：") + CorrectionText(*ppm) + QStringLiteral("，已用于所有读数。"));
        emit CorrectionMeasured(*ppm);
        return;
    }
    const QString why = QString::fromStdString(std::get<std::string>(result));
    Status->setText(why);
    ShowUserMessage(UserMessageKind::Warning, why);
}

}  // namespace tonarel::tuner
