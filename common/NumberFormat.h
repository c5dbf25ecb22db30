#pragma once
// How numbers become text in every label, list line and memo line.

#include <string>

namespace tonarel {

/// The general number format: `value` rounded to 15 significant digits, ties
/// rounded half away from zero, decided on the exact binary value (a float
/// widened to long double keeps its binary digits: 261.6f reads
/// "261.600006103516", 256.0001220703125 reads "256.000122070313").
/// No trailing zeros after the separator and no trailing separator; a leading
/// "-" for negative values; 0 (of either sign) is "0".
/// Magnitudes that round below 0.0001, and values of more than 15 integer
/// digits, are written in scientific form: one digit, the remaining significant
/// digits after the separator, "E" and the exponent without "+" or leading
/// zeros ("5E-5", "-6.93581250743591E-6", "1E15"). Not-a-number reads "NAN",
/// infinities "INF" and "-INF".
std::string FormatGeneral(long double value, char decimalSeparator = '.');

/// The pattern "0.00": fixed point with two decimals, rounded half away from
/// zero on the exact binary value; a "-" only when the rounded value is not
/// zero ("-0.004" reads "0.00", -0.42f reads "-0.42").
std::string FormatTwoDecimals(long double value, char decimalSeparator = '.');

}  // namespace tonarel
