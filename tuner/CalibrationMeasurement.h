#pragma once
// Measuring the sound card's clock against a tone of known frequency.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "tuner/core/LiveTracker.h"

namespace tonarel::tuner {

/// Feeds a few seconds of input (at kLiveInputSampleRate as the card claims)
/// through a live tracker of its own, without any correction, and compares
/// the median of the readings with the known frequency. A card whose clock
/// runs fast by x takes more samples per real second, so every frequency reads
/// low by the factor 1 + x; the correction is known / measured.
class CalibrationMeasurement {
public:
    /// How long the tone is measured.
    static constexpr double kSeconds = 4.0;

    explicit CalibrationMeasurement(double knownHz);

    void Feed(std::span<const int16_t> block);

    /// 0 to 1: how much of the measuring time has been fed.
    double Progress() const;
    bool Done() const { return Progress() >= 1.0; }

    /// Once done: the correction in parts per million (correction factor
    /// 1 + ppm / 1e6), or a Chinese sentence saying why there is none: too
    /// few readings of a steady note, or a difference beyond ±2 %.
    std::variant<double, std::string> Result() const;

private:
    double knownHz_;
    LiveTracker tracker_;
    std::vector<LiveReading> readings_;
    std::vector<double> found_;
    uint64_t samples_ = 0;
};

}  // namespace tonarel::tuner
