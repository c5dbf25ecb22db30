// The target curve: the partial shift, each octave rule checked against the
// stiff-string model's own partials, and A4 at 0 on any reference.

#include <gtest/gtest.h>

#include <cmath>

#include "piano/InharmonicityLine.h"
#include "piano/StretchCurve.h"

namespace {

using namespace tonarel::piano;

// Partial n of a string whose first partial is f1: n f1 sqrt((1 + n^2 B) / (1 + B)).
double PartialHz(double firstPartialHz, double b, int n)
{
    return n * firstPartialHz * std::sqrt((1.0 + n * n * b) / (1.0 + b));
}

double Cents(double hz, double fromHz) { return 1200.0 * std::log2(hz / fromHz); }

struct ShiftRow {
    double b;
    int partial;
    double cents;
};

TEST(PartialShift, IsTheStiffStringsSharpeningInCents)
{
    const ShiftRow rows[] = {
        {0.0, 8, 0.0},        // a harmonic string
        {1e-2, 1, 0.0},       // the first partial is the reference
        {1e-3, 2, 2.5904},    // 600 log2(1.004 / 1.001)
        {1e-3, 4, 12.8751},   // 600 log2(1.016 / 1.001)
        {4e-4, 10, 33.6039},  // 600 log2(1.04 / 1.0004)
    };
    for (const ShiftRow& row : rows) {
        EXPECT_NEAR(PartialShiftCents(row.b, row.partial), row.cents, 1e-4) << row.b << " partial " << row.partial;
        EXPECT_NEAR(PartialShiftCents(row.b, row.partial),
                    Cents(PartialHz(100.0, row.b, row.partial), row.partial * 100.0), 1e-9);
    }
}

// A piano whose B grows steadily from bass to treble, unlike any real one, so
// that a key mixed up with its neighbour shows.
KeyValues SyntheticB()
{
    KeyValues b{};
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        b[IndexOfKey(key)] = 1e-4 * std::exp(0.05 * (key - 1)) + 2e-5 * (key % 3);
    }
    return b;
}

struct OctaveRow {
    int lowerKey;
    int partialA;  ///< of the lower key, meeting partialA / 2 of the upper
    int partialB;
    double weightB;
};

// Each octave of the curve puts the upper key where the rule's partials meet
// (or, blended, that share of the way from the first rule's meeting to the
// second's), measured on the modelled partials in hertz.
TEST(StretchCurve, TunesEachOctaveByItsRule)
{
    const OctaveRow rows[] = {
        {37, 4, 2, 0.0},          // the temperament octave A3-A4: 4:2
        {40, 4, 2, 0.0},          // C4-C5: still 4:2
        {64, 4, 2, 0.5 * 24 / 36},  // C6-C7: on the way to 2:1
        {76, 4, 2, 0.5},          // C7-C8: half 2:1
        {36, 4, 6, 1.0 / 12},     // G♯3-G♯4: the first step from 4:2 towards 6:3
        {31, 4, 6, 0.5},          // D♯3-D♯4: half way
        {25, 6, 10, 0.0},         // A2-A3: 6:3
        {19, 6, 10, 0.5 * 6 / 24},
        {1, 6, 10, 0.5},          // A0-A1: half 10:5
    };
    const KeyValues b = SyntheticB();
    const StretchCurve curve = ComputeStretchCurve(b, InharmonicitySource::kMeasured);
    for (const OctaveRow& row : rows) {
        const OctaveBlend blend = OctaveBlendFor(row.lowerKey);
        EXPECT_EQ(blend.partialA, row.partialA) << row.lowerKey;
        EXPECT_EQ(blend.partialB, row.partialB) << row.lowerKey;
        EXPECT_NEAR(blend.weightB, row.weightB, 1e-12) << row.lowerKey;

        const int upperKey = row.lowerKey + 12;
        const double lowerHz = curve.TargetHz(row.lowerKey, 440.0);
        const double bLower = b[IndexOfKey(row.lowerKey)];
        const double bUpper = b[IndexOfKey(upperKey)];
        const auto upperWhereMeeting = [&](int n) {
            return PartialHz(lowerHz, bLower, n) / PartialHz(1.0, bUpper, n / 2);
        };
        const double meetA = upperWhereMeeting(row.partialA);
        const double meetB = upperWhereMeeting(row.partialB);
        EXPECT_NEAR(Cents(curve.TargetHz(upperKey, 440.0), meetA), row.weightB * Cents(meetB, meetA), 1e-6)
            << "octave from key " << row.lowerKey;
    }
}

TEST(StretchCurve, SharesTheTemperamentOctavesStretchEvenly)
{
    const StretchCurve curve = ComputeStretchCurve(SyntheticB(), InharmonicitySource::kMeasured);
    const double semitone = curve.TargetCents(kTemperamentLowKey + 1) - curve.TargetCents(kTemperamentLowKey);
    EXPECT_GT(semitone, 0.0) << "a stretched octave widens each semitone";
    for (int key = kTemperamentLowKey; key < kTemperamentHighKey; ++key) {
        EXPECT_NEAR(curve.TargetCents(key + 1) - curve.TargetCents(key), semitone, 1e-9) << key;
    }
}

TEST(StretchCurve, PutsA4OnTheReferenceWhateverItIs)
{
    const StretchCurve curves[] = {ComputeStretchCurve(SyntheticB(), InharmonicitySource::kMeasured),
                                   AverageGrandStretchCurve()};
    for (const StretchCurve& curve : curves) {
        EXPECT_EQ(curve.TargetCents(49), 0.0);
        for (const double reference : {400.0, 415.3, 440.0, 442.0, 480.0}) {
            EXPECT_DOUBLE_EQ(curve.TargetHz(49, reference), reference);
            // Every other key keeps its cents: the curve scales with the reference.
            EXPECT_NEAR(curve.TargetHz(1, reference) / reference, curve.TargetHz(1, 440.0) / 440.0, 1e-15);
        }
    }
}

// Where the temperament octave ends the bass octaves must widen gradually: a
// sudden change of rule shows as a kink, a spike in the curve's second
// difference, on a concert grand's B and on an upright's steeper one alike.
// (A break in B itself, the average grand's at C3, bends the curve too; it
// lies below the keys checked.)
TEST(StretchCurve, BendsSmoothlyOutOfTheTemperamentOctave)
{
    KeyValues upright{};
    const InharmonicityLine bass = InharmonicityLine::Through(1, 1e-3, 20, 2e-4);
    const InharmonicityLine treble = InharmonicityLine::Through(20, 2e-4, 88, 2e-2);
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        upright[IndexOfKey(key)] = key < 20 ? bass.At(key) : treble.At(key);
    }
    const StretchCurve curves[] = {AverageGrandStretchCurve(),
                                   ComputeStretchCurve(upright, InharmonicitySource::kMeasured)};
    for (const StretchCurve& curve : curves) {
        for (int key = 30; key <= 48; ++key) {
            const double bend =
                curve.TargetCents(key + 1) - 2.0 * curve.TargetCents(key) + curve.TargetCents(key - 1);
            EXPECT_LT(std::fabs(bend), 0.1) << "key " << key << ", A0 at " << curve.TargetCents(1);
        }
    }
}

// The average grand's curve, offered before a piano is measured: flat in the
// bass and sharp in the treble by what grands are tuned to, and marked.
TEST(StretchCurve, OffersTheAverageGrandAsNotMeasured)
{
    const StretchCurve curve = AverageGrandStretchCurve();
    EXPECT_EQ(curve.source, InharmonicitySource::kAverageGrand);
    EXPECT_NEAR(curve.TargetCents(1), -24.9, 0.1);
    EXPECT_NEAR(curve.TargetCents(88), 29.8, 0.1);
    for (int key = kFirstKey; key + 12 <= kLastKey; ++key) {
        EXPECT_LT(curve.TargetCents(key), curve.TargetCents(key + 12)) << "every octave is stretched: " << key;
    }
}

}  // namespace
