#pragma once
// Temperament tables prepared for a test in one line.

#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "temperament/core/TemperamentTable.h"

namespace tonarel::test {

/// A table holding these entries, taken in input mode (bass first, then
/// treble) on the 440 Hz scale, or on the first reading when `fixedBase` is
/// false. Every reading must be accepted.
inline TemperamentTable TableWith(const std::vector<float>& treble, const std::vector<float>& bass,
                                  bool fixedBase = true)
{
    TemperamentTable table;
    ReadingOptions options;
    options.fixedBase = fixedBase;
    options.direction = TemperamentDirection::Bass;
    for (float hz : bass) {
        EXPECT_TRUE(std::holds_alternative<ListLineChange>(table.AddReading(hz, options))) << hz;
    }
    options.direction = TemperamentDirection::Treble;
    for (float hz : treble) {
        EXPECT_TRUE(std::holds_alternative<ListLineChange>(table.AddReading(hz, options))) << hz;
    }
    return table;
}

}  // namespace tonarel::test
