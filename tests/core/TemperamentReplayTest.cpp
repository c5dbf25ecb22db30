#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "temperament/TemperamentReplay.h"

namespace {

using namespace tonarel;
using ::testing::ElementsAre;
using ::testing::StartsWith;

constexpr auto kTreble = TemperamentDirection::Treble;
constexpr auto kBass = TemperamentDirection::Bass;

ReplayedLines Replayed(TemperamentTable& table, const TemperamentFileContents& contents, bool fixedBase)
{
    auto outcome = ReplayTemperamentFile(table, contents, fixedBase);
    if (const auto* refused = std::get_if<ReadingRefused>(&outcome)) {
        ADD_FAILURE() << "refused: " << refused->reason;
        return {};
    }
    return std::get<ReplayedLines>(std::move(outcome));
}

std::vector<std::string> TextsOf(const ReplayedLines& lines, TemperamentDirection list)
{
    std::vector<std::string> texts;
    for (const ListLineChange& line : lines) {
        if (line.list == list) {
            texts.push_back(line.text);
        }
    }
    return texts;
}

// Two bass and three treble entries, and two slots outside them.
TemperamentFileContents TwoBassThreeTreble()
{
    TemperamentFileContents contents;
    contents.trebleCount = 3;
    contents.bassCursor = 62;
    contents.measured[0] = 436.0f;
    contents.measured[1] = 462.0f;
    contents.measured[2] = 489.5f;
    contents.measured[60] = 437.0f;
    contents.measured[61] = 412.0f;
    contents.measured[3] = 1234.0f;    // not in use: kept but never replayed
    contents.measured[119] = 55.0f;
    return contents;
}

TEST(Replay, RestoresCountersAndEverySlotSoThatSavingAgainGivesTheSameFile)
{
    TemperamentTable table;
    Replayed(table, TwoBassThreeTreble(), true);
    EXPECT_EQ(table.TrebleCount(), 3);
    EXPECT_EQ(table.BassCursor(), 62);
    EXPECT_EQ(ContentsOf(table), TwoBassThreeTreble());
    EXPECT_EQ(table.StandardTable()[12], 880.0000610351562f) << "a fixed base rebuilds the 440 Hz scale";
}

TEST(Replay, FileWithOnlyBassEntriesNumbersThemDownFromZero)
{
    TemperamentFileContents contents;
    contents.trebleCount = 0;
    contents.bassCursor = 65;
    for (std::size_t k = 0; k < 5; ++k) {
        contents.measured[60 + k] = 440.0f - 20.0f * static_cast<float>(k);
    }
    TemperamentTable table;
    const std::vector<std::string> bass = TextsOf(Replayed(table, contents, true), kBass);
    ASSERT_EQ(bass.size(), 5u);
    for (std::size_t k = 0; k < bass.size(); ++k) {
        EXPECT_THAT(bass[k], StartsWith((k == 0 ? "0" : "-" + std::to_string(k)) + "."));
    }
    EXPECT_EQ(table.TrebleCount(), 0);
}

TEST(Replay, EmptyFileReplaysNothingAndKeepsTheScale)
{
    TemperamentTable table;
    ReadingOptions options;
    options.fixedBase = false;
    table.AddReading(300.0f, options);
    EXPECT_TRUE(Replayed(table, TemperamentFileContents{}, false).empty());
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(table.StandardTable()[0], 300.0f);
}

struct RefusedReplayCase {
    const char* name;
    TemperamentFileContents contents;
};

class RefusedReplay : public ::testing::TestWithParam<RefusedReplayCase> {};

TEST_P(RefusedReplay, LeavesTheTableAsItWas)
{
    TemperamentTable table;
    ReadingOptions options;
    table.AddReading(441.0f, options);
    options.direction = kBass;
    table.AddReading(439.0f, options);
    const TemperamentFileContents before = ContentsOf(table);
    const SlotTable standardBefore = table.StandardTable();

    const auto outcome = ReplayTemperamentFile(table, GetParam().contents, false);

    ASSERT_TRUE(std::holds_alternative<ReadingRefused>(outcome));
    EXPECT_FALSE(std::get<ReadingRefused>(outcome).reason.empty());
    EXPECT_EQ(ContentsOf(table), before);
    EXPECT_EQ(table.StandardTable(), standardBefore);
}

TemperamentFileContents WithFirstNote(int32_t trebleCount, int32_t bassCursor, std::size_t slot, float hz)
{
    TemperamentFileContents contents;
    contents.trebleCount = trebleCount;
    contents.bassCursor = bassCursor;
    contents.measured.fill(440.0f);
    contents.measured[slot] = hz;
    return contents;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedReplay,
    ::testing::Values(RefusedReplayCase{"ZeroBassReference", WithFirstNote(2, 61, 60, 0.0f)},
                      RefusedReplayCase{"ZeroTrebleReferenceWithoutBass", WithFirstNote(2, 60, 0, 0.0f)},
                      RefusedReplayCase{"TrebleCountPastCapacity", WithFirstNote(61, 60, 0, 440.0f)},
                      RefusedReplayCase{"BassCursorPastCapacity", WithFirstNote(0, 121, 60, 440.0f)}),
    [](const ::testing::TestParamInfo<RefusedReplayCase>& info) { return std::string(info.param.name); });

TEST(Replay, ZeroReferenceIsAcceptedWhenTheBaseIsFixed)
{
    TemperamentTable table;
    const ReplayedLines lines = Replayed(table, WithFirstNote(0, 61, 60, 0.0f), true);
    EXPECT_THAT(TextsOf(lines, kBass), ElementsAre("0.音高偏低！-100.00音分"));
}

}  // namespace
