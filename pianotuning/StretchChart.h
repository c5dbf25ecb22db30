#pragma once
// The piano's stretch as tuners know it: the keys across (A0 to C8, every C
// named), cents from equal temperament up (left axis), B on a logarithmic
// scale (right axis).
//
// Series, in this order:
//   - the target curve (a line over all 88 keys); drawn dashed and named
//     kAverageCurveName when it is the average grand's, not measured;
//   - each measured key's deviation from equal temperament (points);
//   - the fitted B (a line over all 88 keys, right axis);
//   - each measured key's B (points, right axis; keys read with B = 0 left
//     out, as a logarithmic axis cannot show them);
//   - the chosen key on the target curve (one point).
//
// Example: after ShowPiano with readings of 12 keys, MeasuredDeviations()
// holds 12 points and TargetCurve() 88.

#include <QChartView>
#include <QString>

#include "piano/InharmonicityFit.h"
#include "piano/PianoMeasurements.h"
#include "piano/StretchCurve.h"

QT_BEGIN_NAMESPACE
class QCategoryAxis;
class QLineSeries;
class QLogValueAxis;
class QScatterSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace tonarel::pianotuning {

/// The target line's name when the curve is not measured.
inline constexpr const char* kAverageCurveName = "平均三角钢琴曲线（未测量）";
/// The target line's name for a measured curve.
inline constexpr const char* kMeasuredCurveName = "本琴的目标曲线";

class StretchChart : public QChartView {
    Q_OBJECT

public:
    explicit StretchChart(QWidget* parent = nullptr);

    /// Redraws everything for `curve` (target and B), the readings of
    /// `measurements` (cents from equal temperament on `referenceHz`) and
    /// the fitted B `fit`.
    void ShowPiano(const piano::StretchCurve& curve, const piano::InharmonicityCurve& fit,
                   const piano::PianoMeasurements& measurements, double referenceHz);
    /// Marks key `key` (1 to 88) on the target curve.
    void ShowChosenKey(int key);

    const QLineSeries* TargetCurve() const { return target_; }
    const QScatterSeries* MeasuredDeviations() const { return measured_; }
    const QLineSeries* FittedInharmonicity() const { return fittedB_; }
    const QScatterSeries* MeasuredInharmonicity() const { return measuredB_; }

private:
    void FitCentsAxis();

    piano::StretchCurve curve_;
    QLineSeries* target_;
    QScatterSeries* measured_;
    QLineSeries* fittedB_;
    QScatterSeries* measuredB_;
    QScatterSeries* chosen_;
    QCategoryAxis* keysAxis_;
    QValueAxis* centsAxis_;
    QLogValueAxis* bAxis_;
};

}  // namespace tonarel::pianotuning
