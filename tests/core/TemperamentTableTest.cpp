#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <variant>

#include "temperament/TemperamentFile.h"
#include "temperament/TemperamentTable.h"

namespace {

using namespace tonarel;
using ::testing::StartsWith;

ReadingOptions Input(TemperamentDirection direction, bool fixedBase = true)
{
    ReadingOptions options;
    options.mode = ReadingMode::Input;
    options.direction = direction;
    options.fixedBase = fixedBase;
    return options;
}

ReadingOptions Adjust(TemperamentDirection direction, int32_t trebleLine, int32_t bassLine)
{
    ReadingOptions options;
    options.mode = ReadingMode::Adjust;
    options.direction = direction;
    options.selectedTrebleLine = trebleLine;
    options.selectedBassLine = bassLine;
    return options;
}

ListLineChange Accepted(const ReadingOutcome& outcome)
{
    if (const auto* refused = std::get_if<ReadingRefused>(&outcome)) {
        ADD_FAILURE() << "refused: " << refused->reason;
        return {};
    }
    return std::get<ListLineChange>(outcome);
}

constexpr auto kTreble = TemperamentDirection::Treble;
constexpr auto kBass = TemperamentDirection::Bass;

// ---- The standard scale -------------------------------------------------

TEST(FixedBaseScale, FirstReadingBuildsTheScaleOn440WithItsAccumulatedRounding)
{
    TemperamentTable table;
    Accepted(table.AddReading(523.0f, Input(kBass)));
    EXPECT_EQ(table.StandardTable()[0], 440.0f);
    EXPECT_EQ(table.StandardTable()[12], 880.0000610351562f);
    EXPECT_EQ(table.StandardTable()[60], 440.0f);
    EXPECT_EQ(table.StandardTable()[72], 219.99998474121094f);
}

TEST(FreeBaseScale, FirstReadingIntoAnEmptyTableIsItsOwnBaseInEitherDirection)
{
    for (TemperamentDirection direction : {kTreble, kBass}) {
        TemperamentTable table;
        const ListLineChange line = Accepted(table.AddReading(261.7f, Input(direction, false)));
        EXPECT_EQ(line.text, "0.音高正确！0.00音分");
        EXPECT_EQ(table.StandardTable()[0], 261.7f);
        EXPECT_EQ(table.StandardTable()[60], 261.7f);
    }
}

TEST(FreeBaseScale, IsRebuiltOnlyWhenTheTableIsEmpty)
{
    TemperamentTable table;
    Accepted(table.AddReading(261.7f, Input(kTreble, false)));
    Accepted(table.AddReading(300.0f, Input(kBass, false)));  // judged on 261.7, no rebuild
    EXPECT_EQ(table.StandardTable()[60], 261.7f);

    table.Clear();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(table.StandardTable()[0], 261.7f) << "clearing keeps the tables";
    Accepted(table.AddReading(300.0f, Input(kBass, false)));
    EXPECT_EQ(table.StandardTable()[0], 300.0f);
    EXPECT_EQ(table.StandardTable()[60], 300.0f);
}

// ---- Input and adjust modes ---------------------------------------------

TEST(FirstTrebleReading, ExactLimitsOfTheCorrectBand)
{
    TemperamentTable high;
    EXPECT_EQ(Accepted(high.AddReading(440.44f, Input(kTreble))).text, "0.音高偏高！0.10音分");
    TemperamentTable low;
    EXPECT_EQ(Accepted(low.AddReading(439.56f, Input(kTreble))).text, "0.音高偏低！-0.10音分");
}

TEST(InputMode, BassEntriesFillSlotsFrom60AndCountDownFromZero)
{
    TemperamentTable table;
    const ListLineChange first = Accepted(table.AddReading(440.0f, Input(kBass)));
    const ListLineChange second = Accepted(table.AddReading(410.0f, Input(kBass)));

    EXPECT_EQ(first.list, kBass);
    EXPECT_FALSE(first.replacesLine);
    EXPECT_EQ(first.line, 0);
    EXPECT_THAT(first.text, StartsWith("0."));
    EXPECT_EQ(second.line, 1);
    EXPECT_THAT(second.text, StartsWith("-1.音高偏低！"));
    EXPECT_EQ(table.MeasuredTable()[60], 440.0f);
    EXPECT_EQ(table.MeasuredTable()[61], 410.0f);
    EXPECT_EQ(table.BassCursor(), 62);
    EXPECT_EQ(table.TrebleCount(), 0);
}

TEST(AdjustMode, ReplacesTheSelectedBassLineWithoutMovingAnyCounter)
{
    TemperamentTable table;
    for (float hz : {440.0f, 415.3f, 392.0f, 370.0f}) {
        Accepted(table.AddReading(hz, Input(kBass)));
    }
    Accepted(table.AddReading(440.0f, Input(kTreble)));

    const ListLineChange change = Accepted(table.AddReading(400.0f, Adjust(kBass, 0, 2)));

    EXPECT_EQ(change.list, kBass);
    EXPECT_TRUE(change.replacesLine);
    EXPECT_EQ(change.line, 2);
    EXPECT_EQ(change.text, "-2.音高偏高！2.04音分");  // 400 against 392.0...
    EXPECT_EQ(table.MeasuredTable()[62], 400.0f);
    EXPECT_EQ(table.MeasuredTable()[2], 0.0f) << "the treble slot of the same number stays";
    EXPECT_EQ(table.BassCursor(), 64);
    EXPECT_EQ(table.TrebleCount(), 1);
}

TEST(AdjustMode, ReadsTheSelectionOfTheChosenDirectionOnly)
{
    TemperamentTable table;
    Accepted(table.AddReading(440.0f, Input(kTreble)));
    Accepted(table.AddReading(466.0f, Input(kTreble)));
    Accepted(table.AddReading(440.0f, Input(kBass)));

    const ListLineChange change = Accepted(table.AddReading(467.0f, Adjust(kTreble, 1, 0)));
    EXPECT_EQ(change.list, kTreble);
    EXPECT_EQ(change.line, 1);
    EXPECT_EQ(table.MeasuredTable()[1], 467.0f);
    EXPECT_EQ(table.MeasuredTable()[60], 440.0f);
}

// ---- Refusals change nothing --------------------------------------------

struct Snapshot {
    TemperamentFileContents contents;
    SlotTable standard;
    bool operator==(const Snapshot&) const = default;
};

Snapshot SnapshotOf(const TemperamentTable& table)
{
    return {ContentsOf(table), table.StandardTable()};
}

struct RefusalCase {
    const char* name;
    int32_t trebleEntries;  // taken on the 440 Hz scale before the refused reading
    int32_t bassEntries;
    float hz;
    ReadingOptions options;
    const char* reason;
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class RefusedReading : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedReading, LeavesTablesAndCountersAsTheyWereAndSaysWhy)
{
    const RefusalCase& c = GetParam();
    TemperamentTable table;
    for (int32_t k = 0; k < c.trebleEntries; ++k) {
        Accepted(table.AddReading(440.0f + static_cast<float>(k), Input(kTreble)));
    }
    for (int32_t k = 0; k < c.bassEntries; ++k) {
        Accepted(table.AddReading(440.0f - static_cast<float>(k), Input(kBass)));
    }
    const Snapshot before = SnapshotOf(table);

    const ReadingOutcome outcome = table.AddReading(c.hz, c.options);

    ASSERT_TRUE(std::holds_alternative<ReadingRefused>(outcome));
    EXPECT_EQ(std::get<ReadingRefused>(outcome).reason, c.reason);
    EXPECT_TRUE(SnapshotOf(table) == before);
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInfinity = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Limits, RefusedReading,
    ::testing::Values(
        RefusalCase{"AdjustWithoutSelection", 2, 2, 441.0f, Adjust(kTreble, -1, 1),
                    "没有选中要调整的高音记录，本次读数未记录。"},
        RefusalCase{"AdjustBassWithoutSelection", 2, 0, 441.0f, Adjust(kBass, 1, -1),
                    "没有选中要调整的低音记录，本次读数未记录。"},
        RefusalCase{"AdjustSelectionPastTheEntries", 0, 3, 441.0f, Adjust(kBass, -1, 3),
                    "没有选中要调整的低音记录，本次读数未记录。"},
        RefusalCase{"AdjustIntoEmptyTable", 0, 0, 441.0f, Adjust(kTreble, 0, 0),
                    "没有选中要调整的高音记录，本次读数未记录。"},
        RefusalCase{"TrebleFull", 60, 1, 441.0f, Input(kTreble), "高音记录已满60个，本次读数未记录。"},
        RefusalCase{"BassFull", 0, 60, 441.0f, Input(kBass), "低音记录已满60个，本次读数未记录。"},
        RefusalCase{"ZeroBase", 0, 0, 0.0f, Input(kTreble, false), "频率0不能作为标准音，本次读数未记录。"},
        RefusalCase{"NegativeBase", 0, 0, -440.0f, Input(kBass, false), "频率-440不能作为标准音，本次读数未记录。"},
        RefusalCase{"NaNBase", 0, 0, kNaN, Input(kTreble, false), "频率NAN不能作为标准音，本次读数未记录。"},
        RefusalCase{"InfiniteBase", 0, 0, kInfinity, Input(kTreble, false), "频率INF不能作为标准音，本次读数未记录。"},
        // Bases whose scale would leave the float range at one end.
        RefusalCase{"BaseWhoseBassUnderflows", 0, 0, 1e-37f, Input(kTreble, false),
                    "频率9.99999991097579E-38不能作为标准音，本次读数未记录。"},
        RefusalCase{"BaseWhoseTrebleOverflows", 0, 0, 3e37f, Input(kTreble, false),
                    "频率3.0000001069098E37不能作为标准音，本次读数未记录。"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST(ZeroReading, IsJudgedLikeAnyOtherOnceTheScaleStands)
{
    TemperamentTable table;
    EXPECT_EQ(Accepted(table.AddReading(0.0f, Input(kTreble))).text, "0.音高偏低！-100.00音分");
}

}  // namespace
