#include "piano/StretchCurve.h"

#include <algorithm>
#include <cmath>

namespace tonarel::piano {
namespace {

constexpr int kOctave = 12;
// Where the treble blend starts (C5), and how far it and the deep bass blend
// move towards their second rule by the end of the keyboard.
constexpr int kTrebleBlendStartKey = 52;
constexpr double kEndWeight = 0.5;
// The octave below the temperament octave moves from 4:2 to 6:3 one twelfth
// per key, so that the curve's slope carries on smoothly out of the
// temperament; from A2 down, 6:3 moves towards 10:5.
constexpr int kSixThreeFullKey = kTemperamentLowKey - kOctave;  // A2

}  // namespace

double PartialShiftCents(double b, int partial)
{
    const double n = partial;
    return 600.0 * std::log2((1.0 + n * n * b) / (1.0 + b));
}

double OctaveStretchCents(double bLower, double bUpper, int lowerPartial)
{
    return PartialShiftCents(bLower, lowerPartial) - PartialShiftCents(bUpper, lowerPartial / 2);
}

OctaveBlend OctaveBlendFor(int lowerKey)
{
    if (lowerKey >= kTemperamentLowKey) {
        const int upperKey = lowerKey + kOctave;
        const double span = kLastKey - kTrebleBlendStartKey;
        return {4, 2, kEndWeight * std::clamp((upperKey - kTrebleBlendStartKey) / span, 0.0, 1.0)};
    }
    if (lowerKey > kSixThreeFullKey) {
        return {4, 6, static_cast<double>(kTemperamentLowKey - lowerKey) / kOctave};
    }
    const double span = kSixThreeFullKey - kFirstKey;
    return {6, 10, kEndWeight * std::clamp((kSixThreeFullKey - lowerKey) / span, 0.0, 1.0)};
}

double BlendedOctaveCents(const OctaveBlend& blend, double bLower, double bUpper)
{
    return (1.0 - blend.weightB) * OctaveStretchCents(bLower, bUpper, blend.partialA) +
           blend.weightB * OctaveStretchCents(bLower, bUpper, blend.partialB);
}

double StretchCurve::TargetHz(int key, double referenceHz) const
{
    return tuning::ShiftedByCents(tuning::EqualTemperedHz(MidiOfKey(key), referenceHz), TargetCents(key));
}

StretchCurve ComputeStretchCurve(const KeyValues& b, InharmonicitySource source)
{
    StretchCurve curve;
    curve.source = source;
    curve.b = b;
    const auto octaveFrom = [&b](int lowerKey) {
        return BlendedOctaveCents(OctaveBlendFor(lowerKey), b[IndexOfKey(lowerKey)],
                                  b[IndexOfKey(lowerKey + kOctave)]);
    };
    KeyValues& cents = curve.targetCents;
    const double temperamentStretch = octaveFrom(kTemperamentLowKey);
    for (int key = kTemperamentLowKey; key <= kTemperamentHighKey; ++key) {
        cents[IndexOfKey(key)] = temperamentStretch * (key - kTemperamentHighKey) / kOctave;
    }
    for (int key = kTemperamentHighKey + 1; key <= kLastKey; ++key) {
        cents[IndexOfKey(key)] = cents[IndexOfKey(key - kOctave)] + octaveFrom(key - kOctave);
    }
    for (int key = kTemperamentLowKey - 1; key >= kFirstKey; --key) {
        cents[IndexOfKey(key)] = cents[IndexOfKey(key + kOctave)] - octaveFrom(key);
    }
    return curve;
}

StretchCurve ComputeStretchCurve(const InharmonicityCurve& curve) { return ComputeStretchCurve(curve.b, curve.source); }

StretchCurve AverageGrandStretchCurve() { return ComputeStretchCurve(AverageGrandCurve()); }

double CentsFromEqualTemperament(int key, double hz, double referenceHz)
{
    return tuning::CentsBetween(hz, tuning::EqualTemperedHz(MidiOfKey(key), referenceHz));
}

}  // namespace tonarel::piano
