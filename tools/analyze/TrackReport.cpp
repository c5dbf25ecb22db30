#include "tools/analyze/TrackReport.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "tuner/core/PitchNames.h"

namespace tonarel::analyze {
namespace {

constexpr double kReferenceHz = 440.0;

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

std::string FormatTrackedReading(const tuner::LiveReading& reading)
{
    std::string line = "{\"time\":" + JsonDouble(reading.timeSeconds) + ",\"found\":";
    line += reading.found ? "true" : "false";
    if (reading.found) {
        const double semitones = 12.0 * std::log2(reading.firstPartialHz / kReferenceHz);
        const int midi = tuning::kMidiA4 + static_cast<int>(std::lround(semitones));
        const double target = tuning::EqualTemperedHz(midi, kReferenceHz);
        line += ",\"frequency\":" + JsonDouble(reading.firstPartialHz) + ",\"note\":\"" + tuning::NoteName(midi) +
                "\",\"target\":" + JsonDouble(target) +
                ",\"cents\":" + JsonDouble(tuning::CentsBetween(reading.firstPartialHz, target));
    } else {
        line += ",\"frequency\":null,\"note\":null,\"target\":null,\"cents\":null";
    }
    line += ",\"confidence\":" + JsonDouble(reading.confidence) + "}\n";
    return line;
}

bool WriteTrackedReadings(CaptureFile& file, std::FILE* out)
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
            const std::string line = FormatTrackedReading(reading);
            if (std::fputs(line.c_str(), out) < 0) {
                return false;
            }
        }
    }
    return std::fflush(out) == 0;
}

}  // namespace tonarel::analyze
