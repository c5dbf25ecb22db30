#include "piano/PianoMeasurements.h"

#include <algorithm>
#include <cmath>

namespace tonarel::piano {

bool IsValidReading(const KeyReading& reading)
{
    return std::isfinite(reading.firstPartialHz) && reading.firstPartialHz > 0.0 &&
           reading.firstPartialHz <= kHighestFirstPartialHz && std::isfinite(reading.b) && reading.b >= 0.0 &&
           reading.b <= kHighestInharmonicity && reading.partialCount <= kMostPartials && reading.measuredAt >= 0;
}

bool PianoMeasurements::Add(int key, const KeyReading& reading)
{
    if (!IsPianoKey(key) || !IsValidReading(reading)) {
        return false;
    }
    std::vector<KeyReading>& readings = readings_[IndexOfKey(key)];
    if (readings.size() >= kMostReadingsPerKey) {
        readings.erase(readings.begin());
    }
    readings.push_back(reading);
    return true;
}

void PianoMeasurements::ClearKey(int key)
{
    if (IsPianoKey(key)) {
        readings_[IndexOfKey(key)].clear();
    }
}

void PianoMeasurements::Clear()
{
    for (std::vector<KeyReading>& readings : readings_) {
        readings.clear();
    }
}

const std::vector<KeyReading>& PianoMeasurements::Readings(int key) const
{
    static const std::vector<KeyReading> kNone;
    return IsPianoKey(key) ? readings_[IndexOfKey(key)] : kNone;
}

std::optional<KeySummary> PianoMeasurements::Summary(int key) const
{
    const std::vector<KeyReading>& readings = Readings(key);
    if (readings.empty()) {
        return std::nullopt;
    }
    KeySummary summary;
    summary.key = key;
    summary.readingCount = readings.size();
    summary.partialCount = readings.front().partialCount;
    double sumLogHz = 0.0;
    double sumB = 0.0;
    for (const KeyReading& reading : readings) {
        sumLogHz += std::log(reading.firstPartialHz);
        sumB += reading.b;
        summary.partialCount = std::min(summary.partialCount, reading.partialCount);
        summary.measuredAt = std::max(summary.measuredAt, reading.measuredAt);
    }
    const double count = static_cast<double>(readings.size());
    summary.firstPartialHz = std::exp(sumLogHz / count);
    summary.b = sumB / count;
    return summary;
}

std::vector<KeySummary> PianoMeasurements::Summaries() const
{
    std::vector<KeySummary> summaries;
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        if (const std::optional<KeySummary> summary = Summary(key)) {
            summaries.push_back(*summary);
        }
    }
    return summaries;
}

int PianoMeasurements::MeasuredKeyCount() const
{
    return static_cast<int>(std::count_if(readings_.begin(), readings_.end(),
                                          [](const std::vector<KeyReading>& readings) { return !readings.empty(); }));
}

}  // namespace tonarel::piano
