// Both number formats against a reference conversion, and parsed back.
//
// Input: byte 0 the kind of number (bits 0-1): a float from bytes 2-5, a
// double from bytes 2-9, a long double from bytes 2-11 (64-bit significand,
// then sign and exponent; the explicit leading bit is set to match the
// exponent, as every value the processor computes has it), or a 32-bit
// integer from bytes 2-5 (a semitone number). Byte 1 chooses the decimal
// separator (bits 0-1): ".", ",", the Arabic "٫" or "·". Missing bytes are 0.
//
// The reference formats the exact decimal expansion that the C library's
// printf gives under an explicit "C" locale, so it shares neither the
// conversion routine nor any dependence on LC_NUMERIC with the program.

#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/NumberFormat.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/Utf8.h"

namespace tonarel::fuzz {
namespace {

constexpr std::string_view kSeparators[] = {".", ",", "\u066B", "\u00B7"};
constexpr int kSignificant = 15;

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

// printf under the "C" locale whatever the process's own locale is.
std::string PrintInC(const char* format, long double magnitude)
{
    // Room for the 4933 integer digits of the largest long double and 200 more.
    char text[5300];
    const locale_t previous = uselocale(CLocale());
    const int length = std::snprintf(text, sizeof text, format, magnitude);
    uselocale(previous);
    FUZZ_CHECK(length > 0 && static_cast<std::size_t>(length) < sizeof text);
    return text;
}

// Adds one in the last place of a digit string; true when it carried out of it.
bool CarryUp(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it < '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

std::string ReferenceGeneral(long double value, std::string_view separator)
{
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0) {
        return "0";
    }
    // 200 digits after the first decide every rounding at the 15th exactly.
    const std::string exact = PrintInC("%.200Le", std::fabs(value));
    const std::size_t e = exact.find('e');
    const std::string all = exact.substr(0, 1) + exact.substr(2, e - 2);
    int exponent = std::atoi(exact.c_str() + e + 1);
    std::string digits = all.substr(0, kSignificant);
    if (all[kSignificant] >= '5' && CarryUp(digits)) {
        digits = "1" + digits.substr(0, kSignificant - 1);
        ++exponent;
    }
    digits.erase(digits.find_last_not_of('0') + 1);

    std::string text = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= kSignificant) {
        text += digits.substr(0, 1);
        if (digits.size() > 1) {
            text.append(separator).append(digits.substr(1));
        }
        return text + "E" + std::to_string(exponent);
    }
    if (exponent < 0) {
        return text.append("0").append(separator).append(std::string(static_cast<std::size_t>(-exponent - 1), '0')) +
               digits;
    }
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    digits.resize(std::max(digits.size(), whole), '0');
    text += digits.substr(0, whole);
    if (digits.size() > whole) {
        text.append(separator).append(digits.substr(whole));
    }
    return text;
}

std::string ReferenceTwoDecimals(long double value, std::string_view separator)
{
    if (!std::isfinite(value)) {
        return ReferenceGeneral(value, separator);
    }
    const std::string exact = PrintInC("%.200Lf", std::fabs(value));
    const std::size_t point = exact.find('.');
    std::string digits = exact.substr(0, point) + exact.substr(point + 1, 2);
    if (exact[point + 3] >= '5' && CarryUp(digits)) {
        digits = "1" + digits;
    }
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string text = value < 0 && !zero ? "-" : "";
    text += digits.substr(0, digits.size() - 2);
    return text.append(separator).append(digits.substr(digits.size() - 2));
}

// The text with its separator turned back into ".", read as the "C" locale
// reads it; the whole text must be a number.
long double ParseBack(const std::string& text, std::string_view separator)
{
    std::string plain = text;
    const std::size_t at = plain.find(separator);
    if (at != std::string::npos) {
        FUZZ_CHECK(plain.find(separator, at + separator.size()) == std::string::npos);
        plain.replace(at, separator.size(), ".");
    }
    char* end = nullptr;
    const long double parsed = strtold_l(plain.c_str(), &end, CLocale());
    FUZZ_CHECK(end == plain.c_str() + plain.size());
    return parsed;
}

void CheckGeneral(long double value, std::string_view separator)
{
    const std::string text = FormatGeneral(value, DecimalSeparator(separator));
    FUZZ_CHECK(text == ReferenceGeneral(value, separator));
    FUZZ_CHECK(IsValidUtf8(text));
    if (!std::isfinite(value) || value == 0) {
        return;
    }
    // Fifteen significant digits are within half a unit of the 15th digit,
    // 5E-15 of the value at most; reading them back adds up to half a unit
    // in the last place of a long double.
    const long double parsed = ParseBack(text, separator);
    FUZZ_CHECK(std::signbit(parsed) == std::signbit(value));
    const long double relative = std::fabs((parsed - value) / value);
    FUZZ_CHECK(!(relative > 5e-15L + 0x1p-63L));
    // No trailing zero after the separator, and the scientific form only
    // below 0.0001 and from 1E15 on.
    const std::size_t e = text.find('E');
    const std::string mantissa = text.substr(0, e);
    if (mantissa.find(separator) != std::string::npos) {
        FUZZ_CHECK(mantissa.back() != '0' && !mantissa.ends_with(separator));
    }
    if (e != std::string::npos) {
        FUZZ_CHECK(std::fabs(parsed) < 0.0001L || std::fabs(parsed) >= 1e15L);
    } else {
        FUZZ_CHECK(std::fabs(parsed) >= 0.0001L && std::fabs(parsed) < 1e15L);
    }
}

void CheckTwoDecimals(long double value, std::string_view separator)
{
    const std::string text = FormatTwoDecimals(value, DecimalSeparator(separator));
    FUZZ_CHECK(text == ReferenceTwoDecimals(value, separator));
    FUZZ_CHECK(IsValidUtf8(text));
    if (!std::isfinite(value)) {
        return;
    }
    // Two decimals behind the separator, within half a hundredth of the
    // value, and a "-" only on a value that does not round to zero.
    const std::size_t at = text.rfind(separator);
    FUZZ_CHECK(at != std::string::npos && text.size() == at + separator.size() + 2);
    const long double parsed = ParseBack(text, separator);
    FUZZ_CHECK(!(std::fabs(parsed - value) > 0.005L + std::fabs(value) * 0x1p-60L));
    FUZZ_CHECK(text.starts_with("-") == (value < 0 && parsed != 0));
}

}  // namespace

void FuzzNumberFormat(const uint8_t* data, std::size_t size)
{
    // The program runs under the locale its environment names (the window
    // toolkit sets it at start); so does this harness, and `make fuzz` names
    // one whose decimal point is two bytes.
    static const bool inEnvironmentLocale = setlocale(LC_ALL, "") != nullptr;
    static_cast<void>(inEnvironmentLocale);
    uint8_t input[12] = {};
    if (size > 0) {
        std::memcpy(input, data, std::min(size, sizeof input));
    }
    const std::string_view separator = kSeparators[input[1] & 3u];

    long double value = 0;
    switch (input[0] & 3u) {
    case 0: {
        float single = 0;
        std::memcpy(&single, input + 2, sizeof single);
        value = single;
        break;
    }
    case 1: {
        double twice = 0;
        std::memcpy(&twice, input + 2, sizeof twice);
        value = twice;
        break;
    }
    case 2: {
        // The x87 format: the significand's top bit is set exactly when the
        // exponent is not 0; other patterns are invalid operands.
        uint64_t significand = 0;
        uint16_t signAndExponent = 0;
        std::memcpy(&significand, input + 2, 8);
        std::memcpy(&signAndExponent, input + 10, 2);
        const uint64_t top = uint64_t{1} << 63;
        significand = (signAndExponent & 0x7FFFu) != 0 ? significand | top : significand & ~top;
        std::memcpy(&value, &significand, 8);
        std::memcpy(reinterpret_cast<char*>(&value) + 8, &signAndExponent, 2);
        break;
    }
    default: {
        int32_t whole = 0;
        std::memcpy(&whole, input + 2, sizeof whole);
        FUZZ_CHECK(FormatGeneral(whole, DecimalSeparator(separator)) == std::to_string(whole));
        value = whole;
        break;
    }
    }
    CheckGeneral(value, separator);
    CheckTwoDecimals(value, separator);
}

}  // namespace tonarel::fuzz
