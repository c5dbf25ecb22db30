#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "temperament/core/TemperamentFile.h"
#include "temperament/core/TemperamentTable.h"
#include "tests/support/TemperamentTables.h"

namespace {

using namespace tonarel;
using test::TableWith;

constexpr auto kTreble = TemperamentDirection::Treble;
constexpr auto kBass = TemperamentDirection::Bass;

ReadingOptions Input(TemperamentDirection direction, bool fixedBase = true)
{
    ReadingOptions options;
    options.direction = direction;
    options.fixedBase = fixedBase;
    return options;
}

ReadingOptions Adjust(TemperamentDirection direction, int32_t trebleLine, int32_t bassLine)
{
    ReadingOptions options = Input(direction);
    options.mode = ReadingMode::Adjust;
    options.selectedTrebleLine = trebleLine;
    options.selectedBassLine = bassLine;
    return options;
}

TEST(StandardScale, AFreeBaseIsRebuiltOnlyWhileTheTableIsEmpty)
{
    TemperamentTable table = TableWith({300.0f}, {261.7f}, false);
    EXPECT_EQ(table.StandardTable()[0], 261.7f);
    table.Clear();
    table.AddReading(300.0f, Input(kBass, false));
    EXPECT_EQ(table.StandardTable()[0], 300.0f);
}

struct AcceptedCase {
    const char* name;
    std::vector<float> treble, bass;  // entries before the reading, 440 Hz scale
    float hz;
    ReadingOptions options;
    std::size_t slot;  // the only slot the reading may write
    int32_t trebleCount, bassCursor;  // after it
    ListLineChange change;
    friend void PrintTo(const AcceptedCase& c, std::ostream* os) { *os << c.name; }
};

class AcceptedReading : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedReading, LandsInItsSlotAndLineAndIsJudged)
{
    const AcceptedCase& c = GetParam();
    TemperamentTable table = TableWith(c.treble, c.bass);
    SlotTable expected = table.MeasuredTable();
    expected[c.slot] = c.hz;

    const ReadingOutcome outcome = table.AddReading(c.hz, c.options);

    ASSERT_TRUE(std::holds_alternative<ListLineChange>(outcome)) << std::get<ReadingRefused>(outcome).reason;
    const ListLineChange& change = std::get<ListLineChange>(outcome);
    EXPECT_EQ(change.list, c.change.list);
    EXPECT_EQ(change.replacesLine, c.change.replacesLine);
    EXPECT_EQ(change.line, c.change.line);
    EXPECT_EQ(change.text, c.change.text);
    EXPECT_EQ(table.MeasuredTable(), expected);
    EXPECT_EQ(table.TrebleCount(), c.trebleCount);
    EXPECT_EQ(table.BassCursor(), c.bassCursor);
}

// Rows: entries before (treble, bass, on 440 Hz), reading, options, slot, counters after, list change.
INSTANTIATE_TEST_SUITE_P(
    Readings, AcceptedReading,
    ::testing::Values(
        AcceptedCase{"JustAbove", {}, {}, 440.44f, Input(kTreble), 0, 1, 60, {kTreble, false, 0, "0.音高偏高！0.10音分"}},
        AcceptedCase{"JustBelow", {}, {}, 439.56f, Input(kTreble), 0, 1, 60, {kTreble, false, 0, "0.音高偏低！-0.10音分"}},
        // Formed in float arithmetic the deviation would read -49.89.
        AcceptedCase{"Extended", {}, {}, 220.462006f, Input(kTreble), 0, 1, 60, {kTreble, false, 0, "0.音高偏低！-49.90音分"}},
        AcceptedCase{"ZeroHz", {}, {}, 0.0f, Input(kTreble), 0, 1, 60, {kTreble, false, 0, "0.音高偏低！-100.00音分"}},
        // Without a fixed base the first reading is the base, in either direction.
        AcceptedCase{"FreeTreble", {}, {}, 261.6f, Input(kTreble, false), 0, 1, 60,
                     {kTreble, false, 0, "0.音高正确！0.00音分"}},
        AcceptedCase{"FreeBass", {}, {}, 261.6f, Input(kBass, false), 60, 0, 61, {kBass, false, 0, "0.音高正确！0.00音分"}},
        AcceptedCase{"SecondBass", {}, {440}, 410.0f, Input(kBass), 61, 0, 62, {kBass, false, 1, "-1.音高偏低！-1.28音分"}},
        AcceptedCase{"AdjustBassLine2", {440}, {440, 415.3f, 392, 370}, 400.0f, Adjust(kBass, 0, 2), 62, 1, 64,
                     {kBass, true, 2, "-2.音高偏高！2.04音分"}},
        // Only the chosen direction's selection counts.
        AcceptedCase{"AdjustTrebleLine1", {440, 466}, {440}, 467.0f, Adjust(kTreble, 1, 0), 1, 2, 61,
                     {kTreble, true, 1, "1.音高偏高！0.18音分"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    int32_t trebleEntries, bassEntries;  // taken on the 440 Hz scale before
    float hz;
    ReadingOptions options;
    const char* reason;
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class RefusedReading : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedReading, ChangesNothingAndSaysWhy)
{
    const RefusalCase& c = GetParam();
    using Entries = std::vector<float>;
    TemperamentTable table = TableWith(Entries(c.trebleEntries, 441), Entries(c.bassEntries, 439));
    const TemperamentFileContents before = ContentsOf(table);
    const SlotTable standardBefore = table.StandardTable();

    const ReadingOutcome outcome = table.AddReading(c.hz, c.options);

    ASSERT_TRUE(std::holds_alternative<ReadingRefused>(outcome));
    EXPECT_EQ(std::get<ReadingRefused>(outcome).reason, c.reason);
    EXPECT_EQ(ContentsOf(table), before);
    EXPECT_EQ(table.StandardTable(), standardBefore);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Rows: entries before (treble, bass), reading, options, reason.
INSTANTIATE_TEST_SUITE_P(
    Limits, RefusedReading,
    ::testing::Values(
        RefusalCase{"AdjustTreble", 2, 2, 441.0f, Adjust(kTreble, -1, 1), "没有选中要调整的高音记录，本次读数未记录。"},
        RefusalCase{"AdjustBass", 2, 0, 441.0f, Adjust(kBass, 1, -1), "没有选中要调整的低音记录，本次读数未记录。"},
        RefusalCase{"AdjustPastEntries", 0, 3, 441.0f, Adjust(kBass, -1, 3), "没有选中要调整的低音记录，本次读数未记录。"},
        RefusalCase{"TrebleFull", 60, 1, 441.0f, Input(kTreble), "高音记录已满60个，本次读数未记录。"},
        RefusalCase{"BassFull", 0, 60, 441.0f, Input(kBass), "低音记录已满60个，本次读数未记录。"},
        RefusalCase{"ZeroBase", 0, 0, 0.0f, Input(kTreble, false), "频率0不能作为标准音，本次读数未记录。"},
        RefusalCase{"NegativeBase", 0, 0, -440.0f, Input(kBass, false), "频率-440不能作为标准音，本次读数未记录。"},
        RefusalCase{"NaNBase", 0, 0, kNaN, Input(kTreble, false), "频率NAN不能作为标准音，本次读数未记录。"},
        // Bases whose scale would leave the float range at one end.
        RefusalCase{"TinyBase", 0, 0, 1e-37f, Input(kTreble, false), "频率9.99999991097579E-38不能作为标准音，本次读数未记录。"},
        RefusalCase{"HugeBase", 0, 0, 3e37f, Input(kTreble, false), "频率3.0000001069098E37不能作为标准音，本次读数未记录。"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
