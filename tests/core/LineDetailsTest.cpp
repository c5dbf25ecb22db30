#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <variant>

#include "temperament/LineDetails.h"

namespace {

using namespace tonarel;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::StartsWith;

constexpr auto kTreble = TemperamentDirection::Treble;
constexpr auto kBass = TemperamentDirection::Bass;

// A table on the 440 Hz scale holding the given entries.
TemperamentTable TableWith(std::initializer_list<float> treble, std::initializer_list<float> bass)
{
    TemperamentTable table;
    ReadingOptions options;
    options.direction = kBass;
    for (float hz : bass) {
        EXPECT_TRUE(std::holds_alternative<ListLineChange>(table.AddReading(hz, options)));
    }
    options.direction = kTreble;
    for (float hz : treble) {
        EXPECT_TRUE(std::holds_alternative<ListLineChange>(table.AddReading(hz, options)));
    }
    return table;
}

std::array<std::string, 5> MemoOf(const TemperamentTable& table, TemperamentDirection direction, int32_t line)
{
    return DetailMemoLines(DetailsOfLine(table, direction, line));
}

TEST(DetailMemo, FirstTrebleLineOfAnExactReference)
{
    const TemperamentTable table = TableWith({440.0f}, {});
    EXPECT_THAT(MemoOf(table, kTreble, 0),
                ElementsAre("半音序号:0", "当前频率：440", "标准频率：440", "偏差：0", "音程：1"));
}

TEST(DetailMemo, BassLinesCountDownAndTakeTheirIntervalAgainstTheBassReference)
{
    // Slot 0 and slot 60 disagree on purpose: bass line 1 must be taken
    // against slot 60, the bass direction's own reference note.
    const TemperamentTable table = TableWith({436.0f}, {441.0f, 415.0f, 392.0f});
    const LineDetails line1 = DetailsOfLine(table, kBass, 1);
    EXPECT_EQ(line1.semitoneNumber, -1);
    EXPECT_EQ(line1.interval, 441.0L / 415.0L);
    const LineDetails line2 = DetailsOfLine(table, kBass, 2);
    EXPECT_EQ(MemoOf(table, kBass, 2)[0], "半音序号:-2");
    EXPECT_EQ(line2.interval, 415.0L / 392.0L) << "the higher neighbour over the lower";
    EXPECT_EQ(DetailsOfLine(table, kBass, 0).interval, 1.0L);
}

TEST(DetailMemo, TrebleIntervalIsTheHigherOverTheLowerNeighbour)
{
    const TemperamentTable table = TableWith({440.0f, 466.0f}, {});
    EXPECT_EQ(DetailsOfLine(table, kTreble, 1).interval, 466.0L / 440.0L);
}

TEST(DetailMemo, DeviationRatioIsNotScaledNorRoundedToFloat)
{
    // 440.02f against 440: a ratio of about 4.5E-5, below 0.0001, so scientific.
    const TemperamentTable table = TableWith({440.02f}, {});
    const LineDetails details = DetailsOfLine(table, kTreble, 0);
    EXPECT_EQ(details.deviationRatio, (static_cast<long double>(440.02f) - 440.0L) / 440.0L);
    const std::string memoLine = DetailMemoLines(details)[3];
    EXPECT_THAT(memoLine, StartsWith("偏差：4.5"));
    EXPECT_THAT(memoLine, EndsWith("E-5"));
}

TEST(DetailMemo, ZeroNeighbourGivesNoIntervalRatherThanADivisionByZero)
{
    const TemperamentTable table = TableWith({0.0f, 466.0f}, {});
    EXPECT_EQ(MemoOf(table, kTreble, 1)[4], "音程：NAN");
    EXPECT_EQ(MemoOf(table, kTreble, 0)[4], "音程：NAN");
}

}  // namespace
