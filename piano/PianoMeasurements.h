#pragma once
// What has been measured on one piano: for each key 1 (A0) to 88 (C8), the
// readings taken of it, and their average.
//
// A key measured more than once is summarised by averaging its readings: the
// first partial as the mean of the log-frequencies (the geometric mean, so
// that readings a few cents apart average to the cents between them), B as
// the arithmetic mean, the partials as the fewest any reading used (how far
// the summary can be trusted), and the time as the latest reading's.
//
// Example: two readings of A4 at 440 Hz and 441 Hz, B 3e-4 and 5e-4, give
// 440.4997 Hz and B 4e-4.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "tuner/core/PitchNames.h"

namespace tonarel::piano {

inline constexpr int kFirstKey = tuning::kFirstPianoKey;  ///< A0
inline constexpr int kLastKey = tuning::kLastPianoKey;    ///< C8
inline constexpr int kKeyCount = kLastKey - kFirstKey + 1;

/// True for 1 to 88.
constexpr bool IsPianoKey(int key) { return key >= kFirstKey && key <= kLastKey; }
/// The MIDI note of a key: 1 -> 21 (A0), 49 -> 69 (A4), 88 -> 108 (C8).
constexpr int MidiOfKey(int key) { return key + tuning::kPianoKeyToMidi; }
/// The array index of a key, 0 to 87.
constexpr std::size_t IndexOfKey(int key) { return static_cast<std::size_t>(key - kFirstKey); }

/// Per-key values, key 1 at index 0.
using KeyValues = std::array<double, kKeyCount>;

/// The highest first partial and B a reading may carry; beyond them it is
/// no piano string.
inline constexpr double kHighestFirstPartialHz = 20000.0;
inline constexpr double kHighestInharmonicity = 0.1;
/// At most this many readings are kept per key; a further one drops the oldest.
inline constexpr std::size_t kMostReadingsPerKey = 16;
/// At most this many partials a reading may claim.
inline constexpr uint32_t kMostPartials = 1000;

/// One reading of a key.
struct KeyReading {
    double firstPartialHz = 0.0;  ///< hertz, > 0 and <= kHighestFirstPartialHz
    double b = 0.0;               ///< inharmonicity, 0 (not measured or harmonic) to kHighestInharmonicity
    uint32_t partialCount = 0;    ///< partials the reading used, 0 to kMostPartials
    int64_t measuredAt = 0;       ///< when, in seconds since 1970-01-01 UTC, >= 0

    friend bool operator==(const KeyReading&, const KeyReading&) = default;
};

/// True when every field of `reading` lies in its range (finite numbers only).
bool IsValidReading(const KeyReading& reading);

/// A key's readings averaged (see the top of this file).
struct KeySummary {
    int key = 0;
    double firstPartialHz = 0.0;
    double b = 0.0;
    uint32_t partialCount = 0;
    int64_t measuredAt = 0;
    std::size_t readingCount = 0;
};

class PianoMeasurements {
public:
    /// Adds a reading of `key`. False, and nothing changes, when the key is
    /// not 1 to 88 or the reading is not valid.
    bool Add(int key, const KeyReading& reading);
    /// Forgets every reading of `key` (nothing for a key outside 1 to 88).
    void ClearKey(int key);
    void Clear();

    /// The readings of `key` in the order they were added; empty for a key
    /// not measured or outside 1 to 88.
    const std::vector<KeyReading>& Readings(int key) const;
    /// The average of `key`'s readings; nothing when it has none.
    std::optional<KeySummary> Summary(int key) const;
    /// The summaries of all measured keys, lowest key first.
    std::vector<KeySummary> Summaries() const;
    /// How many keys have at least one reading.
    int MeasuredKeyCount() const;

    friend bool operator==(const PianoMeasurements&, const PianoMeasurements&) = default;

private:
    std::array<std::vector<KeyReading>, kKeyCount> readings_;
};

}  // namespace tonarel::piano
