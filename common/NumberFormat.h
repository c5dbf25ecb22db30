#pragma once
// How numbers become text in every label, list line and memo line.
//
// The digits never depend on the C library's locale (LC_NUMERIC), which the
// running program takes from the user's settings: only the decimal separator
// is the user's, and it is inserted as given.

#include <string>
#include <string_view>

namespace tonarel {

/// The decimal separator written into numbers, as UTF-8 text of one or more
/// bytes: "." and "," are one byte, the Arabic decimal separator "٫" (U+066B)
/// two. A single character converts implicitly (',' reads as ","); empty
/// text stands for ".".
class DecimalSeparator {
public:
    DecimalSeparator(char separator = '.') : text_(1, separator) {}
    DecimalSeparator(std::string_view utf8) : text_(utf8.empty() ? std::string_view(".") : utf8) {}
    DecimalSeparator(const char* utf8) : DecimalSeparator(std::string_view(utf8)) {}
    DecimalSeparator(const std::string& utf8) : DecimalSeparator(std::string_view(utf8)) {}

    const std::string& Text() const { return text_; }

    friend bool operator==(const DecimalSeparator&, const DecimalSeparator&) = default;

private:
    std::string text_;
};

/// The general number format: `value` rounded to 15 significant digits, ties
/// rounded half away from zero, decided on the exact binary value (a float
/// widened to long double keeps its binary digits: 261.6f reads
/// "261.600006103516").
/// No trailing zeros after the separator and no trailing separator; a leading
/// "-" for negative values; 0 (of either sign) is "0".
/// Magnitudes that round below 0.0001, and values of more than 15 integer
/// digits, are written in scientific form: one digit, the remaining significant
/// digits after the separator, "E" and the exponent without "+" or leading
/// zeros ("-6.93581250743591E-6"). Not-a-number reads "NAN",
/// infinities "INF" and "-INF".
std::string FormatGeneral(long double value, const DecimalSeparator& decimalSeparator = {});

/// The pattern "0.00": fixed point with two decimals, rounded half away from
/// zero on the exact binary value; a "-" only when the rounded value is not
/// zero (-0.004 reads "0.00").
std::string FormatTwoDecimals(long double value, const DecimalSeparator& decimalSeparator = {});

}  // namespace tonarel
