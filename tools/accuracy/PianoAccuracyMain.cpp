// tonarel-piano-accuracy: how well a dozen measured keys predict a whole
// piano, on the 88 recordings of one piano (a developer's measurement, not
// part of the test suite):
//
//   tonarel-piano-accuracy FOLDER [KEY ...]
//
// FOLDER holds key01.wav ... key88.wav (render_piano_keys.py writes them
// from a soundfont). Every key is read with the precise reading; the keys
// given (default 1, 9, 17, ..., 81, 88: a dozen spread over the keyboard)
// are fitted as a tuner would measure them. Printed: the fitted B against
// each key's own measured B from A1 to C6; the dozen's curve against the
// curve of all 88 keys' fit; the sharpest bend of the dozen's curve; and the
// recordings' own tuning (cents from equal temperament, A4-relative) against
// the dozen's curve, A0-G♯5 and A5-A7.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

void PrintTuningAgainstCurve(const std::vector<KeyTake>& takes, const StretchCurve& curve, int low, int high)
{
    const double a4 = CentsFromEqualTemperament(49, takes[IndexOfKey(49)].hz, 440.0);
    double squares = 0.0, worst = 0.0;
    int count = 0;
    for (int key = low; key <= high; ++key) {
        if (!takes[IndexOfKey(key)].read) {
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
    std::vector<int> dozen = {1, 9, 17, 25, 33, 41, 49, 57, 65, 73, 81, 88};
    if (argc > 2) {
        dozen.resize(static_cast<std::size_t>(argc - 2));
        std::transform(argv + 2, argv + argc, dozen.begin(), [](const char* text) { return std::atoi(text); });
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

    std::vector<double> misses;
    for (int key = kA1; key <= kC6; ++key) {
        if (takes[IndexOfKey(key)].b > 0.0) {
            misses.push_back(std::fabs(fit.B(key) / takes[IndexOfKey(key)].b - 1.0));
        }
    }
    std::sort(misses.begin(), misses.end());
    if (!misses.empty()) {
        const auto within = std::count_if(misses.begin(), misses.end(), [](double miss) { return miss <= 0.1; });
        std::printf("fitted B against each key's B, A1-C6: %zu keys, %td within 10 %%, median %.1f %%, worst %.1f %%\n",
                    misses.size(), within, 100.0 * misses[misses.size() / 2], 100.0 * misses.back());
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
    return 0;
}
