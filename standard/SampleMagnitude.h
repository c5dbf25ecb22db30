#pragma once
// The magnitude of a 16-bit sample and the loudest magnitude of a run of
// samples, in 32-bit integers so that -32768 counts as 32768.

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace tonarel {

/// |sample|, 0 to 32768.
inline int32_t Magnitude(int16_t sample)
{
    return sample < 0 ? -static_cast<int32_t>(sample) : static_cast<int32_t>(sample);
}

/// The largest magnitude among samples[0 .. count), or `floor` when that is
/// larger (also for count 0).
inline int32_t PeakMagnitude(const int16_t* samples, std::size_t count, int32_t floor)
{
    // Separate extremes of the raw values vectorise well; the magnitude follows
    // from them: max(|s|) = max(highest, -lowest).
    int16_t highest = 0;
    int16_t lowest = 0;
    for (std::size_t k = 0; k < count; ++k) {
        highest = std::max(highest, samples[k]);
        lowest = std::min(lowest, samples[k]);
    }
    return std::max({floor, static_cast<int32_t>(highest), -static_cast<int32_t>(lowest)});
}

}  // namespace tonarel
