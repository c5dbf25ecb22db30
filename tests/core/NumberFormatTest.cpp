#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>

#include "common/NumberFormat.h"

namespace {

constexpr auto* General = &tonarel::FormatGeneral;
constexpr auto* TwoDecimals = &tonarel::FormatTwoDecimals;

struct FormatCase {
    std::string (*format)(long double, const tonarel::DecimalSeparator&);
    long double value;
    const char* text;
    char separator = '.';
    friend void PrintTo(const FormatCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }
};

class NumberFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormat, ReadsAsExpected)
{
    EXPECT_EQ(GetParam().format(GetParam().value, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    GeneralFormat, NumberFormat,
    ::testing::Values(
        FormatCase{General, -0.0L, "0"}, FormatCase{General, 440.0L, "440"}, FormatCase{General, 0.5L, "0.5"},
        // A widened float shows its binary digits.
        FormatCase{General, 261.6f, "261.600006103516"}, FormatCase{General, 261.6f, "261,600006103516", ','},
        FormatCase{General, 0.1f, "0.100000001490116"},
        // A tie at the 16th digit rounds away from zero (printf's %g would round to even).
        FormatCase{General, 256.0001220703125L, "256.000122070313"},
        FormatCase{General, -256.0001220703125L, "-256.000122070313"},
        // Scientific form below 0.0001 and beyond 15 integer digits.
        FormatCase{General, 0.0001L, "0.0001"}, FormatCase{General, 0.00005L, "5E-5"},
        FormatCase{General, 0.000015L, "1,5E-5", ','},
        FormatCase{General, -6.93581250743591e-6L, "-6.93581250743591E-6"},
        FormatCase{General, 999999999999999.0L, "999999999999999"}, FormatCase{General, 1e15L, "1E15"},
        FormatCase{General, 1234567890123456.0L, "1.23456789012346E15"},
        // Rounding that carries into a new digit moves the exponent, and with it the form.
        FormatCase{General, 9.9999999999999999L, "10"}, FormatCase{General, 0.000099999999999999999L, "0.0001"},
        FormatCase{General, -std::numeric_limits<long double>::infinity(), "-INF"}));

INSTANTIATE_TEST_SUITE_P(
    TwoDecimalFormat, NumberFormat,
    ::testing::Values(FormatCase{TwoDecimals, -0.4213f, "-0.42"}, FormatCase{TwoDecimals, 1234.5L, "1234.50"},
                      FormatCase{TwoDecimals, 0.1702f, "0,17", ','},
                      // Half away from zero on exact values; a value that rounds to zero has no sign.
                      FormatCase{TwoDecimals, 0.125L, "0.13"}, FormatCase{TwoDecimals, -0.125L, "-0.13"},
                      FormatCase{TwoDecimals, -0.00390625L, "0.00"}, FormatCase{TwoDecimals, -0.0078125L, "-0.01"},
                      FormatCase{TwoDecimals, 9.99609375L, "10.00"},
                      FormatCase{TwoDecimals, 0.005f, "0.00"}));  // the float nearest 0.005 lies below it

}  // namespace
