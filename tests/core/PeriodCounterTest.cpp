#include <gtest/gtest.h>

#include <vector>

#include "tests/support/WaveFileWriter.h"
#include "wave/PeriodCounter.h"

namespace {

using tonarel::CountPeriods;
using tonarel::kNoPeriodCounted;
using tonarel::kPeriodAcceptanceRatio;

uint32_t Count(const std::vector<int16_t>& samples, uint32_t byteCount)
{
    return CountPeriods(16, samples.data(), byteCount, kPeriodAcceptanceRatio);
}

struct SineRow {
    uint32_t samples;
    uint32_t expected;
};

void PrintTo(const SineRow& row, std::ostream* out)
{
    *out << row.samples << " samples";
}

class PeriodCounterOnASine : public ::testing::TestWithParam<SineRow> {};

// 100 samples per period, amplitude 10000, from phase 0: the count is the
// periods less one, and a partial period at the end does not count.
TEST_P(PeriodCounterOnASine, CountsThePeriodsLessOne)
{
    const auto sine = tonarel::test::Sine(GetParam().samples, 100.0, 10000.0);
    EXPECT_EQ(Count(sine, GetParam().samples * 2), GetParam().expected);
    // An odd last byte is no sample.
    EXPECT_EQ(Count(sine, GetParam().samples * 2 - 1), Count(sine, GetParam().samples * 2 - 2));
}

INSTANTIATE_TEST_SUITE_P(Rows, PeriodCounterOnASine,
                         ::testing::Values(SineRow{4410, 43}, SineRow{44100, 440}));

TEST(PeriodCounter, WrapsRoundWhenNoPeriodIsCounted)
{
    const std::vector<int16_t> empty;
    EXPECT_EQ(CountPeriods(16, nullptr, 0, 2), kNoPeriodCounted);
    EXPECT_EQ(CountPeriods(16, empty.data(), 1, 2), kNoPeriodCounted);
    EXPECT_EQ(Count(std::vector<int16_t>(1000, 1000), 2000), kNoPeriodCounted);  // never crosses zero
    EXPECT_EQ(Count(tonarel::test::Sine(1000, 100.0, 5.0), 2000), kNoPeriodCounted);  // below the reference floor
}

TEST(PeriodCounter, CountsNothingForAnotherSampleWidth)
{
    const auto sine = tonarel::test::Sine(4410, 100.0, 10000.0);
    EXPECT_EQ(CountPeriods(8, sine.data(), 8820, 2), kNoPeriodCounted);
}

// Worked by hand: the longest "negative or high" run is the whole segment
// (6), so a positive half-wave of one sample (length 2) is too short, but the
// rejected first one leaves its length behind and the second positive
// half-wave, length 3, passes: one period counted, result 0. A counter that
// forgot a rejected half-wave's length would count none.
TEST(PeriodCounter, CarriesARejectedHalfWaveIntoTheNextOfItsSign)
{
    EXPECT_EQ(Count({100, -100, 100, -100, 100}, 10), 0u);
}

}  // namespace
