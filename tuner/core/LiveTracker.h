#pragma once
// Live pitch readings from sound input, block by block as it arrives.

#include <cstdint>
#include <span>
#include <vector>

namespace tonarel::tuner {

/// Mono 16-bit samples at this rate.
inline constexpr double kLiveSampleRate = 44100.0;

struct LiveReading {
    bool found = false;
    double firstPartialHz = 0;
    double confidence = 0;   ///< 0..1
    double timeSeconds = 0;  ///< from the first sample fed to the end of the samples the reading uses
    double inharmonicity = 0;
    uint32_t partialCount = 0;
    bool noteStarted = false;  ///< the first reading of a new note
};

class LiveTracker {
public:
    LiveTracker();
    /// Appends the readings completed by this block (at least 20 per second of input).
    void Feed(std::span<const int16_t> block, std::vector<LiveReading>& out);
    /// Multiplies every frequency: calibration, 1 + ppm / 1e6.
    void SetFrequencyCorrection(double factor);
    void Reset();

private:
    LiveReading Analyse() const;

    std::vector<double> window_;  ///< a ring of the latest samples
    std::size_t head_ = 0;        ///< where the next sample goes
    std::size_t sinceReading_ = 0;
    uint64_t samplesFed_ = 0;
    double correction_ = 1.0;
    bool sounding_ = false;
};

}  // namespace tonarel::tuner
