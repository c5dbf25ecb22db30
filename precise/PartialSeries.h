#pragma once
// Which spectral peaks belong to the note, and as which partials: the series
// of partials (harmonic, or stretched like a stiff string's) that explains
// the peaks best. This is the step that decides the octave: a candidate one
// octave too low explains the same peaks but leaves every other partial
// empty; one an octave too high leaves the odd partials unexplained.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "precise/StiffString.h"
#include "precise/StretchSpectrum.h"

namespace tonarel::precise {

/// A spectral peak taken as partial `number` of the note.
struct MatchedPartial {
    uint32_t number = 0;
    SpectralPeak peak;
};

/// The series that explains the peaks best.
struct PartialSeries {
    StiffString model;                     ///< fitted to the matched peaks
    std::vector<MatchedPartial> partials;  ///< in rising number, at least one
};

/// The range of first partials searched, in hertz: below the lowest piano
/// key (27.5 Hz; the lowest notes of a real piano are often a little flat)
/// to above its highest (4186 Hz; the top octave is often stretched sharp).
inline constexpr double kLowestFirstPartialHz = 25.0;
inline constexpr double kHighestFirstPartialHz = 4600.0;

/// Searches `peaks` (rising in frequency) for the note's series. Candidates
/// are the strongest peaks taken as partials 1 to 12; each is followed up the
/// spectrum to `topHz` partial by partial, the stiff-string model refitted as
/// partials are found so that the search follows a piano's stretched
/// partials. The candidate whose matched peaks stand highest over the noise,
/// less a penalty for every partial missing below its highest matched one,
/// wins. A winner whose odd partials an octave below are present (the lower
/// first partial and another of the first five odd ones) gives way to that
/// lower series, as often as that holds: an organ's weak odd partials do not
/// read an octave high. Nothing when there is no peak or no candidate in range.
std::optional<PartialSeries> FindPartialSeries(std::span<const SpectralPeak> peaks, double topHz);

}  // namespace tonarel::precise
