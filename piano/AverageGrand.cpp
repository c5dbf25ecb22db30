#include "piano/AverageGrand.h"

namespace tonarel::piano {
namespace {

constexpr double kKeyA0 = 1.0, kKeyC3 = 28.0, kKeyC8 = 88.0;
constexpr double kBAtA0 = 3e-4, kBAtC3 = 1e-4, kBAtC8 = 1e-2;

}  // namespace

InharmonicityLine AverageGrandBassLine() { return InharmonicityLine::Through(kKeyA0, kBAtA0, kKeyC3, kBAtC3); }

InharmonicityLine AverageGrandTrebleLine() { return InharmonicityLine::Through(kKeyC3, kBAtC3, kKeyC8, kBAtC8); }

double AverageGrandInharmonicity(int key)
{
    return key < kAverageGrandBreakKey ? AverageGrandBassLine().At(key) : AverageGrandTrebleLine().At(key);
}

}  // namespace tonarel::piano
