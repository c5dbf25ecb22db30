// tonarel-piano-table-accuracy: how well the curve from a dozen keys meets a
// real piano's tuning, from published figures rather than recordings (a
// developer's measurement, not part of the test suite):
//
//   tonarel-piano-table-accuracy FILE [KEY ...]
//
// FILE holds one key a line, `KEY B CENTS`: the key (1 = A0 to 88 = C8), its
// inharmonicity and its first partial's cents from equal temperament as the
// piano was tuned, either written `-` where the source gives none; `#` starts
// a comment. The cents are taken relative to A4 when A4 has a value. The keys
// given (default C1, G1, E2, C3, A3, F4, A4, E5, B5, F♯6, C♯7, G♯7: a dozen
// as the guide suggests measuring) take their B from the file, ln B
// interpolated along the keys where a source lists B only every few keys; the
// fitted curve is set against the tuning, A0-G♯5 and A5-A7, key by key.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "piano/InharmonicityFit.h"
#include "piano/StretchCurve.h"

namespace {

using namespace tonarel;
using namespace tonarel::piano;

constexpr int kGSharp5 = 60, kA5 = 61, kA7 = 85;

struct TableKey {
    std::optional<double> b;
    std::optional<double> cents;
};
using Table = std::vector<TableKey>;  // index IndexOfKey(key)

// A number, or nothing for "-"; false when the field is neither.
bool ReadField(const std::string& field, std::optional<double>& value)
{
    if (field == "-") {
        value.reset();
        return true;
    }
    double number = 0.0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(number)) {
        return false;
    }
    value = number;
    return true;
}

std::optional<Table> ReadTable(const std::string& path)
{
    std::ifstream file(path);
    if (!file) {
        std::fprintf(stderr, "tonarel-piano-table-accuracy: 打不开 %s\n", path.c_str());
        return std::nullopt;
    }
    Table table(kKeyCount);
    std::string line;
    for (int lineNumber = 1; std::getline(file, line); ++lineNumber) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        std::string keyText, bText, centsText, extra;
        if (!(fields >> keyText)) {
            continue;
        }
        std::optional<double> key;
        TableKey entry;
        if (!(fields >> bText >> centsText) || (fields >> extra) || !ReadField(keyText, key) || !key ||
            !IsPianoKey(static_cast<int>(*key)) || *key != std::floor(*key) || !ReadField(bText, entry.b) ||
            !ReadField(centsText, entry.cents) || (entry.b && (*entry.b <= 0.0 || *entry.b > kHighestInharmonicity))) {
            std::fprintf(stderr, "tonarel-piano-table-accuracy: %s 第 %d 行应为“键 B 音分”（键 1～88，B 大于 0，不知道的写 -）\n",
                         path.c_str(), lineNumber);
            return std::nullopt;
        }
        table[IndexOfKey(static_cast<int>(*key))] = entry;
    }
    return table;
}

// The key's B from the table, or ln B interpolated between the nearest keys
// listed below and above it; nothing when it lies outside the listed keys.
std::optional<double> BAt(const Table& table, int key)
{
    if (table[IndexOfKey(key)].b) {
        return table[IndexOfKey(key)].b;
    }
    int below = key - 1, above = key + 1;
    while (below >= kFirstKey && !table[IndexOfKey(below)].b) {
        --below;
    }
    while (above <= kLastKey && !table[IndexOfKey(above)].b) {
        ++above;
    }
    if (below < kFirstKey || above > kLastKey) {
        return std::nullopt;
    }
    const double share = static_cast<double>(key - below) / (above - below);
    return std::exp((1.0 - share) * std::log(*table[IndexOfKey(below)].b) + share * std::log(*table[IndexOfKey(above)].b));
}

void PrintTuningAgainstCurve(const Table& table, double a4Cents, const StretchCurve& curve, int low, int high)
{
    double squares = 0.0, worst = 0.0;
    int count = 0, worstKey = 0;
    for (int key = low; key <= high; ++key) {
        if (const auto cents = table[IndexOfKey(key)].cents) {
            const double miss = *cents - a4Cents - curve.TargetCents(key);
            std::printf("  %-4s tuned %+7.2f  curve %+7.2f  miss %+6.2f\n", tuning::NoteName(MidiOfKey(key)).c_str(),
                        *cents - a4Cents, curve.TargetCents(key), miss);
            squares += miss * miss;
            if (std::fabs(miss) > worst) {
                worst = std::fabs(miss);
                worstKey = key;
            }
            ++count;
        }
    }
    std::printf("tuning against the curve, %s-%s: %d keys, RMS %.2f cents, worst %.2f cents (%s)\n",
                tuning::NoteName(MidiOfKey(low)).c_str(), tuning::NoteName(MidiOfKey(high)).c_str(), count,
                count > 0 ? std::sqrt(squares / count) : 0.0, worst,
                count > 0 ? tuning::NoteName(MidiOfKey(worstKey)).c_str() : "-");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("用法：tonarel-piano-table-accuracy FILE [KEY ...]\n", stderr);
        return 2;
    }
    const auto table = ReadTable(argv[1]);
    if (!table) {
        return 2;
    }
    std::vector<int> dozen = {4, 11, 20, 28, 37, 45, 49, 56, 63, 70, 77, 84};
    if (argc > 2) {
        dozen.resize(static_cast<std::size_t>(argc - 2));
        std::transform(argv + 2, argv + argc, dozen.begin(), [](const char* text) { return std::atoi(text); });
    }
    std::vector<KeyInharmonicity> points;
    std::printf("%s: B of the measured keys:", argv[1]);
    for (const int key : dozen) {
        const auto b = IsPianoKey(key) ? BAt(*table, key) : std::nullopt;
        if (!b) {
            std::fprintf(stderr, "\ntonarel-piano-table-accuracy: 键 %d 的 B 无从得出，不用\n", key);
            continue;
        }
        points.push_back({key, *b});
        std::printf(" %s %.3g%s", tuning::NoteName(MidiOfKey(key)).c_str(), *b, (*table)[IndexOfKey(key)].b ? "" : "*");
    }
    const InharmonicityCurve fit = FitInharmonicity(points);
    std::printf("\n(* interpolated) fit: %d keys, break %.1f, %s\n", fit.keysUsed, fit.breakKey,
                fit.source == InharmonicitySource::kMeasured ? "measured" : "too few keys: the average grand");
    const double a4Cents = (*table)[IndexOfKey(kTemperamentHighKey)].cents.value_or(0.0);
    const StretchCurve curve = ComputeStretchCurve(fit);
    PrintTuningAgainstCurve(*table, a4Cents, curve, kFirstKey, kGSharp5);
    PrintTuningAgainstCurve(*table, a4Cents, curve, kA5, kA7);
    return 0;
}
