#include "tuner/CalibrationMeasurement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "platform/LiveSoundInput.h"
#include "tuner/TunerSettings.h"
#include "tuner/core/PitchNames.h"

namespace tonarel::tuner {

namespace {

/// At least half the measuring time must hold a note.
constexpr double kLeastFoundShare = 0.5;

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace

CalibrationMeasurement::CalibrationMeasurement(double knownHz) : knownHz_(knownHz) {}

void CalibrationMeasurement::Feed(std::span<const int16_t> block)
{
    if (Done()) {
        return;
    }
    readings_.clear();
    tracker_.Feed(block, readings_);
    samples_ += block.size();
    for (const LiveReading& reading : readings_) {
        if (reading.found) {
            found_.push_back(reading.firstPartialHz);
        } else {
            found_.push_back(0.0);  // counted, so that silence weighs against the share
        }
    }
}

double CalibrationMeasurement::Progress() const
{
    return std::min(1.0, static_cast<double>(samples_) / (kSeconds * kLiveInputSampleRate));
}

std::variant<double, std::string> CalibrationMeasurement::Result() const
{
    std::vector<double> heard;
    std::copy_if(found_.begin(), found_.end(), std::back_inserter(heard), [](double hz) { return hz > 0; });
    if (heard.empty() || static_cast<double>(heard.size()) < kLeastFoundShare * static_cast<double>(found_.size())) {
        return std::string("没有听到稳定的参考音：请把参考音源靠近麦克风，再测一次。");
    }
    std::nth_element(heard.begin(), heard.begin() + static_cast<std::ptrdiff_t>(heard.size() / 2), heard.end());
    const double measured = heard[heard.size() / 2];
    const double ppm = (knownHz_ / measured - 1.0) * 1e6;
    if (!(std::abs(ppm) <= kCalibrationLimitPpm)) {
        return "测得的频率是 " + Fixed(measured, 2) + " 赫兹，与已知的 " + Fixed(knownHz_, 2) +
               " 赫兹相差 " + Fixed(tuning::CentsBetween(measured, knownHz_), 1) +
               " 音分，超过了 2%：请确认参考音的频率，或者是否听到了别的音。校准没有改变。";
    }
    return ppm;
}

}  // namespace tonarel::tuner
