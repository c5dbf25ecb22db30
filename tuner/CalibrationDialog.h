#pragma once
// The sound card's calibration: the user plays a tone of known frequency
// (a tuning fork, an electronic reference) into the microphone, the dialog
// measures it for a few seconds and offers the correction.

#include <QDialog>
#include <memory>
#include <span>

#include "tuner/CalibrationMeasurement.h"

class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tonarel::tuner {

/// Hears what the tuner window hears: the window hands it every block of
/// input while it is open (Feed). "开始测量" measures for
/// CalibrationMeasurement::kSeconds of input; a good result is announced
/// with CorrectionMeasured (the window applies and keeps it), a refused one
/// shown in the dialog and in a warning box, and the correction in force
/// stays. "清除校准" asks for the correction to be removed.
class CalibrationDialog final : public QDialog {
    Q_OBJECT

public:
    /// `currentPpm`: the correction in force, shown in the dialog.
    CalibrationDialog(double currentPpm, QWidget* parent);
    ~CalibrationDialog() override;

    void Feed(std::span<const int16_t> block);

    QDoubleSpinBox* KnownFrequency;  ///< "已知频率（赫兹）：", 20.00 to 5000.00, 440.00 at first
    QPushButton* StartButton;        ///< "开始测量"
    QPushButton* ClearButton;        ///< "清除校准"
    QPushButton* CloseButton;        ///< "关闭"
    QProgressBar* Progress;
    QLabel* Status;                  ///< what to do, or what came out

signals:
    void CorrectionMeasured(double ppm);
    void CorrectionCleared();

private:
    void Start();
    void Finish();
    void ShowCurrent(double ppm);

    std::unique_ptr<CalibrationMeasurement> measurement_;
};

/// "+123.4 ppm（+0.21 音分）": a correction as the user reads it.
QString CorrectionText(double ppm);

}  // namespace tonarel::tuner
