#pragma once
// The pitch meter's semitone table and the search for the note nearest to a
// measured frequency.

#include <cstdint>
#include <span>

#include "common/EqualTemperament.h"

namespace tonarel {

/// Entries of the pitch meter's table: 60 semitones from the reference
/// upwards (entries 0..59) and 60 from it downwards (entries 60..119).
inline constexpr uint32_t kSemitoneCount = kEqualTemperedEntries;

/// Fills `table` (kSemitoneCount entries for the pitch meter) by the shared equal-tempered
/// rule from `reference` (Hz): entry k is semitone k above the reference,
/// entry 60 + k semitone k below it; entries 0 and 60 both hold the reference.
/// Example: with 440, entry 12 is 880.0000610351562 (the rounding of each
/// step accumulates).
void BuildSemitoneTable(float reference, std::span<float> table);

/// The semitone nearest to `frequency` (Hz), counted from the reference: 0 is
/// the reference, +1 the semitone above, -1 the one below (-9 is middle C
/// with 440). `deviation` receives (frequency - note) / note x 100, rounded
/// to float: a relative difference in hundredths of the note's frequency
/// (one semitone is about 5.95 of them), positive when sharp. A frequency
/// exactly midway between two notes goes to the higher one; one that equals
/// a note reads that note with deviation 0.
/// A frequency outside the table (below the lowest or above the highest
/// entry) or not-a-number gives the index table.size() (kSemitoneCount, 120)
/// and deviation 0.
/// `table` is one that BuildSemitoneTable filled from kReferencePitchHz: the
/// search takes the rising half for frequencies from 440 Hz up and the
/// falling half below, so a table built on another reference would send
/// the frequencies between 440 Hz and that reference to the wrong half.
int32_t FindSemitone(std::span<const float> table, float frequency, float& deviation);

}  // namespace tonarel
