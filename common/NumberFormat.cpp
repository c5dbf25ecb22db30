#include "common/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tonarel {
namespace {

// Enough digits to hold the exact decimal expansion of any long double that a
// tuning aid meets (a 64-bit mantissa scaled by a few hundred powers of two).
// printf rounds ties to even at the last printed digit, which lies far beyond
// every digit we keep, so the digits we round on are exact.
constexpr int kExactDigits = 200;

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

std::string FormatGeneral(long double value, char decimalSeparator)
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
    std::snprintf(buffer, sizeof buffer, "%.*Le", kExactDigits, fabsl(value));
    const std::string text(buffer);
    const std::size_t ePos = text.find('e');
    std::string mantissa = text.substr(0, 1) + text.substr(2, ePos - 2);  // digits without the point
    int exponent = std::atoi(text.c_str() + ePos + 1);

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
            result += decimalSeparator;
            result.append(digits, 1);
        }
        result += 'E';
        result += std::to_string(exponent);
    } else if (exponent < 0) {
        result += '0';
        result += decimalSeparator;
        result.append(static_cast<std::size_t>(-exponent - 1), '0');
        result += digits;
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            result += digits;
            result.append(integerDigits - digits.size(), '0');
        } else {
            result.append(digits, 0, integerDigits);
            result += decimalSeparator;
            result.append(digits, integerDigits);
        }
    }
    return result;
}

std::string FormatTwoDecimals(long double value, char decimalSeparator)
{
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    // "iii.ffff..." with the exact expansion of the magnitude.
    char buffer[kExactDigits + 5000];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", kExactDigits, fabsl(value));
    const std::string text(buffer);
    const std::size_t point = text.find('.');
    std::string digits = text.substr(0, point) + text.substr(point + 1, 2);
    if (text[point + 3] >= '5' && IncrementDigits(digits)) {
        digits.insert(digits.begin(), '1');
    }
    const bool roundsToZero = digits.find_first_not_of('0') == std::string::npos;
    std::string result = (value < 0 && !roundsToZero) ? "-" : "";
    result.append(digits, 0, digits.size() - 2);
    result += decimalSeparator;
    result.append(digits, digits.size() - 2, 2);
    return result;
}

}  // namespace tonarel
