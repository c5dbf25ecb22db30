#pragma once
// The inharmonicity of an average grand piano, for a piano not (yet) measured:
// a starting point only, never a measurement.
//
// ln B as two straight lines meeting at C3 (key 28): along the wound bass
// strings from B = 3e-4 at A0 falling to 1e-4 at C3, the least of the
// keyboard, then along the plain strings rising to 1e-2 at C8 (B about
// doubles every nine keys; A4 has 5e-4). These are round figures of the kind
// published for concert and parlour grands; an upright's are higher.

#include "piano/InharmonicityLine.h"

namespace tonarel::piano {

/// Keys below this are on the bass line, keys above it on the treble line.
inline constexpr double kAverageGrandBreakKey = 28.5;

InharmonicityLine AverageGrandBassLine();
InharmonicityLine AverageGrandTrebleLine();

/// The average grand's B at `key`, 1 to 88. Example: key 1 -> 3e-4, key 28
/// -> 1e-4, key 88 -> 1e-2.
double AverageGrandInharmonicity(int key);

}  // namespace tonarel::piano
