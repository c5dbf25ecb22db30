#include "pianotuning/StretchChart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "tuner/core/PitchNames.h"

namespace tonarel::pianotuning {

namespace {

/// The cents axis shows at least this range, so that a nearly flat curve
/// does not look steep.
constexpr double kLeastLowCents = -30.0;
constexpr double kLeastHighCents = 40.0;
constexpr double kLowestShownB = 1e-5;
constexpr double kHighestShownB = 1e-1;

const QColor kTargetColour(0x1f, 0x5f, 0xbf);
const QColor kMeasuredColour(0xd0, 0x40, 0x20);
const QColor kInharmonicityColour(0x2e, 0x8b, 0x57);

QScatterSeries* MakePoints(const QString& name, const QColor& colour, double size)
{
    auto* series = new QScatterSeries;
    series->setName(name);
    series->setColor(colour);
    series->setBorderColor(colour.darker(140));
    series->setMarkerSize(size);
    return series;
}

}  // namespace

StretchChart::StretchChart(QWidget* parent)
    : QChartView(parent),
      target_(new QLineSeries),
      measured_(MakePoints(QStringLiteral("测得偏差（音分）"), kMeasuredColour, 9.0)),
      fittedB_(new QLineSeries),
      measuredB_(MakePoints(QStringLiteral("测得非谐性 B"), kInharmonicityColour, 7.0)),
      chosen_(MakePoints(QStringLiteral("所选键"), QColor(0xff, 0xc0, 0x00), 13.0)),
      keysAxis_(new QCategoryAxis),
      centsAxis_(new QValueAxis),
      bAxis_(new QLogValueAxis)
{
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(640, 320);
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));

    fittedB_->setName(QStringLiteral("拟合非谐性 B"));
    QPen bPen(kInharmonicityColour, 1.5, Qt::DotLine);
    fittedB_->setPen(bPen);
    measuredB_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    chosen_->setMarkerShape(QScatterSeries::MarkerShapeCircle);

    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{target_, measured_, fittedB_, measuredB_,
                                                                          chosen_}) {
        chart->addSeries(series);
    }

    keysAxis_->setTitleText(QStringLiteral("键"));
    keysAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    keysAxis_->setRange(0.5, 88.5);
    keysAxis_->setStartValue(0.5);
    keysAxis_->append(QStringLiteral("A0"), 1);
    for (int key = 4; key <= piano::kLastKey; key += 12) {
        keysAxis_->append(QString::fromStdString(tuning::NoteName(piano::MidiOfKey(key))), key);
    }
    keysAxis_->setGridLineVisible(true);
    centsAxis_->setTitleText(QStringLiteral("偏离平均律（音分）"));
    centsAxis_->setLabelFormat(QStringLiteral("%+.0f"));
    bAxis_->setTitleText(QStringLiteral("非谐性 B"));
    bAxis_->setBase(10.0);
    bAxis_->setLabelFormat(QStringLiteral("%.0e"));
    bAxis_->setRange(kLowestShownB, kHighestShownB);
    bAxis_->setMinorTickCount(-1);
    // The cents axis draws the grid; B's own lines would cross it.
    bAxis_->setGridLineVisible(false);
    bAxis_->setMinorGridLineVisible(false);

    chart->addAxis(keysAxis_, Qt::AlignBottom);
    chart->addAxis(centsAxis_, Qt::AlignLeft);
    chart->addAxis(bAxis_, Qt::AlignRight);
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{target_, measured_, chosen_}) {
        series->attachAxis(keysAxis_);
        series->attachAxis(centsAxis_);
    }
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{fittedB_, measuredB_}) {
        series->attachAxis(keysAxis_);
        series->attachAxis(bAxis_);
    }
    setChart(chart);
    ShowPiano(piano::AverageGrandStretchCurve(), piano::AverageGrandCurve(), {}, 440.0);
}

void StretchChart::ShowPiano(const piano::StretchCurve& curve, const piano::InharmonicityCurve& fit,
                             const piano::PianoMeasurements& measurements, double referenceHz)
{
    curve_ = curve;
    const bool measured = curve.source == piano::InharmonicitySource::kMeasured;
    target_->setName(QString::fromUtf8(measured ? kMeasuredCurveName : kAverageCurveName));
    target_->setPen(QPen(kTargetColour, 2.0, measured ? Qt::SolidLine : Qt::DashLine));

    QList<QPointF> targetPoints;
    QList<QPointF> bPoints;
    for (int key = piano::kFirstKey; key <= piano::kLastKey; ++key) {
        targetPoints.append(QPointF(key, curve.TargetCents(key)));
        bPoints.append(QPointF(key, std::clamp(fit.B(key), kLowestShownB, kHighestShownB)));
    }
    target_->replace(targetPoints);
    fittedB_->replace(bPoints);

    QList<QPointF> deviationPoints;
    QList<QPointF> measuredBPoints;
    for (const piano::KeySummary& summary : measurements.Summaries()) {
        deviationPoints.append(
            QPointF(summary.key, piano::CentsFromEqualTemperament(summary.key, summary.firstPartialHz, referenceHz)));
        if (summary.b > 0.0) {
            measuredBPoints.append(QPointF(summary.key, std::clamp(summary.b, kLowestShownB, kHighestShownB)));
        }
    }
    measured_->replace(deviationPoints);
    measuredB_->replace(measuredBPoints);
    FitCentsAxis();
    if (!chosen_->points().isEmpty()) {
        ShowChosenKey(static_cast<int>(chosen_->at(0).x()));
    }
}

void StretchChart::ShowChosenKey(int key)
{
    if (!piano::IsPianoKey(key)) {
        return;
    }
    chosen_->replace(QList<QPointF>{QPointF(key, curve_.TargetCents(key))});
}

void StretchChart::FitCentsAxis()
{
    double low = kLeastLowCents;
    double high = kLeastHighCents;
    for (const QXYSeries* series : std::initializer_list<const QXYSeries*>{target_, measured_}) {
        for (const QPointF& point : series->points()) {
            low = std::min(low, point.y());
            high = std::max(high, point.y());
        }
    }
    // A little room beyond the outermost point, rounded outwards to whole
    // ticks; ticks of 10 cents, wider when a reading far off the curve (a key
    // measured while another sounded) stretches the axis, so that the labels
    // never crowd.
    low -= 2.0;
    high += 2.0;
    const double span = high - low;
    const double interval = span <= 100.0 ? 10.0 : span <= 200.0 ? 20.0 : span <= 500.0 ? 50.0 : 100.0;
    centsAxis_->setRange(std::floor(low / interval) * interval, std::ceil(high / interval) * interval);
    centsAxis_->setTickType(QValueAxis::TicksDynamic);
    centsAxis_->setTickAnchor(0.0);
    centsAxis_->setTickInterval(interval);
}

}  // namespace tonarel::pianotuning
