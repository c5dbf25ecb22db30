#include "tools/analyze/TrackReport.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "tools/analyze/AnalyzeReport.h"

namespace tonarel::analyze {
namespace {

std::string JsonDouble(double value)
{
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string FormatTrackedReading(const tuner::LiveReading& reading, const tuning::TuningSystem& tuning)
{
    std::string line = "{\"time\":" + JsonDouble(reading.timeSeconds) + ",\"found\":";
    line += reading.found ? "true" : "false";
    if (reading.found) {
        const tuning::TuningSystem::Reading nearest = tuning.Nearest(reading.firstPartialHz);
        line += ",\"frequency\":" + JsonDouble(reading.firstPartialHz) + ",\"note\":" + JsonString(nearest.note.name) +
                ",\"target\":" + JsonDouble(nearest.note.targetHz) + ",\"cents\":" + JsonDouble(nearest.cents);
    } else {
        line += ",\"frequency\":null,\"note\":null,\"target\":null,\"cents\":null";
    }
    line += ",\"confidence\":" + JsonDouble(reading.confidence) + "}\n";
    return line;
}

bool WriteTrackedReadings(CaptureFile& file, const tuning::TuningSystem& tuning, std::FILE* out)
{
    tuner::LiveTracker tracker;
    std::vector<tuner::LiveReading> readings;
    std::size_t left = file.DataBytesPresent() / 2;
    while (left > 0) {
        const std::span<const int16_t> view = file.ViewSamples(std::min(left, CaptureFile::kMostViewedSamples));
        if (view.empty()) {
            break;
        }
        left -= view.size();
        readings.clear();
        tracker.Feed(view, readings);
        for (const tuner::LiveReading& reading : readings) {
            const std::string line = FormatTrackedReading(reading, tuning);
            if (std::fputs(line.c_str(), out) < 0) {
                return false;
            }
        }
    }
    return std::fflush(out) == 0;
}

}  // namespace tonarel::analyze
