// The two-line fit of ln B: the break found from noisy data, and what it
// falls back on with too few keys. Also how repeated readings of a key average.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "piano/AverageGrand.h"
#include "piano/InharmonicityFit.h"

namespace {

using namespace tonarel::piano;
using ::testing::HasSubstr;

// A piano whose wound strings end at key 20 with a jump in B, unlike the
// average grand, whose lines meet at C3.
double TrueB(int key)
{
    return key <= 20 ? InharmonicityLine::Through(1, 5e-4, 20, 1.6e-4).At(key)
                     : InharmonicityLine::Through(21, 9e-5, 88, 1.4e-2).At(key);
}

// `keys` measured with a scatter of about 8 % in B (normal in ln B), fixed seed.
std::vector<KeyInharmonicity> NoisyReadings(const std::vector<int>& keys, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> scatter(0.0, 0.08);
    std::vector<KeyInharmonicity> points;
    for (const int key : keys) {
        points.push_back({key, TrueB(key) * std::exp(scatter(random))});
    }
    return points;
}

TEST(InharmonicityFit, FindsTheBreakInNoisyReadings)
{
    std::vector<int> everyThirdKey;
    for (int key = 1; key <= 88; key += 3) {
        everyThirdKey.push_back(key);
    }
    for (const unsigned seed : {1u, 2u, 3u}) {
        const InharmonicityCurve curve = FitInharmonicity(NoisyReadings(everyThirdKey, seed));
        EXPECT_EQ(curve.source, InharmonicitySource::kMeasured);
        EXPECT_EQ(curve.breakKey, 20.5) << "between the measured keys 19 and 22, seed " << seed;
        EXPECT_TRUE(curve.bassFitted && curve.lowestOctaveMeasured && curve.topMeasured);
        EXPECT_TRUE(FitNotices(curve).empty());
        for (int key = 13; key <= 64; ++key) {
            EXPECT_NEAR(curve.B(key) / TrueB(key), 1.0, 0.1) << "key " << key << ", seed " << seed;
        }
    }
}

// A dozen keys spread over the keyboard, the way a tuner measures.
TEST(InharmonicityFit, GivesTheAverageGrandBackFromADozenOfItsKeys)
{
    std::vector<KeyInharmonicity> points;
    for (const int key : {1, 9, 17, 25, 33, 41, 49, 57, 65, 73, 81, 88}) {
        points.push_back({key, AverageGrandInharmonicity(key)});
    }
    const InharmonicityCurve curve = FitInharmonicity(points);
    EXPECT_EQ(curve.source, InharmonicitySource::kMeasured);
    EXPECT_EQ(curve.breakKey, 29.0);
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        EXPECT_NEAR(curve.B(key) / AverageGrandInharmonicity(key), 1.0, 1e-9) << key;
    }
}

struct FallbackRow {
    const char* name;
    std::vector<int> keys;
    InharmonicitySource source;
    bool bassFitted;
    std::vector<const char*> noticeWords;
};

TEST(InharmonicityFit, SaysWhatItCouldNotMeasure)
{
    const FallbackRow rows[] = {
        {"seven keys", {1, 13, 25, 37, 49, 61, 73}, InharmonicitySource::kAverageGrand, false, {"未测量", "有 7 个"}},
        {"no key", {}, InharmonicitySource::kAverageGrand, false, {"有 0 个"}},
        {"one bass key", {5, 44, 48, 52, 56, 60, 64, 72}, InharmonicitySource::kMeasured, false, {"低音区"}},
        {"nothing low or high", {30, 34, 38, 42, 46, 50, 54, 58, 62}, InharmonicitySource::kMeasured, true,
         {"最低八度", "F♯6"}},
        {"all in the bass", {1, 2, 3, 4, 5, 6, 7, 8, 9}, InharmonicitySource::kAverageGrand, false, {"未测量", "C4 以上"}},
    };
    for (const FallbackRow& row : rows) {
        std::vector<KeyInharmonicity> points;
        for (const int key : row.keys) {
            points.push_back({key, TrueB(key)});
        }
        const InharmonicityCurve curve = FitInharmonicity(points);
        EXPECT_EQ(curve.source, row.source) << row.name;
        EXPECT_EQ(curve.bassFitted, row.bassFitted) << row.name;
        std::string notices;
        for (const std::string& notice : FitNotices(curve)) {
            notices += notice + "\n";
        }
        for (const char* word : row.noticeWords) {
            EXPECT_THAT(notices, HasSubstr(word)) << row.name;
        }
        for (int key = kFirstKey; key <= kLastKey; ++key) {
            EXPECT_TRUE(curve.B(key) > 0.0 && curve.B(key) <= kHighestInharmonicity) << row.name << " key " << key;
        }
    }
    // One bass key: the bass line passes through it with the average grand's slope.
    const std::vector<KeyInharmonicity> oneBassKey = {{5, 4e-4}, {44, 3e-4}, {48, 4e-4}, {52, 5e-4},
                                                      {56, 6e-4}, {60, 8e-4}, {64, 1e-3}, {72, 2e-3}};
    const InharmonicityCurve curve = FitInharmonicity(oneBassKey);
    EXPECT_NEAR(curve.B(5), 4e-4, 1e-12);
    EXPECT_NEAR(curve.bass.slope, AverageGrandBassLine().slope, 1e-12);
}

// Keys out of range and B that is no measurement are left out.
TEST(InharmonicityFit, LeavesOutWhatIsNoMeasurement)
{
    std::vector<KeyInharmonicity> points = {{0, 1e-4}, {89, 1e-4}, {30, 0.0}, {31, -1e-4}, {32, NAN}, {33, 0.5}};
    for (int key = 10; key <= 80; key += 10) {
        points.push_back({key, TrueB(key)});
    }
    EXPECT_EQ(FitInharmonicity(points).keysUsed, 8);
}

TEST(PianoMeasurements, AveragesRepeatedReadings)
{
    PianoMeasurements piano;
    EXPECT_TRUE(piano.Add(49, {440.0, 3e-4, 14, 1000}));
    EXPECT_TRUE(piano.Add(49, {441.0, 5e-4, 9, 3000}));
    EXPECT_TRUE(piano.Add(49, {440.5, 4e-4, 12, 2000}));
    const KeySummary summary = *piano.Summary(49);
    EXPECT_NEAR(summary.firstPartialHz, std::cbrt(440.0 * 441.0 * 440.5), 1e-9);
    EXPECT_NEAR(summary.b, 4e-4, 1e-15);
    EXPECT_EQ(summary.partialCount, 9u);
    EXPECT_EQ(summary.measuredAt, 3000);
    EXPECT_EQ(summary.readingCount, 3u);
    EXPECT_EQ(piano.MeasuredKeyCount(), 1);
    EXPECT_FALSE(piano.Summary(48));

    // Only the latest readings are kept.
    for (int k = 0; k < 20; ++k) {
        piano.Add(1, {27.5 + k, 3e-4, 20, k});
    }
    ASSERT_EQ(piano.Readings(1).size(), kMostReadingsPerKey);
    EXPECT_EQ(piano.Readings(1).front().measuredAt, 4);

    // Nothing out of range is taken.
    const PianoMeasurements before = piano;
    const KeyReading good{440.0, 3e-4, 10, 0};
    EXPECT_FALSE(piano.Add(0, good));
    EXPECT_FALSE(piano.Add(89, good));
    for (const KeyReading& bad : {KeyReading{0.0, 3e-4, 10, 0}, KeyReading{NAN, 3e-4, 10, 0},
                                  KeyReading{440.0, -1e-9, 10, 0}, KeyReading{440.0, 0.2, 10, 0},
                                  KeyReading{440.0, 3e-4, 1001, 0}, KeyReading{440.0, 3e-4, 10, -1}}) {
        EXPECT_FALSE(piano.Add(49, bad));
    }
    EXPECT_EQ(piano, before);
    piano.ClearKey(49);
    EXPECT_EQ(piano.Summaries().size(), 1u);
}

}  // namespace
