#include "tuner/core/LiveTracker.h"

#include <algorithm>
#include <cmath>

namespace tonarel::tuner {

namespace {

constexpr std::size_t kWindowSamples = 4096;
constexpr std::size_t kHopSamples = 1024;
constexpr double kQuietRms = 32768.0 * 0.003;  // about -50 dBFS

}  // namespace

LiveTracker::LiveTracker()
{
    Reset();
}

void LiveTracker::Reset()
{
    window_.assign(kWindowSamples, 0.0);
    head_ = 0;
    sinceReading_ = 0;
    samplesFed_ = 0;
    sounding_ = false;
}

void LiveTracker::SetFrequencyCorrection(double factor)
{
    correction_ = factor;
}

void LiveTracker::Feed(std::span<const int16_t> block, std::vector<LiveReading>& out)
{
    for (const int16_t sample : block) {
        window_[head_] = sample;
        head_ = (head_ + 1) % window_.size();
        ++samplesFed_;
        if (++sinceReading_ == kHopSamples) {
            sinceReading_ = 0;
            LiveReading reading = Analyse();
            reading.noteStarted = reading.found && !sounding_;
            sounding_ = reading.found;
            out.push_back(reading);
        }
    }
}

LiveReading LiveTracker::Analyse() const
{
    // The ring in time order, oldest first.
    std::vector<double> samples(window_.begin() + static_cast<std::ptrdiff_t>(head_), window_.end());
    samples.insert(samples.end(), window_.begin(), window_.begin() + static_cast<std::ptrdiff_t>(head_));
    LiveReading reading;
    reading.timeSeconds = static_cast<double>(samplesFed_) / kLiveSampleRate;
    double energy = 0;
    double peak = 0;
    for (const double sample : samples) {
        energy += sample * sample;
        peak = std::max(peak, std::abs(sample));
    }
    const double rms = std::sqrt(energy / static_cast<double>(samples.size()));
    if (rms < kQuietRms) {
        return reading;
    }
    // Upward zero crossings, each after the signal went clearly negative.
    const double hysteresis = 0.3 * peak;
    bool armed = false;
    double first = -1;
    double last = -1;
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i] < -hysteresis) {
            armed = true;
        }
        if (armed && samples[i - 1] < 0 && samples[i] >= 0) {
            const double at = static_cast<double>(i - 1) + (-samples[i - 1]) / (samples[i] - samples[i - 1]);
            if (first < 0) {
                first = at;
            }
            last = at;
            ++crossings;
            armed = false;
        }
    }
    if (crossings < 3) {
        return reading;
    }
    reading.found = true;
    reading.firstPartialHz = correction_ * (crossings - 1) * kLiveSampleRate / (last - first);
    reading.confidence = std::min(1.0, rms / 3000.0);
    reading.partialCount = 1;
    return reading;
}

}  // namespace tonarel::tuner
