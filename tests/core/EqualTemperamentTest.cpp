#include <gtest/gtest.h>

#include <array>

#include "common/EqualTemperament.h"

namespace {

using tonarel::BuildEqualTemperedTable;
using tonarel::kEqualTemperedEntries;

struct Entry {
    uint32_t index;
    float value;  // the exact stored float
};

class EqualTemperedTableOn440 : public ::testing::TestWithParam<Entry> {
protected:
    std::array<float, kEqualTemperedEntries> table{};
    void SetUp() override { BuildEqualTemperedTable(440.0f, table.data(), kEqualTemperedEntries); }
};

TEST_P(EqualTemperedTableOn440, HoldsTheAccumulatedFloat)
{
    EXPECT_EQ(table[GetParam().index], GetParam().value) << "entry " << GetParam().index;
}

// The drift away from 880 and 220 comes from building each entry on the
// rounded float before it and from the decimal factor 1.05946309.
INSTANTIATE_TEST_SUITE_P(TellingEntries, EqualTemperedTableOn440,
                         ::testing::Values(Entry{0, 440.0f}, Entry{1, 466.16375732421875f}, Entry{2, 493.88330078125f},
                                           Entry{12, 880.0000610351562f}, Entry{59, 13289.7529296875f},
                                           Entry{60, 440.0f}, Entry{61, 415.3046875f},
                                           Entry{69, 261.62554931640625f}, Entry{72, 219.99998474121094f},
                                           Entry{119, 14.567611694335938f}));

TEST(EqualTemperedTable, RisesFromAnyBaseAndFallsBackFromIt)
{
    std::array<float, kEqualTemperedEntries> table{};
    BuildEqualTemperedTable(261.0f, table.data(), kEqualTemperedEntries);
    EXPECT_EQ(table[0], 261.0f);
    EXPECT_EQ(table[60], 261.0f);
    for (uint32_t k = 0; k + 1 < 60; ++k) {
        EXPECT_LT(table[k], table[k + 1]);
        EXPECT_GT(table[60 + k], table[60 + k + 1]);
    }
}

TEST(EqualTemperedTable, ZeroBaseGivesAllZeros)
{
    std::array<float, kEqualTemperedEntries> table;
    table.fill(1.0f);
    BuildEqualTemperedTable(0.0f, table.data(), kEqualTemperedEntries);
    for (float entry : table) {
        EXPECT_EQ(entry, 0.0f);
    }
}

}  // namespace
