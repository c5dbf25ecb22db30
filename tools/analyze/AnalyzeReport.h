#pragma once
// How tonarel-analyze prints an analysis: as the pitch meter's labels, or as
// one JSON object.

#include <string>

#include "meter/core/RecordingAnalysis.h"
#include "tuner/core/TuningSystem.h"

namespace tonarel::analyze {

/// One line per value label that the analysis writes, caption and text as
/// the pitch meter shows them ("音高（赫兹）：438"). With no sound only the
/// frequency and ratio lines, which carry the no-sound messages.
std::string FormatLabels(const RecordingAnalysis& analysis);

/// One JSON object (UTF-8, ending in a newline) with the label texts
/// (frequency_text, snr_text, semitone_text, deviation_text; null when the
/// label is not written), the numbers behind them (frequency, printed so that
/// it reads back to the same float; snr_used; byte_count; semitone;
/// deviation; null with no sound except frequency -1 and snr_used), no_sound,
/// and the final scan's begin and end and the period count (null when the
/// estimate did not get that far). With a precise reading, an object
/// `precise`: found, first_partial_hz (the unrounded reading), begin and end
/// (data offsets in bytes of the stretch it used; 2 bytes per frame in a file
/// of another format), confidence (0 to 1),
/// inharmonicity (B) and partials (how many it used); given a `tuning`, also
/// note ("A4"), target (Hz) and cents: the nearest note of that system to
/// first_partial_hz, null when the reading found none. Without `tuning` the
/// object is as it always was.
std::string FormatJson(const RecordingAnalysis& analysis, const tuning::TuningSystem* tuning = nullptr);

/// `text` as a JSON string literal, quotes included; UTF-8 passes through.
std::string JsonString(const std::string& text);

}  // namespace tonarel::analyze
