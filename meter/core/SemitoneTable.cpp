#include "meter/core/SemitoneTable.h"

namespace tonarel {
namespace {

// The deviation from the chosen note: the quotient first, then the factor
// 100, in extended precision from the float operands, stored as a float.
float DeviationFrom(float frequency, float note)
{
    const long double f = frequency;
    const long double n = note;
    return static_cast<float>((f - n) / n * 100.0L);
}

}  // namespace

void BuildSemitoneTable(float reference, std::span<float> table)
{
    BuildEqualTemperedTable(reference, table.data(), static_cast<uint32_t>(table.size()));
}

int32_t FindSemitone(std::span<const float> table, float frequency, float& deviation)
{
    deviation = 0.0f;
    const uint32_t count = static_cast<uint32_t>(table.size());
    const int32_t notFound = static_cast<int32_t>(count);
    const uint32_t half = count >> 1;
    if (half == 0) {
        return notFound;
    }
    const long double f = frequency;

    if (frequency >= kReferencePitchHz) {
        // The rising half: entry i is semitone i.
        for (uint32_t i = 0; i + 1 < half; ++i) {
            const long double low = table[i];
            const long double high = table[i + 1];
            if (f == low) {
                return static_cast<int32_t>(i);
            }
            if (low < f && f < high) {
                if (high - f <= f - low) {
                    deviation = DeviationFrom(frequency, table[i + 1]);
                    return static_cast<int32_t>(i + 1);
                }
                deviation = DeviationFrom(frequency, table[i]);
                return static_cast<int32_t>(i);
            }
        }
        if (f == table[half - 1]) {
            return static_cast<int32_t>(half - 1);
        }
        return notFound;
    }

    // The falling half (not-a-number comes here and matches nothing): entry
    // i is semitone half - i, and entry i + 1 lies below entry i.
    for (uint32_t i = half; i + 1 < count; ++i) {
        const long double upper = table[i];
        const long double lower = table[i + 1];
        if (f == lower) {
            return static_cast<int32_t>(half) - static_cast<int32_t>(i + 1);
        }
        if (lower < f && f < upper) {
            if (upper - f <= f - lower) {
                deviation = DeviationFrom(frequency, table[i]);
                return static_cast<int32_t>(half) - static_cast<int32_t>(i);
            }
            deviation = DeviationFrom(frequency, table[i + 1]);
            return static_cast<int32_t>(half) - static_cast<int32_t>(i + 1);
        }
    }
    return notFound;
}

}  // namespace tonarel
