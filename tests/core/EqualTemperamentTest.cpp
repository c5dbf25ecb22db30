#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "common/EqualTemperament.h"

namespace {

using tonarel::kEqualTemperedEntries;

TEST(EqualTemperedTable, HoldsTheAccumulatedFloatsOn440)
{
    std::array<float, kEqualTemperedEntries> table{};
    tonarel::BuildEqualTemperedTable(440.0f, table.data(), kEqualTemperedEntries);
    // Entry, the exact stored float. The drift away from 880 and 220 comes from
    // building each entry on the rounded float before it and from the decimal
    // factor 1.05946309; the falling half starts again from the base.
    for (const auto& [index, value] : {std::pair{0u, 440.0f}, {1u, 466.16375732421875f}, {12u, 880.0000610351562f},
                                       {59u, 13289.7529296875f}, {60u, 440.0f}, {61u, 415.3046875f},
                                       {72u, 219.99998474121094f}, {119u, 14.567611694335938f}}) {
        EXPECT_EQ(table[index], value) << "entry " << index;
    }
}

}  // namespace
