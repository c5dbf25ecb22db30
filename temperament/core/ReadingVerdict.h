#pragma once
// How one reading is judged against its standard frequency, and the list line
// that shows the judgement.

#include <cstdint>
#include <string>

#include "common/NumberFormat.h"

namespace tonarel {

/// The band of a correct pitch, in hundredths of the standard frequency. Held
/// as doubles on purpose: the float nearest 0.1 (0.100000001490116) lies above
/// the double 0.1 and so counts as too high; the float nearest -0.1 as too low.
inline constexpr double kCorrectBandUpper = 0.1;
inline constexpr double kCorrectBandLower = -0.1;

inline constexpr const char* kVerdictTooHigh = "音高偏高！";
inline constexpr const char* kVerdictCorrect = "音高正确！";
inline constexpr const char* kVerdictTooLow = "音高偏低！";

/// The deviation of `measuredHz` from `standardHz` in hundredths of the
/// standard frequency: 100 x (measured - standard) / standard, a linear ratio
/// and not a logarithmic cent (one equal-tempered semitone is about 5.95).
/// Formed in extended precision and rounded to float once, at the end.
/// `standardHz` must be a positive normal float (the standard table
/// guarantees it); a deviation beyond the float range reads as +-infinity.
float DeviationInHundredths(float measuredHz, float standardHz);

/// "音高偏高！" above 0.1, "音高正确！" from -0.1 up to 0.1 inclusive,
/// "音高偏低！" below -0.1 (and for not-a-number). UTF-8, static storage.
const char* VerdictFor(float deviation);

/// The list line of one entry: the semitone number in the general number
/// format, ".", the verdict, the deviation with two decimals and "音分", with
/// no blanks: (7, -0.4213f) gives "7.音高偏低！-0.42音分". The "." after the
/// number is part of the line; `decimalSeparator` is used only inside the
/// deviation. UTF-8.
std::string FormatReadingLine(int32_t semitoneNumber, float deviation,
                              const DecimalSeparator& decimalSeparator = {});

}  // namespace tonarel
