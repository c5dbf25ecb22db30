#include "temperament/core/ReadingVerdict.h"

#include <cmath>
#include <limits>

#include "common/NumberFormat.h"

namespace tonarel {

float DeviationInHundredths(float measuredHz, float standardHz)
{
    const long double standard = standardHz;
    const long double deviation = (static_cast<long double>(measuredHz) - standard) * 100.0L / standard;
    // Converting an extended value beyond the float range is undefined in C++;
    // say explicitly what IEEE rounding would give.
    if (deviation > std::numeric_limits<float>::max()) {
        return std::numeric_limits<float>::infinity();
    }
    if (deviation < -std::numeric_limits<float>::max()) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(deviation);
}

const char* VerdictFor(float deviation)
{
    const double widened = deviation;
    if (widened > kCorrectBandUpper) {
        return kVerdictTooHigh;
    }
    if (widened >= kCorrectBandLower) {
        return kVerdictCorrect;
    }
    return kVerdictTooLow;
}

std::string FormatReadingLine(int32_t semitoneNumber, float deviation, const DecimalSeparator& decimalSeparator)
{
    std::string line = FormatGeneral(semitoneNumber, decimalSeparator);
    line += '.';
    line += VerdictFor(deviation);
    line += FormatTwoDecimals(deviation, decimalSeparator);
    line += "音分";
    return line;
}

}  // namespace tonarel
