#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "temperament/core/LineDetails.h"
#include "tests/support/TemperamentTables.h"

namespace {

using namespace tonarel;

struct MemoCase {
    const char* name;
    std::vector<float> treble;  // entries, on the 440 Hz scale
    std::vector<float> bass;
    TemperamentDirection list;
    int32_t line;
    std::array<std::string, 5> memo;
    friend void PrintTo(const MemoCase& c, std::ostream* os) { *os << c.name; }
};

class DetailMemo : public ::testing::TestWithParam<MemoCase> {};

TEST_P(DetailMemo, ShowsTheSelectedEntryInExtendedPrecision)
{
    const MemoCase& c = GetParam();
    const TemperamentTable table = test::TableWith(c.treble, c.bass);
    EXPECT_EQ(DetailMemoLines(DetailsOfLine(table, c.list, c.line)), c.memo);
}

constexpr auto kTreble = TemperamentDirection::Treble;
constexpr auto kBass = TemperamentDirection::Bass;

// The deviation is a ratio (no factor 100) of the stored floats, not rounded
// to float again; an interval is the higher neighbour over the lower, and
// bass line 1 is taken against slot 60, not slot 0 (they differ here).
INSTANTIATE_TEST_SUITE_P(
    Entries, DetailMemo,
    ::testing::Values(
        MemoCase{"FirstTrebleLine", {440.02f}, {}, kTreble, 0,
                 {"半音序号:0", "当前频率：440.019989013672", "标准频率：440", "偏差：4.54295765269886E-5", "音程：1"}},
        MemoCase{"SecondTrebleLine", {440.0f, 466.0f}, {}, kTreble, 1,
                 {"半音序号:1", "当前频率：466", "标准频率：466.163757324219", "偏差：-0.000351287120986662",
                  "音程：1.05909090909091"}},
        MemoCase{"FirstBassLine", {436.0f}, {441.0f, 415.0f}, kBass, 0,
                 {"半音序号:0", "当前频率：441", "标准频率：440", "偏差：0.00227272727272727", "音程：1"}},
        MemoCase{"SecondBassLine", {436.0f}, {441.0f, 415.0f}, kBass, 1,
                 {"半音序号:-1", "当前频率：415", "标准频率：415.3046875", "偏差：-0.000733648112266973",
                  "音程：1.06265060240964"}},
        // A 0 Hz neighbour divides as extended precision does.
        MemoCase{"ZeroNeighbour", {0.0f, 466.0f}, {}, kTreble, 1,
                 {"半音序号:1", "当前频率：466", "标准频率：466.163757324219", "偏差：-0.000351287120986662",
                  "音程：INF"}},
        MemoCase{"NegativeOverAZeroNeighbour", {0.0f, -466.0f}, {}, kTreble, 1,
                 {"半音序号:1", "当前频率：-466", "标准频率：466.163757324219", "偏差：-1.99964871287901",
                  "音程：-INF"}},
        MemoCase{"ZeroBassNeighbour", {}, {441.0f, 0.0f}, kBass, 1,
                 {"半音序号:-1", "当前频率：0", "标准频率：415.3046875", "偏差：-1", "音程：INF"}},
        MemoCase{"ZeroOverItself", {0.0f}, {}, kTreble, 0,
                 {"半音序号:0", "当前频率：0", "标准频率：440", "偏差：-1", "音程：NAN"}}),
    [](const ::testing::TestParamInfo<MemoCase>& info) { return std::string(info.param.name); });

}  // namespace
