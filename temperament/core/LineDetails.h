#pragma once
// The details of one list line that the manager shows in its memo when the
// musician selects the line.

#include <array>
#include <cstdint>
#include <string>

#include "common/NumberFormat.h"
#include "temperament/core/TemperamentTable.h"

namespace tonarel {

/// Values of one entry, in extended precision from the stored floats and not
/// rounded again.
struct LineDetails {
    int32_t semitoneNumber = 0;     ///< k for treble line k, -k for bass line k
    long double currentHz = 0;      ///< measured frequency of the slot
    long double standardHz = 0;     ///< standard frequency of the slot
    long double deviationRatio = 0; ///< (measured - standard) / standard, no factor 100
    /// The higher of two neighbouring entries divided by the lower one:
    /// treble measured[k] / measured[k - 1], bass measured[60 + k - 1] /
    /// measured[60 + k] (bass line 1 is taken against slot 60, the bass
    /// direction's own reference note); the first line of either list divides
    /// its slot by itself, which gives 1. A divisor of 0 Hz gives an
    /// infinity, or not-a-number when the dividend is 0 as well ("INF",
    /// "-INF", "NAN" in the memo); the deviation likewise on a 0 Hz standard.
    long double interval = 0;
};

/// The details of line `line` of `direction`'s list. `line` must lie within
/// 0 .. table.EntryCount(direction) - 1.
LineDetails DetailsOfLine(const TemperamentTable& table, TemperamentDirection direction, int32_t line);

/// Memo lines 0..4 for `details`, each a fixed prefix and the value in the
/// general number format: "半音序号:-2" (ASCII colon), "当前频率：440",
/// "标准频率：880.000061035156", "偏差：5E-5", "音程：1". UTF-8.
std::array<std::string, 5> DetailMemoLines(const LineDetails& details,
                                           const DecimalSeparator& decimalSeparator = {});

}  // namespace tonarel
