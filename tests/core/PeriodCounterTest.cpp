#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
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

// The counting rules transcribed sample by sample, as plainly as they read,
// against which the counter (which works run by run) is checked.
uint32_t CountPeriodsSampleBySample(const int16_t* s, uint32_t n, uint32_t ratio)
{
    int32_t posRef = 10;
    int32_t negRef = 10;
    for (uint32_t i = 0; i < n; ++i) {
        if (s[i] > 0) posRef = std::max(posRef, static_cast<int32_t>(s[i]));
        if (s[i] < 0) negRef = std::max(negRef, -static_cast<int32_t>(s[i]));
    }
    uint32_t runA = 1, runB = 1, longestA = 1, longestB = 1, i = 0;
    while (i < n) {
        while (i < n && (s[i] < 0 || s[i] > posRef / 2)) { ++runA; ++i; }
        longestA = std::max(longestA, runA);
        runA = 0;
        while (i < n && s[i] >= 0) { ++runB; ++i; }
        longestB = std::max(longestB, runB);
        runB = 0;
    }
    uint32_t count = 0;
    bool posAccepted = false, negAccepted = false;
    int32_t posLobeMax = 1, negLobeMax = 1, posAcc = 1, negAcc = 1;
    uint32_t posLen = 1, negLen = 1;
    const auto countIfBoth = [&] {
        if (posAccepted && negAccepted) {
            ++count;
            posLen = negLen = 1;
            posLobeMax = negLobeMax = 1;
            posAccepted = negAccepted = false;
        }
    };
    const auto refreshIfDue = [&] {
        if (count % 5 == 0) {
            posRef = posAcc;
            negRef = negAcc;
            posAcc = 10;
            negAcc = 10;
        }
    };
    i = 0;
    while (i < n) {
        while (i < n && s[i] >= 0) {
            posLobeMax = std::max(posLobeMax, static_cast<int32_t>(s[i]));
            posAcc = std::max(posAcc, static_cast<int32_t>(s[i]));
            ++posLen;
            refreshIfDue();
            ++i;
        }
        if (static_cast<uint32_t>(posRef / posLobeMax) < ratio && longestA / posLen <= ratio) posAccepted = true;
        countIfBoth();
        while (i < n && s[i] < 0) {
            const int32_t m = -static_cast<int32_t>(s[i]);
            negLobeMax = std::max(negLobeMax, m);
            negAcc = std::max(negAcc, m);
            ++negLen;
            refreshIfDue();
            ++i;
        }
        if (static_cast<uint32_t>(negRef / negLobeMax) < ratio && longestB / negLen <= ratio) negAccepted = true;
        countIfBoth();
    }
    return count - 1;
}

struct SignalKind {
    const char* name;
    std::function<std::vector<int16_t>(std::mt19937&, uint32_t length)> make;
};

void PrintTo(const SignalKind& kind, std::ostream* out)
{
    *out << kind.name;
}

class PeriodCounterAgreesSampleBySample : public ::testing::TestWithParam<SignalKind> {};

// Many signals of each kind and many lengths, short ones included, where
// runs end in every position of the counter's eight-sample steps.
TEST_P(PeriodCounterAgreesSampleBySample, OnEverySignal)
{
    std::mt19937 random(20240501);
    std::uniform_int_distribution<uint32_t> lengths(0, 3000);
    for (int trial = 0; trial < 200; ++trial) {
        const uint32_t length = trial < 40 ? static_cast<uint32_t>(trial) : lengths(random);
        const std::vector<int16_t> samples = GetParam().make(random, length);
        for (const uint32_t ratio : {1u, 2u, 3u}) {
            ASSERT_EQ(CountPeriods(16, samples.data(), length * 2, ratio),
                      CountPeriodsSampleBySample(samples.data(), length, ratio))
                << "trial " << trial << ", length " << length << ", ratio " << ratio;
        }
    }
}

std::vector<int16_t> Noisy(std::mt19937& random, uint32_t length, double amplitude, double samplesPerPeriod,
                           int noise)
{
    std::uniform_int_distribution<int> jitter(-noise, noise);
    std::vector<int16_t> samples(length);
    for (uint32_t i = 0; i < length; ++i) {
        const double value = amplitude * std::sin(2 * 3.141592653589793 * i / samplesPerPeriod) + jitter(random);
        samples[i] = static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
    }
    return samples;
}

INSTANTIATE_TEST_SUITE_P(
    Signals, PeriodCounterAgreesSampleBySample,
    ::testing::Values(
        SignalKind{"noisy sine", [](std::mt19937& r, uint32_t n) { return Noisy(r, n, 8000, 37.3, 900); }},
        SignalKind{"faint noisy sine", [](std::mt19937& r, uint32_t n) { return Noisy(r, n, 12, 11.0, 8); }},
        SignalKind{"white noise",
                   [](std::mt19937& r, uint32_t n) {
                       std::uniform_int_distribution<int> value(-32768, 32767);
                       std::vector<int16_t> s(n);
                       for (auto& x : s) x = static_cast<int16_t>(value(r));
                       return s;
                   }},
        SignalKind{"full-scale square with ripples",
                   [](std::mt19937& r, uint32_t n) {
                       std::uniform_int_distribution<int> period(2, 40), ripple(0, 9);
                       std::vector<int16_t> s(n);
                       const int p = period(r);
                       for (uint32_t i = 0; i < n; ++i) {
                           s[i] = (i / p) % 2 ? int16_t{-32768} : int16_t{32767};
                           if (ripple(r) == 0) s[i] = static_cast<int16_t>(-s[i] / 3);
                       }
                       return s;
                   }},
        SignalKind{"random walk",
                   [](std::mt19937& r, uint32_t n) {
                       std::uniform_int_distribution<int> step(-300, 300);
                       std::vector<int16_t> s(n);
                       int value = 0;
                       for (auto& x : s) x = static_cast<int16_t>(value = std::clamp(value + step(r), -32768, 32767));
                       return s;
                   }},
        SignalKind{"long signed stretches",
                   [](std::mt19937& r, uint32_t n) {
                       std::uniform_int_distribution<int> stretch(1, 200), level(-2000, 2000);
                       std::vector<int16_t> s;
                       while (s.size() < n) s.insert(s.end(), stretch(r), static_cast<int16_t>(level(r)));
                       s.resize(n);
                       return s;
                   }}));

}  // namespace
