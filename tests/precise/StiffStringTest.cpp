#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "precise/NoteStretch.h"
#include "precise/StiffString.h"

namespace {

using namespace tonarel::precise;

std::vector<PartialMeasure> Partials(const StiffString& string, std::initializer_list<uint32_t> numbers)
{
    std::vector<PartialMeasure> partials;
    for (const uint32_t k : numbers) {
        partials.push_back({k, string.PartialHz(k), 1.0});
    }
    return partials;
}

TEST(FitStiffString, RecoversTheStringFromItsPartials)
{
    struct Row {
        StiffString string;
        std::initializer_list<uint32_t> numbers;
        StiffString fitted;
    };
    for (const Row& row : {
             Row{{110.0, 0.0}, {1, 2, 3, 4}, {110.0, 0.0}},
             Row{{55.0, 4e-4}, {2, 3, 5, 8, 13}, {55.0, 4e-4}},
             Row{{2093.0, 1e-3}, {1, 2, 3}, {2093.0, 1e-3}},
             Row{{440.0, 0.0}, {3}, {440.0, 0.0}},  // one partial: f0 = hz / k
             // Partials pulled flat as no string is: B stays 0 and f0 the mean.
             Row{{100.0, -1e-4}, {1, 2}, {std::sqrt((100.0 * 100.0 * (1 - 1e-4) + 100.0 * 100.0 * (1 - 4e-4)) / 2), 0.0}},
         }) {
        const StiffString fit = FitStiffString(Partials(row.string, row.numbers));
        EXPECT_NEAR(fit.f0, row.fitted.f0, 1e-9 * row.fitted.f0);
        EXPECT_NEAR(fit.b, row.fitted.b, 1e-9);
    }
}

TEST(ChooseNoteStretch, StartsAfterTheAttackAndEndsWhereTheNoteHasDecayed)
{
    struct Row {
        const char* name;
        std::vector<double> levels;  // one per 512-sample block
        uint32_t first, count;
    };
    const auto blocks = [](std::initializer_list<std::pair<std::size_t, double>> runs) {
        std::vector<double> levels;
        for (const auto& [count, level] : runs) levels.insert(levels.end(), count, level);
        return levels;
    };
    for (const Row& row : {
             // Attack at block 10; the note falls 30 dB at block 100.
             Row{"decays", blocks({{10, 1.0}, {90, 1e6}, {50, 1e2}}), 10 * 512 + 4410, 90 * 512 - 4410},
             // Still sounding at the end of the take: to the end.
             Row{"cut off", blocks({{10, 1.0}, {90, 1e6}}), 10 * 512 + 4410, 90 * 512 - 4410},
             // A long note: 2 s at most.
             Row{"long", blocks({{10, 1.0}, {400, 1e6}}), 10 * 512 + 4410, 88200},
             // A dip of two blocks does not end the note.
             Row{"dip", blocks({{10, 1.0}, {40, 1e6}, {2, 1.0}, {48, 1e6}}), 10 * 512 + 4410, 90 * 512 - 4410},
             // From sample 0 on, and short: a quarter is left for the attack.
             Row{"short", blocks({{8, 1e6}, {10, 1.0}}), 1024, 3072},
         }) {
        const auto stretch = ChooseNoteStretch(row.levels, static_cast<uint32_t>(row.levels.size() * 512));
        ASSERT_TRUE(stretch) << row.name;
        EXPECT_EQ(stretch->firstSample, row.first) << row.name;
        EXPECT_EQ(stretch->sampleCount, row.count) << row.name;
    }
    EXPECT_FALSE(ChooseNoteStretch(std::vector<double>(100, 0.0), 51200));
    EXPECT_FALSE(ChooseNoteStretch({}, 0));
}

}  // namespace
