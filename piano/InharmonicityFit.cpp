#include "piano/InharmonicityFit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "piano/AverageGrand.h"

namespace tonarel::piano {
namespace {

struct LogPoint {
    double key = 0.0;
    double logB = 0.0;
};

struct LineFit {
    InharmonicityLine line;
    double squaredResiduals = 0.0;
};

// Least squares of ln B on the key; nothing unless the points hold two
// distinct keys.
std::optional<LineFit> FitLine(std::span<const LogPoint> points)
{
    if (points.size() < 2 || points.front().key == points.back().key) {
        return std::nullopt;
    }
    const double count = static_cast<double>(points.size());
    double meanKey = 0.0, meanLog = 0.0;
    for (const LogPoint& point : points) {
        meanKey += point.key / count;
        meanLog += point.logB / count;
    }
    double sxx = 0.0, sxy = 0.0;
    for (const LogPoint& point : points) {
        sxx += (point.key - meanKey) * (point.key - meanKey);
        sxy += (point.key - meanKey) * (point.logB - meanLog);
    }
    LineFit fit;
    fit.line.slope = sxy / sxx;
    fit.line.intercept = meanLog - fit.line.slope * meanKey;
    for (const LogPoint& point : points) {
        const double residual = point.logB - (fit.line.intercept + fit.line.slope * point.key);
        fit.squaredResiduals += residual * residual;
    }
    return fit;
}

InharmonicityLine LineWithSlopeThrough(double slope, double key, double logB) { return {logB - slope * key, slope}; }

void FillKeys(InharmonicityCurve& curve)
{
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        const InharmonicityLine& line = key < curve.breakKey ? curve.bass : curve.treble;
        curve.b[IndexOfKey(key)] = std::clamp(line.At(key), kLeastFittedInharmonicity, kHighestInharmonicity);
    }
}

// The lines when no boundary leaves two keys on each side: the treble line
// over the keys above the average grand's break, the bass line with the
// average grand's slope.
std::optional<InharmonicityCurve> FitWithAverageBassSlope(std::span<const LogPoint> points)
{
    const auto firstTreble = std::find_if(points.begin(), points.end(),
                                          [](const LogPoint& point) { return point.key > kAverageGrandBreakKey; });
    const std::span<const LogPoint> bass(points.begin(), firstTreble);
    const std::optional<LineFit> treble = FitLine({firstTreble, points.end()});
    if (!treble) {
        return std::nullopt;
    }
    InharmonicityCurve curve;
    curve.source = InharmonicitySource::kMeasured;
    curve.treble = treble->line;
    curve.breakKey = kAverageGrandBreakKey;
    const double bassSlope = AverageGrandBassLine().slope;
    if (bass.empty()) {
        curve.bass = LineWithSlopeThrough(bassSlope, kAverageGrandBreakKey,
                                          std::log(curve.treble.At(kAverageGrandBreakKey)));
    } else {
        double meanKey = 0.0, meanLog = 0.0;
        for (const LogPoint& point : bass) {
            meanKey += point.key / static_cast<double>(bass.size());
            meanLog += point.logB / static_cast<double>(bass.size());
        }
        curve.bass = LineWithSlopeThrough(bassSlope, meanKey, meanLog);
    }
    return curve;
}

}  // namespace

InharmonicityCurve AverageGrandCurve()
{
    InharmonicityCurve curve;
    curve.source = InharmonicitySource::kAverageGrand;
    curve.breakKey = kAverageGrandBreakKey;
    curve.bass = AverageGrandBassLine();
    curve.treble = AverageGrandTrebleLine();
    FillKeys(curve);
    return curve;
}

InharmonicityCurve FitInharmonicity(std::span<const KeyInharmonicity> given)
{
    std::vector<LogPoint> points;
    for (const KeyInharmonicity& point : given) {
        if (IsPianoKey(point.key) && std::isfinite(point.b) && point.b > 0.0 && point.b <= kHighestInharmonicity) {
            points.push_back({static_cast<double>(point.key), std::log(point.b)});
        }
    }
    std::sort(points.begin(), points.end(), [](const LogPoint& a, const LogPoint& b) { return a.key < b.key; });
    const int keysUsed = static_cast<int>(points.size());
    const auto aboveC4 = std::count_if(points.begin(), points.end(),
                                       [](const LogPoint& point) { return point.key > kLatestBreakKey; });
    if (keysUsed < kLeastFittedKeys || aboveC4 < 2) {
        InharmonicityCurve curve = AverageGrandCurve();
        curve.keysUsed = keysUsed;
        return curve;
    }

    std::optional<InharmonicityCurve> best;
    double leastResiduals = std::numeric_limits<double>::infinity();
    for (std::size_t split = 2; split + 2 <= points.size(); ++split) {
        const double breakKey = (points[split - 1].key + points[split].key) / 2.0;
        if (points[split - 1].key == points[split].key || breakKey > kLatestBreakKey) {
            continue;
        }
        const std::span<const LogPoint> all(points);
        const std::optional<LineFit> bass = FitLine(all.first(split));
        const std::optional<LineFit> treble = FitLine(all.subspan(split));
        if (!bass || !treble || bass->squaredResiduals + treble->squaredResiduals >= leastResiduals) {
            continue;
        }
        leastResiduals = bass->squaredResiduals + treble->squaredResiduals;
        best = InharmonicityCurve{};
        best->source = InharmonicitySource::kMeasured;
        best->breakKey = breakKey;
        best->bass = bass->line;
        best->treble = treble->line;
        best->bassFitted = true;
    }
    if (!best) {
        best = FitWithAverageBassSlope(points);
        if (!best) {
            InharmonicityCurve curve = AverageGrandCurve();
            curve.keysUsed = keysUsed;
            return curve;
        }
    }
    best->keysUsed = keysUsed;
    best->lowestOctaveMeasured = points.front().key <= kHighestLowOctaveKey;
    best->topMeasured = points.back().key >= kLowestTopKey;
    FillKeys(*best);
    return *best;
}

InharmonicityCurve FitInharmonicity(const PianoMeasurements& measurements)
{
    std::vector<KeyInharmonicity> points;
    for (const KeySummary& summary : measurements.Summaries()) {
        points.push_back({summary.key, summary.b});
    }
    return FitInharmonicity(points);
}

std::vector<std::string> FitNotices(const InharmonicityCurve& curve)
{
    if (curve.source == InharmonicitySource::kAverageGrand && curve.keysUsed >= kLeastFittedKeys) {
        return {"未测量：C4 以上测得非谐性的键不足两个，目标曲线按一般三角钢琴的平均非谐性计算，只能作为调律的起点"};
    }
    if (curve.source == InharmonicitySource::kAverageGrand) {
        return {"未测量：目标曲线按一般三角钢琴的平均非谐性计算，只能作为调律的起点（测得非谐性的键有 " +
                std::to_string(curve.keysUsed) + " 个，至少需要 " + std::to_string(kLeastFittedKeys) + " 个）"};
    }
    std::vector<std::string> notices;
    if (!curve.bassFitted) {
        notices.push_back("C4 以下测得的键不足两个：低音区的非谐性按一般三角钢琴的走向推算");
    }
    if (!curve.lowestOctaveMeasured) {
        notices.push_back("最低八度（A0 到 G♯1）没有测量的键：那里的非谐性是推算的");
    }
    if (!curve.topMeasured) {
        notices.push_back("F♯6 及以上没有测量的键：最高音区的非谐性是推算的");
    }
    return notices;
}

}  // namespace tonarel::piano
