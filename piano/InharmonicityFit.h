#pragma once
// A piano's inharmonicity over all 88 keys, fitted to the keys measured.
//
// ln B is fitted against the key number as two straight lines, one for the
// wound bass strings and one for the plain strings, by least squares. Where
// the one gives way to the other (usually between the lowest octave and C3)
// is found from the data: every boundary between two measured keys up to C4
// (key 40) that leaves at least two keys on each side is tried, and the one
// whose two lines leave the least sum of squared residuals wins.
//
// At least kLeastFittedKeys keys with a measured B (> 0) are needed; with
// fewer, or with fewer than two above C4 (key 40) to carry the treble line,
// the result is the average grand (piano/AverageGrand.h), marked as not
// measured. With enough keys but fewer than two of them below C4 (or
// fewer than two above the break any candidate would give), the keys above
// C3 carry the treble line, and the bass line keeps the average grand's slope
// through the one bass key measured, or, with none, continues the treble
// line from C3. A key or two in the lowest octave (A0-G♯1) and one at or
// above F♯6 (key 70) keep the two ends from being extrapolated.
//
// Example: keys 1, 9, 17, 25, 33, 41, 49, 57, 65, 73, 81 and 88 measured on
// the average grand give that grand back, break between keys 25 and 33.

#include <span>
#include <string>
#include <vector>

#include "piano/InharmonicityLine.h"
#include "piano/PianoMeasurements.h"

namespace tonarel::piano {

/// The fewest keys with a measured B that the fit accepts.
inline constexpr int kLeastFittedKeys = 8;
/// The latest boundary the break may take: between C4 and C♯4.
inline constexpr double kLatestBreakKey = 40.5;
/// The lowest key of the top range that a measured curve should reach (F♯6).
inline constexpr int kLowestTopKey = 70;
/// The highest key of the lowest octave (G♯1).
inline constexpr int kHighestLowOctaveKey = 12;
/// Fitted values are held to [kLeastFittedInharmonicity, kHighestInharmonicity]
/// where a line is extrapolated far.
inline constexpr double kLeastFittedInharmonicity = 1e-6;

/// One key's measured B.
struct KeyInharmonicity {
    int key = 0;    ///< 1 to 88
    double b = 0.0; ///< > 0; points outside these ranges are ignored
};

enum class InharmonicitySource {
    kMeasured,      ///< fitted to the piano's own keys
    kAverageGrand,  ///< not measured: the average grand
};

struct InharmonicityCurve {
    InharmonicitySource source = InharmonicitySource::kAverageGrand;
    KeyValues b{};  ///< B of keys 1 to 88 (index key - 1)
    /// Keys below it lie on the bass line, keys above it on the treble line;
    /// halfway between two keys.
    double breakKey = 0.0;
    InharmonicityLine bass;
    InharmonicityLine treble;
    int keysUsed = 0;          ///< keys with a measured B the fit used
    bool bassFitted = false;   ///< at least two measured keys carry the bass line
    bool lowestOctaveMeasured = false;  ///< a key of 1 to 12 was used
    bool topMeasured = false;           ///< a key of 70 or above was used

    /// B at `key`, 1 to 88.
    double B(int key) const { return b[IndexOfKey(key)]; }
};

/// Fits `points` (any order; keys outside 1 to 88, B not in (0,
/// kHighestInharmonicity] are left out; a key given twice counts twice).
InharmonicityCurve FitInharmonicity(std::span<const KeyInharmonicity> points);

/// Fits the averaged B of every measured key of `measurements`.
InharmonicityCurve FitInharmonicity(const PianoMeasurements& measurements);

/// The average grand, not measured.
InharmonicityCurve AverageGrandCurve();

/// What the user should know about `curve` before trusting it, one Chinese
/// sentence each (UTF-8); empty for a fit over the whole keyboard. Example:
/// "未测量：目标曲线按一般三角钢琴的平均非谐性计算，只能作为调律的起点（测得非谐性的键有 3 个，至少需要 8 个）".
std::vector<std::string> FitNotices(const InharmonicityCurve& curve);

}  // namespace tonarel::piano
