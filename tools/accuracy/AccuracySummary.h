#pragma once
// The figures by which a reading of notes with a known pitch is judged:
// errors in cents, 1200 log2(reading / reference).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tonarel::accuracy {

/// A reading's error in cents against `referenceHz`; nothing when there was
/// no reading.
std::optional<double> ErrorCents(std::optional<double> readingHz, double referenceHz);

/// The figures of one group of notes for one reading.
struct AccuracySummary {
    uint32_t notes = 0;
    uint32_t misses = 0;            ///< no reading
    uint32_t withinOneCent = 0;     ///< |error| <= 1
    uint32_t withinFiveCents = 0;   ///< |error| <= 5
    uint32_t gross = 0;             ///< |error| > 50: an octave or a wrong partial
    double medianAbsCents = 0.0;    ///< over the notes read; a miss counts as an infinite error
};

/// Summarises the errors of a group (nothing = a miss).
AccuracySummary Summarise(const std::vector<std::optional<double>>& errors);

}  // namespace tonarel::accuracy
