#include "tuner/core/Temperaments.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "tuner/core/PitchNames.h"

namespace tonarel::tuning {
namespace {

using PitchTable = std::array<double, 12>;

// The intervals the rules are made of, from their ratios.
double PureFifth() { return CentsBetween(3.0, 2.0); }
double SyntonicComma() { return CentsBetween(81.0, 80.0); }
double PythagoreanComma() { return CentsBetween(531441.0, 524288.0); }
double Schisma() { return PythagoreanComma() - SyntonicComma(); }

double WithinOctave(double cents)
{
    const double wrapped = std::fmod(cents, 1200.0);
    return wrapped < 0.0 ? wrapped + 1200.0 : wrapped;
}

enum PitchClass { kC = 0, kD = 2, kEFlat = 3, kE = 4, kF = 5, kFSharp = 6, kG = 7, kA = 9, kB = 11 };

// The chain of fifths E♭ B♭ F C G D A E B F♯ C♯ G♯: the eleven fifths
// between them in that order (E♭-B♭ first, C♯-G♯ last); G♯-E♭ closes the
// circle with whatever is left over. Cents from C of each pitch class.
constexpr int kChainStart = kEFlat;

PitchTable ChainOfFifths(const std::array<double, 11>& fifths)
{
    PitchTable fromStart{};  // cents above E♭, octaves not yet folded
    int pitchClass = kChainStart;
    double cents = 0.0;
    for (double fifth : fifths) {
        pitchClass = (pitchClass + 7) % 12;
        cents += fifth;
        fromStart[static_cast<std::size_t>(pitchClass)] = cents;
    }
    PitchTable fromC{};
    const double c = fromStart[0];
    for (std::size_t k = 0; k < 12; ++k) {
        fromC[k] = WithinOctave(fromStart[k] - c);
    }
    return fromC;
}

PitchTable EqualFifths(double fifth)
{
    std::array<double, 11> fifths{};
    fifths.fill(fifth);
    return ChainOfFifths(fifths);
}

// Pure fifths except those named by their lower note, each narrowed by
// `narrowing` cents. The closing fifth G♯-E♭ takes what is left.
PitchTable NarrowedFifths(std::initializer_list<std::pair<int, double>> narrowed)
{
    std::array<double, 11> fifths{};
    fifths.fill(PureFifth());
    for (const auto& [lowerPitchClass, narrowing] : narrowed) {
        // Position of the fifth above `lowerPitchClass` in the chain from E♭.
        // (7 x 7 = 49 = 1 mod 12: a step of a fifth undone).
        const auto stepsFromStart = static_cast<std::size_t>(((lowerPitchClass - kChainStart) * 7 % 12 + 12) % 12);
        if (stepsFromStart < fifths.size()) {
            fifths[stepsFromStart] -= narrowing;
        }
    }
    return ChainOfFifths(fifths);
}

PitchTable EqualTemperamentCents()
{
    PitchTable cents{};
    for (std::size_t k = 0; k < 12; ++k) {
        cents[k] = 100.0 * static_cast<double>(k);
    }
    return cents;
}

PitchTable JustIntonation()
{
    static constexpr std::array<std::pair<double, double>, 12> kRatios = {{
        {1, 1}, {16, 15}, {9, 8}, {6, 5}, {5, 4}, {4, 3}, {45, 32}, {3, 2}, {8, 5}, {5, 3}, {9, 5}, {15, 8},
    }};
    PitchTable cents{};
    for (std::size_t k = 0; k < 12; ++k) {
        cents[k] = CentsBetween(kRatios[k].first, kRatios[k].second);
    }
    return cents;
}

std::array<Temperament, 9> MakeTemperaments()
{
    const double quarterPythagorean = PythagoreanComma() / 4.0;
    const double sixthPythagorean = PythagoreanComma() / 6.0;
    const double quarterSyntonic = SyntonicComma() / 4.0;
    return {{
        {"十二平均律", "equal", EqualTemperamentCents()},
        {"五度相生律", "pythagorean", EqualFifths(PureFifth())},
        {"纯律", "just", JustIntonation()},
        {"1/4 音差中庸全音律", "meantone-1/4", EqualFifths(PureFifth() - SyntonicComma() / 4.0)},
        {"1/6 音差中庸全音律", "meantone-1/6", EqualFifths(PureFifth() - SyntonicComma() / 6.0)},
        {"Werckmeister III", "werckmeister3",
         NarrowedFifths({{kC, quarterPythagorean}, {kG, quarterPythagorean}, {kD, quarterPythagorean},
                         {kB, quarterPythagorean}})},
        {"Kirnberger III", "kirnberger3",
         NarrowedFifths({{kC, quarterSyntonic}, {kG, quarterSyntonic}, {kD, quarterSyntonic},
                         {kA, quarterSyntonic}, {kFSharp, Schisma()}})},
        {"Vallotti", "vallotti",
         NarrowedFifths({{kF, sixthPythagorean}, {kC, sixthPythagorean}, {kG, sixthPythagorean},
                         {kD, sixthPythagorean}, {kA, sixthPythagorean}, {kE, sixthPythagorean}})},
        {"Young II", "young2",
         NarrowedFifths({{kC, sixthPythagorean}, {kG, sixthPythagorean}, {kD, sixthPythagorean},
                         {kA, sixthPythagorean}, {kE, sixthPythagorean}, {kB, sixthPythagorean}})},
    }};
}

}  // namespace

std::span<const Temperament> BuiltInTemperaments()
{
    static const std::array<Temperament, 9> temperaments = MakeTemperaments();
    return temperaments;
}

const Temperament* FindTemperament(std::string_view commandName)
{
    for (const Temperament& temperament : BuiltInTemperaments()) {
        if (temperament.commandName == commandName) {
            return &temperament;
        }
    }
    return nullptr;
}

const Temperament& DefaultTemperament() { return BuiltInTemperaments().front(); }

}  // namespace tonarel::tuning
