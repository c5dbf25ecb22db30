#pragma once
// A note's partials measured where its series says they lie: the live
// tracker's step between two decisions about the note. The series (which
// partial is which, decided by precise/PartialSeries.h) is held; each new
// pair of frames measures every partial near its expected place from the
// phase advance (tuner/core/PhaseAdvanceSpectrum.h), and the stiff-string
// model is refitted, so that the reading follows the note as it bends while
// its octave cannot change.

#include <cstdint>

#include "precise/StiffString.h"
#include "tuner/core/PhaseAdvanceSpectrum.h"

namespace tonarel::tuner {

/// What one pair of frames says of a held series.
struct SeriesMeasurement {
    /// Refitted to the partials found; the expected model when none was.
    precise::StiffString model;
    /// The first partial in hertz: measured directly where it stands clear
    /// (30 dB over the floor, within 30 dB of the strongest partial),
    /// otherwise from the fit over the upper partials. 0 when no partial was
    /// found.
    double firstPartialHz = 0.0;
    /// The share of the power from half the first partial up to the highest
    /// partial found that lies in the partials' main lobes: 0 to 1, near 1
    /// for a clean note, near 0 for noise or a note that is not there.
    double confidence = 0.0;
    /// How many partials stood at least 10 dB over their surroundings.
    uint32_t partialCount = 0;
};

/// The most partials measured.
inline constexpr uint32_t kMostMeasuredPartials = 40;

/// Measures the partials of `expected` up to `topHz` in `spectrum` (after
/// Analyse). Partial k is looked for within a quarter of the partial spacing
/// of where `expected` puts it, that place scaled by how far the partials
/// below it were found off theirs (a glide moves them all alike; the scale
/// is kept within 3 %). When `finer` holds a shorter pair of frames that
/// ends at the same sample (after Analyse), each partial found in
/// `spectrum` has its frequency read there instead, from the bins nearest to
/// it, unless that reading lies more than 2 % (or one of the short frames'
/// bins) from the long one's: the long frames separate a bass note's close
/// partials, the short ones follow its pitch as closely in time as a higher
/// note's window does (a vibrato of a bass note is not averaged away).
/// Allocates nothing.
/// Example: a C2 found in a 8192-sample spectrum, its frequencies read in the
/// 4096 samples that end with it.
SeriesMeasurement MeasureSeries(const PhaseAdvanceSpectrum& spectrum, const precise::StiffString& expected,
                                double topHz, const PhaseAdvanceSpectrum* finer = nullptr);

}  // namespace tonarel::tuner
