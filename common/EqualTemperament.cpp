#include "common/EqualTemperament.h"

namespace tonarel {

void BuildEqualTemperedTable(float base, float* table, uint32_t count)
{
    if (count == 0) {
        return;
    }
    const uint32_t half = count >> 1;
    // Rising half. A table of one entry has no falling half: its only entry is the base.
    table[0] = base;
    for (uint32_t k = 0; k + 1 < half; ++k) {
        table[k + 1] = static_cast<float>(static_cast<long double>(table[k]) * static_cast<long double>(kSemitoneFactor));
    }
    // Falling half, starting again from the base.
    table[half] = base;
    for (uint32_t k = half; k + 1 < count; ++k) {
        table[k + 1] = static_cast<float>(kDescendingFactor * static_cast<long double>(table[k]));
    }
}

}  // namespace tonarel
