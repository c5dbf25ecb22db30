#pragma once
// A piano's target curve: for each key, the cents by which its first partial
// should lie from equal temperament (A4 at 0 whatever the reference pitch),
// so that the octaves sound beatless on this piano's stiff strings.
//
// A stiff string's partial n runs sharp of n times the first partial by
//   c(n) = 600 log2((1 + n^2 B) / (1 + B))  cents.
// An octave tuned so that partial n of the lower key (n even) meets partial
// n/2 of the upper key, an n:n/2 octave, puts the upper key's first partial
// c_lower(n) - c_upper(n/2) cents above twice the lower's.
//
// The curve is built octave by octave out from the middle:
//   - the temperament octave A3-A4 (keys 37-49) is a 4:2 octave, its stretch
//     shared evenly among its twelve semitones, A4 at 0;
//   - upwards, each key (from A♯4) is an octave above the key 12 below it, a
//     blend of 4:2 and 2:1 octaves: the 2:1 octave's weight is
//     0.5 x (upper key - 52) / 36, 0 up to C5 (key 52), rising evenly to an
//     even mix at C8;
//   - downwards, each key (from G♯3) is an octave below the key 12 above it;
//     over the octave below the temperament the octaves move from 4:2 to 6:3:
//     the 6:3 octave's weight is (37 - lower key) / 12, 1/12 at G♯3 (key 36)
//     rising evenly to pure 6:3 at A2 (key 25), so that the curve bends
//     smoothly out of the temperament octave instead of stepping to the wider
//     6:3 octave at once;
//   - below A2, a blend of 6:3 and 10:5 octaves: the 10:5 octave's weight is
//     0.5 x (25 - lower key) / 24, 0 at A2 (key 25), rising evenly to an
//     even mix at A0.
// Blended octaves add the two rules' cents in those proportions. On the
// average grand (piano/AverageGrand.h) this gives about -25 cents at A0,
// -1.3 at A3, +0.7 at C5, +12 at C7 and +30 at C8, in the range that
// grands are tuned to; pure 2:1 treble octaves would leave the top too flat
// for the ear and pure 10:5 bass octaves the bottom too flat.

#include "piano/InharmonicityFit.h"
#include "piano/PianoMeasurements.h"

namespace tonarel::piano {

/// The temperament octave: A3 to A4.
inline constexpr int kTemperamentLowKey = 37;
inline constexpr int kTemperamentHighKey = 49;

/// c(n) above: how many cents partial `partial` (1 and up) of a string with
/// inharmonicity `b` (>= 0) lies above `partial` times the first partial.
/// Example: B = 1e-3, partial 4 -> 12.88 cents; partial 1 -> 0 for any B.
double PartialShiftCents(double b, int partial);

/// The cents above a pure 2:1 octave of an octave from a key with
/// inharmonicity `bLower` to the key 12 above it with `bUpper`, tuned so that
/// the lower key's partial `lowerPartial` (2, 4, 6, 10, ...) meets the upper
/// key's partial `lowerPartial` / 2: c_lower(n) - c_upper(n / 2).
double OctaveStretchCents(double bLower, double bUpper, int lowerPartial);

/// The octave rule from key `lowerKey` to the key 12 above: partial
/// `partialA` of the lower key meeting partial partialA / 2 of the upper, or
/// `partialB` likewise, blended with weight `weightB` (0 to 1) on the second.
struct OctaveBlend {
    int partialA = 4;
    int partialB = 4;
    double weightB = 0.0;
};

/// The blend the curve uses for the octave from `lowerKey` (1 to 76) up (see
/// the top of this file). Examples: 37 -> 4:2; 40 (C4-C5) -> 4:2; 76
/// (C7-C8) -> 4:2 and 2:1 half each; 36 -> 4:2 with 1/12 of 6:3; 31 -> 4:2
/// and 6:3 half each; 25 -> 6:3; 1 -> 6:3 and 10:5 half each.
OctaveBlend OctaveBlendFor(int lowerKey);

/// The blended octave's cents above a pure octave (OctaveStretchCents per rule).
double BlendedOctaveCents(const OctaveBlend& blend, double bLower, double bUpper);

struct StretchCurve {
    InharmonicitySource source = InharmonicitySource::kAverageGrand;  ///< measured or the average grand
    KeyValues b{};             ///< the B the curve was computed from
    KeyValues targetCents{};   ///< cents from equal temperament, A4 (key 49) at exactly 0

    double TargetCents(int key) const { return targetCents[IndexOfKey(key)]; }
    /// The first partial key `key` should sound with A4 at `referenceHz`:
    /// the equal-tempered pitch moved by TargetCents. Example: key 49 on
    /// 442 Hz -> 442 Hz exactly.
    double TargetHz(int key, double referenceHz) const;
};

/// The curve for B per key `b` (each >= 0), marked with `source`.
StretchCurve ComputeStretchCurve(const KeyValues& b, InharmonicitySource source);
/// The curve for a fitted (or average) inharmonicity.
StretchCurve ComputeStretchCurve(const InharmonicityCurve& curve);
/// The average grand's curve, not measured.
StretchCurve AverageGrandStretchCurve();

/// Cents of a first partial at `hz` from key `key`'s equal-tempered pitch with
/// A4 at `referenceHz`. Example: 441 Hz on key 49, 440 Hz -> +3.93.
double CentsFromEqualTemperament(int key, double hz, double referenceHz);

}  // namespace tonarel::piano
