#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "standard/PeriodCounter.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using tonarel::CountPeriods;

// 100 samples per period: the count is the whole periods less one; an odd
// last byte is no sample; another sample width counts nothing.
TEST(CountPeriods, CountsTheWholePeriodsOfASineLessOne)
{
    for (const auto& [samples, expected] : {std::pair{4410u, 43u}, std::pair{44100u, 440u}}) {
        const auto sine = tonarel::tones::Sine(samples, 100.0, 10000.0);
        EXPECT_EQ(CountPeriods(16, sine.data(), samples * 2, 2), expected);
        EXPECT_EQ(CountPeriods(16, sine.data(), samples * 2 - 1, 2), expected);
        EXPECT_EQ(CountPeriods(8, sine.data(), samples * 2, 2), tonarel::kNoPeriodCounted);
    }
}

// The counting rules as plainly as they read, sample by sample.
uint32_t CountSampleBySample(const int16_t* s, uint32_t n, uint32_t ratio)
{
    int32_t posRef = 10, negRef = 10;
    for (uint32_t i = 0; i < n; ++i) {
        posRef = std::max(posRef, int32_t{s[i]});
        negRef = std::max(negRef, -int32_t{s[i]});
    }
    uint32_t runA = 1, runB = 1, longestA = 1, longestB = 1;
    for (uint32_t i = 0; i < n; runA = runB = 0) {
        for (; i < n && (s[i] < 0 || s[i] > posRef / 2); ++i) ++runA;
        longestA = std::max(longestA, runA);
        for (; i < n && s[i] >= 0; ++i) ++runB;
        longestB = std::max(longestB, runB);
    }
    struct Half {
        int32_t& ref;
        int32_t lobe = 1, acc = 1;
        uint32_t len = 1;
        bool accepted = false;
    } pos{posRef}, neg{negRef};
    uint32_t count = 0;
    // Takes in the run of one sign from i, then judges its half-wave.
    const auto takeRun = [&](uint32_t& i, bool negative, Half& own, uint32_t longest) {
        for (; i < n && (s[i] < 0) == negative; ++i) {
            const int32_t m = std::abs(int32_t{s[i]});
            own.lobe = std::max(own.lobe, m);
            own.acc = std::max(own.acc, m);
            ++own.len;
            if (count % 5 == 0) {
                pos.ref = pos.acc, neg.ref = neg.acc;
                pos.acc = neg.acc = 10;
            }
        }
        if (static_cast<uint32_t>(own.ref / own.lobe) < ratio && longest / own.len <= ratio) own.accepted = true;
        if (pos.accepted && neg.accepted) {
            ++count;
            for (Half* h : {&pos, &neg}) h->lobe = 1, h->len = 1, h->accepted = false;
        }
    };
    for (uint32_t i = 0; i < n;) {
        takeRun(i, false, pos, longestA);
        takeRun(i, true, neg, longestB);
    }
    return count - 1;
}

// Varied signals, mixed in random pieces: noisy sines loud and faint (below
// the references' floor), full-scale noise and squares, random walks and flat
// stretches, cut to every length so that runs end at every position of the
// counter's eight-sample steps.
std::vector<int16_t> VariedSignal(std::mt19937& random, uint32_t length)
{
    std::vector<int16_t> s;
    while (s.size() < length) {
        const uint32_t kind = random() % 5, piece = 1 + random() % 600;
        const double amplitude = std::ldexp(1.0, static_cast<int>(random() % 16)), period = 2 + random() % 80;
        int walk = 0;
        for (uint32_t i = 0; i < piece; ++i) {
            const int jitter = static_cast<int>(random() % 601) - 300;
            const double value = kind == 0 ? amplitude * std::sin(6.283185307179586 * i / period) + jitter / 8
                                 : kind == 1 ? jitter * 110.0
                                 : kind == 2 ? ((i / static_cast<uint32_t>(period)) % 2 ? -32768.0 : 32767.0)
                                 : kind == 3 ? (walk += jitter)
                                             : amplitude - 2000.0;
            s.push_back(static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0)));
        }
    }
    s.resize(length);
    return s;
}

TEST(CountPeriods, AgreesWithTheSampleBySampleRulesOnVariedSignals)
{
    std::mt19937 random(20240501);
    for (uint32_t trial = 0; trial < 600; ++trial) {
        const uint32_t length = trial < 40 ? trial : random() % 3000;
        const std::vector<int16_t> s = VariedSignal(random, length);
        for (const uint32_t ratio : {1u, 2u, 3u}) {
            ASSERT_EQ(CountPeriods(16, s.data(), length * 2, ratio), CountSampleBySample(s.data(), length, ratio))
                << "trial " << trial << ", length " << length << ", ratio " << ratio;
        }
    }
}

}  // namespace
