// tonarel-piano-accuracy: how well a dozen measured keys predict a whole
// piano, on the 88 recordings of one piano (a developer's measurement, not
// part of the test suite):
//
//   tonarel-piano-accuracy FOLDER [KEY ...] [--sample-keys "KEY KEY ..."]
//
// FOLDER holds key01.wav ... key88.wav (render_piano_keys.py writes them
// from a soundfont). Every key is read with the precise reading; the keys
// given (default 1, 9, 17, ..., 81, 88: a dozen spread over the keyboard)
// are fitted as a tuner would measure them. Printed: the fitted B against
// each key's own measured B from A1 to C6; the dozen's curve against the
// curve of all 88 keys' fit; the sharpest bend of the dozen's curve; and the
// recordings' own tuning (cents from equal temperament, A4-relative) against
// the dozen's curve, A0-G♯5 and A5-A7.
//
// A soundfont plays each of its samples over several keys, resampled, which
// keeps the sample's B and moves its tuning with it; only at a sample's own
// key does the render sound as the recorded piano did. --sample-keys (the
// keys soundfont_sample_keys.py prints) repeats the B and tuning comparisons
// at those keys alone.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "piano/InharmonicityFit.h"
#include "piano/StretchCurve.h"
#include "precise/PreciseReading.h"

namespace {

using namespace tonarel;
using namespace tonarel::piano;

constexpr int kA1 = 13, kA2 = 25, kC4 = 40, kC6 = 64, kGSharp5 = 60, kA5 = 61, kA7 = 85;
constexpr double kFarthestFromKeyCents = 100.0;

struct KeyTake {
    bool read = false;
    double hz = 0.0;
    double b = 0.0;
};

// Whether `key` is among `keys`; every key when `keys` is empty.
bool Among(const std::vector<int>& keys, int key)
{
    return keys.empty() || std::find(keys.begin(), keys.end(), key) != keys.end();
}

void PrintTuningAgainstCurve(const std::vector<KeyTake>& takes, const StretchCurve& curve, int low, int high,
                             const std::vector<int>& only = {})
{
    const double a4 = CentsFromEqualTemperament(49, takes[IndexOfKey(49)].hz, 440.0);
    double squares = 0.0, worst = 0.0;
    int count = 0;
    for (int key = low; key <= high; ++key) {
        if (!takes[IndexOfKey(key)].read || !Among(only, key)) {
            continue;
        }
        const double miss = CentsFromEqualTemperament(key, takes[IndexOfKey(key)].hz, 440.0) - a4 - curve.TargetCents(key);
        squares += miss * miss;
        worst = std::max(worst, std::fabs(miss));
        ++count;
    }
    std::printf("tuning against the curve, %s-%s: %d keys, RMS %.2f cents, worst %.2f cents\n",
                tuning::NoteName(MidiOfKey(low)).c_str(), tuning::NoteName(MidiOfKey(high)).c_str(), count,
                count > 0 ? std::sqrt(squares / count) : 0.0, worst);
}

// The fitted B against the keys' own, A1-C6 (only `only`'s keys, if any).
void PrintFittedB(const std::vector<KeyTake>& takes, const InharmonicityCurve& fit, const std::vector<int>& only,
                  const char* against)
{
    std::vector<double> misses;
    for (int key = kA1; key <= kC6; ++key) {
        if (takes[IndexOfKey(key)].b > 0.0 && Among(only, key)) {
            misses.push_back(std::fabs(fit.B(key) / takes[IndexOfKey(key)].b - 1.0));
        }
    }
    std::sort(misses.begin(), misses.end());
    if (!misses.empty()) {
        const auto within = std::count_if(misses.begin(), misses.end(), [](double miss) { return miss <= 0.1; });
        std::printf("fitted B against %s, A1-C6: %zu keys, %td within 10 %%, median %.1f %%, worst %.1f %%\n", against,
                    misses.size(), within, 100.0 * misses[misses.size() / 2], 100.0 * misses.back());
    }
}

// The largest second difference of the curve per key from `low` to `high`:
// where the curve kinks, a change of octave rule or a break in B.
void PrintSharpestBend(const StretchCurve& curve, int low, int high)
{
    int bendKey = low;
    double bend = 0.0;
    for (int key = low; key <= high; ++key) {
        const double here = curve.TargetCents(key + 1) - 2.0 * curve.TargetCents(key) + curve.TargetCents(key - 1);
        if (std::fabs(here) > std::fabs(bend)) {
            bend = here;
            bendKey = key;
        }
    }
    std::printf("sharpest bend of the measured keys' curve, %s-%s: %+.2f cents per key squared at %s\n",
                tuning::NoteName(MidiOfKey(low)).c_str(), tuning::NoteName(MidiOfKey(high)).c_str(), bend,
                tuning::NoteName(MidiOfKey(bendKey)).c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("用法：tonarel-piano-accuracy FOLDER [KEY ...]\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<int> dozen, sampleKeys;
    for (int at = 2; at < argc; ++at) {
        if (std::string(argv[at]) == "--sample-keys" && at + 1 < argc) {
            std::istringstream list(argv[++at]);
            for (int key = 0; list >> key;) {
                sampleKeys.push_back(key);
            }
        } else {
            dozen.push_back(std::atoi(argv[at]));
        }
    }
    if (dozen.empty()) {
        dozen = {1, 9, 17, 25, 33, 41, 49, 57, 65, 73, 81, 88};
    }
    std::vector<KeyTake> takes(kKeyCount);
    PianoMeasurements all, measured;
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        char name[16];
        std::snprintf(name, sizeof name, "/key%02d.wav", key);
        const PreciseReading reading = EstimatePrecisePitch(folder + name);
        if (!reading.found ||
            std::fabs(CentsFromEqualTemperament(key, reading.firstPartialHz, 440.0)) > kFarthestFromKeyCents) {
            continue;
        }
        takes[IndexOfKey(key)] = {true, reading.firstPartialHz, reading.inharmonicity};
        const KeyReading keyReading{reading.firstPartialHz, reading.inharmonicity, reading.partialCount, 0};
        all.Add(key, keyReading);
        if (std::find(dozen.begin(), dozen.end(), key) != dozen.end()) {
            measured.Add(key, keyReading);
        }
    }
    if (!takes[IndexOfKey(49)].read) {
        std::fprintf(stderr, "tonarel-piano-accuracy: A4 没有读数\n");
        return 1;
    }
    const InharmonicityCurve fit = FitInharmonicity(measured);
    const InharmonicityCurve fitOfAll = FitInharmonicity(all);
    std::printf("%s: %d keys read, %d of the measured keys; break %.1f (all keys: %.1f)\n", folder.c_str(),
                all.MeasuredKeyCount(), measured.MeasuredKeyCount(), fit.breakKey, fitOfAll.breakKey);

    PrintFittedB(takes, fit, {}, "each key's B");
    if (!sampleKeys.empty()) {
        PrintFittedB(takes, fit, sampleKeys, "the B at the samples' own keys");
    }

    const StretchCurve curve = ComputeStretchCurve(fit);
    const StretchCurve curveOfAll = ComputeStretchCurve(fitOfAll);
    double worst = 0.0, worstMiddle = 0.0;
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        const double difference = std::fabs(curve.TargetCents(key) - curveOfAll.TargetCents(key));
        worst = std::max(worst, difference);
        worstMiddle = key >= kA1 && key <= kC6 ? std::max(worstMiddle, difference) : worstMiddle;
    }
    std::printf("curve of the measured keys against that of all keys: worst %.2f cents (A1-C6 %.2f)\n", worst,
                worstMiddle);
    PrintSharpestBend(curve, kFirstKey + 1, kLastKey - 1);
    PrintSharpestBend(curve, kA2, kC4);
    PrintTuningAgainstCurve(takes, curve, kFirstKey, kGSharp5);
    PrintTuningAgainstCurve(takes, curve, kA5, kA7);
    if (!sampleKeys.empty()) {
        std::printf("at the samples' own keys:\n");
        PrintTuningAgainstCurve(takes, curve, kFirstKey, kGSharp5, sampleKeys);
        PrintTuningAgainstCurve(takes, curve, kA5, kA7, sampleKeys);
    }
    return 0;
}
