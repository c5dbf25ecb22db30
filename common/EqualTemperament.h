#pragma once
// The equal-tempered table shared by the pitch meter (its semitone table) and
// the temperament manager (its standard table).

#include <cstdint>

namespace tonarel {

/// The reference pitch A, in hertz: the pitch meter's semitone table and the
/// temperament manager's fixed standard scale are built on it, and semitone
/// indices count from it.
inline constexpr float kReferencePitchHz = 440.0f;

/// Entries of a full table: a rising half and a falling half of 60 each.
inline constexpr uint32_t kEqualTemperedEntries = 120;

/// The semitone step as instrument makers write it, 1.05946309, held as the
/// nearest double. It is deliberately not 2^(1/12) = 1.0594630943592953: the
/// tables, and every verdict judged against them, are built on this decimal.
inline constexpr double kSemitoneFactor = 1.05946309;

/// The falling step: the extended-precision reciprocal of kSemitoneFactor
/// (0.94387431656538..., not 2^(-1/12)).
inline constexpr long double kDescendingFactor = 1.0L / static_cast<long double>(kSemitoneFactor);

/// Fills table[0 .. count) from `base` (Hz). With half = count / 2:
///   table[0] = base, table[k + 1] = table[k] x kSemitoneFactor   for k = 0 .. half - 2;
///   table[half] = base, table[k + 1] = table[k] x kDescendingFactor for k = half .. count - 2.
/// Each product is formed in extended precision from the stored float before it
/// and rounded to float on storing, so rounding accumulates step by step: with
/// base 440 entry 12 is 880.0000610351562, not 880. Entry `half` repeats the base.
/// For count 120: entries 0..59 are semitones 0..59 above the base, entries
/// 60..119 semitones 0..59 below it.
void BuildEqualTemperedTable(float base, float* table, uint32_t count);

}  // namespace tonarel
