#include "common/NumberFormat.h"

#include <charconv>
#include <cmath>

namespace tonarel {
namespace {

// Enough digits to hold the exact decimal expansion of any long double that a
// tuning aid meets (a 64-bit mantissa scaled by a few hundred powers of two).
// The conversion rounds ties to even at the last printed digit, which lies far
// beyond every digit we keep, so the digits we round on are exact.
// std::to_chars writes them as the "C" locale would, whatever LC_NUMERIC the
// program runs under: the point is always '.', one byte.
constexpr int kExactDigits = 200;

// The exact expansion of `magnitude` in `format` ("d.ddd...e+x" or
// "iii.fff..."), written into `buffer`.
template <std::size_t N>
std::string_view ExactDigits(char (&buffer)[N], long double magnitude, std::chars_format format)
{
    const std::to_chars_result written = std::to_chars(buffer, buffer + N, magnitude, format, kExactDigits);
    return {buffer, static_cast<std::size_t>(written.ptr - buffer)};
}

std::string NonFinite(long double value)
{
    if (std::isnan(value)) {
        return "NAN";
    }
    return value < 0 ? "-INF" : "INF";
}

// Adds one unit in the last place of a string of decimal digits; returns true
// when the carry ran out of the leftmost digit ("999" becomes "000").
bool IncrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

}  // namespace

std::string FormatGeneral(long double value, const DecimalSeparator& decimalSeparator)
{
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    if (value == 0) {
        return "0";
    }
    constexpr int kSignificant = 15;

    // "d.dddd...e±x" with the exact expansion of the value.
    char buffer[kExactDigits + 32];
    const std::string_view text = ExactDigits(buffer, fabsl(value), std::chars_format::scientific);
    const std::size_t ePos = text.find('e');
    std::string mantissa = std::string(text.substr(0, 1)).append(text.substr(2, ePos - 2));  // digits without the point
    std::size_t exponentFrom = ePos + 1;
    if (text[exponentFrom] == '+') {
        ++exponentFrom;  // from_chars takes a '-' but no '+'
    }
    int exponent = 0;
    std::from_chars(text.data() + exponentFrom, text.data() + text.size(), exponent);

    // Round half away from zero at 15 significant digits: the digits are exact,
    // so the next digit alone decides (5 and above rounds the magnitude up).
    std::string digits = mantissa.substr(0, kSignificant);
    if (mantissa[kSignificant] >= '5' && IncrementDigits(digits)) {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++exponent;
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }

    std::string result = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= kSignificant) {
        result += digits[0];
        if (digits.size() > 1) {
            result += decimalSeparator.Text();
            result.append(digits, 1);
        }
        result += 'E';
        result += std::to_string(exponent);
    } else if (exponent < 0) {
        result += '0';
        result += decimalSeparator.Text();
        result.append(static_cast<std::size_t>(-exponent - 1), '0');
        result += digits;
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            result += digits;
            result.append(integerDigits - digits.size(), '0');
        } else {
            result.append(digits, 0, integerDigits);
            result += decimalSeparator.Text();
            result.append(digits, integerDigits);
        }
    }
    return result;
}

std::string FormatTwoDecimals(long double value, const DecimalSeparator& decimalSeparator)
{
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    // "iii.ffff..." with the exact expansion of the magnitude.
    char buffer[kExactDigits + 5000];
    const std::string_view text = ExactDigits(buffer, fabsl(value), std::chars_format::fixed);
    const std::size_t point = text.find('.');
    std::string digits = std::string(text.substr(0, point)).append(text.substr(point + 1, 2));
    if (text[point + 3] >= '5' && IncrementDigits(digits)) {
        digits.insert(digits.begin(), '1');
    }
    const bool roundsToZero = digits.find_first_not_of('0') == std::string::npos;
    std::string result = (value < 0 && !roundsToZero) ? "-" : "";
    result.append(digits, 0, digits.size() - 2);
    result += decimalSeparator.Text();
    result.append(digits, digits.size() - 2, 2);
    return result;
}

}  // namespace tonarel
