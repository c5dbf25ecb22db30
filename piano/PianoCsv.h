#pragma once
// The curve and the measurements as CSV, for a spreadsheet: a header line,
// then one line per key 1 to 88 (UTF-8, comma-separated, "\n" line ends,
// numbers with a decimal point whatever the locale, shortest form that reads
// back to the same double; an empty field where a key has no reading):
//
//   key,name,b,target_cents,target_hz,measured_hz,measured_b,measured_cents,readings,curve
//   49,A4,0.00041,0,440,440.12,0.00041,0.472,2,measured
//
// b and target_* are the curve's; measured_* the key's readings averaged
// (piano/PianoMeasurements.h), measured_cents from equal temperament;
// curve is "measured" or "average_grand" (not measured) on every line.

#include <filesystem>
#include <optional>
#include <string>

#include "piano/PianoFile.h"

namespace tonarel::piano {

/// The CSV text of `contents`.
std::string FormatPianoCsv(const PianoFileContents& contents);

/// Writes FormatPianoCsv(contents) to `path`, whole or not at all.
std::optional<SaveFailure> WritePianoCsv(const std::filesystem::path& path, const PianoFileContents& contents);

}  // namespace tonarel::piano
