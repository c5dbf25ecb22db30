#pragma once
// Bringing a loaded temperament file back into the table.

#include <variant>
#include <vector>

#include "common/NumberFormat.h"
#include "temperament/core/TemperamentFile.h"
#include "temperament/core/TemperamentTable.h"

namespace tonarel {

/// The list lines of a replayed file, bass lines first (slots 60, 61, ...,
/// numbered 0, -1, ...), then treble lines (slots 0, 1, ...), each to be
/// appended to its list in this order.
using ReplayedLines = std::vector<ListLineChange>;

/// Replaces the table by the entries of `contents`: empties both directions,
/// takes all 120 measured slots from the file and feeds the bass entries,
/// then the treble entries, through AddReading in input mode, so that each
/// lands in its own slot and is judged afresh. The first replayed reading
/// rebuilds the standard scale: on 440 Hz when `fixedBase`, otherwise on
/// itself (slot 60 when the file has a bass entry, else slot 0).
/// Refused, leaving `table` exactly as it was, when that first reading cannot
/// be a base (0 Hz, for instance) while the base is not fixed; the reason is
/// UTF-8 Chinese. Counters outside 0..60 and 60..120 are refused with
/// kNotTemperamentFileMessage. A file without entries replays nothing and leaves the
/// standard scale as it was.
std::variant<ReplayedLines, ReadingRefused> ReplayTemperamentFile(TemperamentTable& table,
                                                                  const TemperamentFileContents& contents,
                                                                  bool fixedBase,
                                                                  const DecimalSeparator& decimalSeparator = {});

}  // namespace tonarel
