#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "common/NumberFormat.h"
#include "meter/SemitoneTable.h"

namespace {

using tonarel::BuildSemitoneTable;
using tonarel::FindSemitone;
using tonarel::FormatGeneral;
using tonarel::SemitoneCount;

std::array<float, SemitoneCount> SemitoneTableOn440()
{
    std::array<float, SemitoneCount> table{};
    BuildSemitoneTable(440.0f, table);
    return table;
}

struct Reading {
    float frequency;
    int32_t semitone;
    double deviation;                       // expected within 5e-4
    std::optional<std::string> deviationText;  // as the pitch meter shows it, where worth pinning
};

void PrintTo(const Reading& reading, std::ostream* out)
{
    *out << reading.frequency << " Hz";
}

class FindSemitoneOn440 : public ::testing::TestWithParam<Reading> {};

TEST_P(FindSemitoneOn440, GivesTheNearestNoteAndTheRelativeDeviation)
{
    const auto table = SemitoneTableOn440();
    const Reading& row = GetParam();
    float deviation = 12345.0f;
    EXPECT_EQ(FindSemitone(table, row.frequency, deviation), row.semitone);
    EXPECT_NEAR(deviation, row.deviation, 5e-4);
    if (row.deviationText) {
        EXPECT_EQ(FormatGeneral(static_cast<double>(deviation)), *row.deviationText);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Readings, FindSemitoneOn440,
    ::testing::Values(Reading{439.0f, 0, -0.22727273, "-0.227272734045982"},
                      Reading{441.0f, 0, 0.22727273, "0.227272734045982"},
                      Reading{261.0f, -9, -0.2392, std::nullopt},  // middle C, flat
                      Reading{262.0f, -9, 0.1431, std::nullopt},   // and sharp
                      Reading{466.0f, 1, -0.0351, std::nullopt},
                      // Either side of the midpoint 453.08188 between A and B flat.
                      Reading{453.08f, 0, 2.973, std::nullopt},
                      Reading{453.082f, 1, -2.806, std::nullopt},
                      // 880 lies just below the drifted entry 880.0000610351562.
                      Reading{880.0f, 12, -6.93581250743591e-6, "-6.93581250743591E-6"},
                      // Exactly on a note: that note, not "outside the table".
                      Reading{440.0f, 0, 0.0, "0"}, Reading{466.16375732421875f, 1, 0.0, "0"},
                      Reading{415.3046875f, -1, 0.0, "0"}, Reading{13289.7529296875f, 59, 0.0, "0"},
                      Reading{14.567611694335938f, -59, 0.0, "0"},
                      // Outside the table.
                      Reading{14.0f, 120, 0.0, "0"}, Reading{13300.0f, 120, 0.0, "0"},
                      Reading{20000.0f, 120, 0.0, "0"}, Reading{0.0f, 120, 0.0, "0"},
                      Reading{-1.0f, 120, 0.0, "0"},
                      Reading{std::numeric_limits<float>::quiet_NaN(), 120, 0.0, "0"},
                      Reading{std::numeric_limits<float>::infinity(), 120, 0.0, "0"}));

// A tie goes to the higher note in both halves. Midpoints that a float can
// hold exactly are rare; the first one of each half is used.
TEST(FindSemitone, GivesAnExactMidpointToTheHigherNote)
{
    const auto table = SemitoneTableOn440();
    struct Half {
        uint32_t first;
        uint32_t last;
        int32_t (*higherNote)(uint32_t i);  // the index of the higher of entries i and i + 1
    };
    const Half rising{0, 58, [](uint32_t i) { return static_cast<int32_t>(i + 1); }};
    const Half falling{60, 118, [](uint32_t i) { return 60 - static_cast<int32_t>(i); }};
    for (const Half& half : {rising, falling}) {
        bool tested = false;
        for (uint32_t i = half.first; i <= half.last && !tested; ++i) {
            const double midpoint = (static_cast<double>(table[i]) + table[i + 1]) / 2;
            if (static_cast<double>(static_cast<float>(midpoint)) != midpoint) {
                continue;
            }
            float deviation = 0.0f;
            EXPECT_EQ(FindSemitone(table, static_cast<float>(midpoint), deviation), half.higherNote(i))
                << "midpoint of entries " << i << " and " << i + 1;
            tested = true;
        }
        EXPECT_TRUE(tested) << "no exact midpoint from entry " << half.first;
    }
}

}  // namespace
