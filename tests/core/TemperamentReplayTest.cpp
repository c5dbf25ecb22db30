#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "temperament/core/TemperamentReplay.h"
#include "tests/support/TemperamentTables.h"

namespace {

using namespace tonarel;
using ::testing::StartsWith;

ReplayedLines Replayed(TemperamentTable& table, const TemperamentFileContents& contents, bool fixedBase)
{
    auto outcome = ReplayTemperamentFile(table, contents, fixedBase);
    if (const auto* refused = std::get_if<ReadingRefused>(&outcome)) {
        ADD_FAILURE() << "refused: " << refused->reason;
        return {};
    }
    return std::get<ReplayedLines>(std::move(outcome));
}

// `slots` from slot 0 on; every other slot holds `rest`.
TemperamentFileContents File(int32_t trebleCount, int32_t bassCursor, std::vector<std::pair<std::size_t, float>> slots,
                             float rest = 0.0f)
{
    TemperamentFileContents contents{trebleCount, bassCursor, {}};
    contents.measured.fill(rest);
    for (const auto& [slot, hz] : slots) {
        contents.measured[slot] = hz;
    }
    return contents;
}

TEST(Replay, RestoresCountersAndEverySlotSoThatSavingAgainGivesTheSameFile)
{
    // Slots 3 and 119 lie outside the entries: kept, never replayed.
    const TemperamentFileContents file =
        File(3, 62, {{0, 436.0f}, {1, 462.0f}, {2, 489.5f}, {3, 1234.0f}, {60, 437.0f}, {61, 412.0f}, {119, 55.0f}});
    TemperamentTable table = test::TableWith({300.0f}, {});
    const ReplayedLines lines = Replayed(table, file, true);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].list, TemperamentDirection::Bass) << "bass first";
    EXPECT_EQ(lines[2].list, TemperamentDirection::Treble);
    EXPECT_EQ(ContentsOf(table), file);
    EXPECT_EQ(table.StandardTable()[12], 880.0000610351562f) << "a fixed base rebuilds the 440 Hz scale";
}

TEST(Replay, BassEntriesAloneAreNumberedDownFromZeroEvenFromAZeroReference)
{
    TemperamentTable table;
    const ReplayedLines lines = Replayed(table, File(0, 65, {{60, 0.0f}}, 430.0f), true);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, "0.音高偏低！-100.00音分") << "judged, not refused: the base is fixed";
    EXPECT_THAT(lines[4].text, StartsWith("-4."));
    EXPECT_EQ(lines[4].list, TemperamentDirection::Bass);
}

TEST(Replay, AnEmptyFileReplaysNothingAndKeepsTheScale)
{
    TemperamentTable table = test::TableWith({300.0f}, {}, false);
    EXPECT_TRUE(Replayed(table, File(0, 60, {}), false).empty());
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(table.StandardTable()[0], 300.0f);
}

class RefusedReplay : public ::testing::TestWithParam<TemperamentFileContents> {};

TEST_P(RefusedReplay, LeavesTheTableAsItWas)
{
    TemperamentTable table = test::TableWith({441.0f}, {439.0f});
    const TemperamentFileContents before = ContentsOf(table);
    const SlotTable standardBefore = table.StandardTable();

    const auto outcome = ReplayTemperamentFile(table, GetParam(), false);

    ASSERT_TRUE(std::holds_alternative<ReadingRefused>(outcome));
    EXPECT_EQ(ContentsOf(table), before);
    EXPECT_EQ(table.StandardTable(), standardBefore);
}

// Without a fixed base the first replayed reading (slot 60 when there is a
// bass entry, else slot 0) must carry the scale.
INSTANTIATE_TEST_SUITE_P(Files, RefusedReplay,
                         ::testing::Values(File(2, 61, {{60, 0.0f}}, 440.0f), File(2, 60, {{0, 0.0f}}, 440.0f),
                                           File(61, 60, {}, 440.0f), File(0, 121, {}, 440.0f)));

}  // namespace
