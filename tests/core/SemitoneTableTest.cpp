#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "common/NumberFormat.h"
#include "meter/core/SemitoneTable.h"

namespace {

// The nearest note counted from A 440, and the deviation from it as the
// pitch meter shows it (the exact float, in the general number format).
TEST(FindSemitone, GivesTheNearestNoteAndTheRelativeDeviation)
{
    std::array<float, tonarel::kSemitoneCount> table{};
    tonarel::BuildSemitoneTable(440.0f, table);
    struct Row {
        float frequency;
        int32_t semitone;
        const char* deviation;
    };
    for (const Row row : {
             Row{439.0f, 0, "-0.227272734045982"}, Row{441.0f, 0, "0.227272734045982"},
             Row{453.08f, 0, "2.97272419929504"}, Row{453.082f, 1, "-2.80625772476196"},  // either side of the midpoint
             Row{466.0f, 1, "-0.0351287126541138"},
             Row{261.0f, -9, "-0.239101007580757"}, Row{262.0f, -9, "0.143124654889107"},  // middle C
             Row{880.0f, 12, "-6.93581250743591E-6"},  // just below the drifted entry 880.0000610351562
             // Exact midpoints between two entries go to the higher note, in both halves.
             Row{453.08187866210938f, 1, "-2.80628395080566"}, Row{427.65234375f, 0, "-2.80628561973572"},
             // Exactly on an entry: that note.
             Row{440.0f, 0, "0"}, Row{466.16375732421875f, 1, "0"}, Row{415.3046875f, -1, "0"},
             Row{13289.7529296875f, 59, "0"}, Row{14.567611694335938f, -59, "0"},
             // Outside the table.
             Row{14.0f, 120, "0"}, Row{13300.0f, 120, "0"}, Row{0.0f, 120, "0"},
             Row{std::numeric_limits<float>::quiet_NaN(), 120, "0"}}) {
        float deviation = 12345.0f;
        EXPECT_EQ(tonarel::FindSemitone(table, row.frequency, deviation), row.semitone) << row.frequency << " Hz";
        EXPECT_EQ(tonarel::FormatGeneral(deviation), row.deviation) << row.frequency << " Hz";
    }
}

}  // namespace
