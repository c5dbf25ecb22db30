#include <gtest/gtest.h>

#include <limits>
#include <ostream>

#include "common/NumberFormat.h"

namespace {

using tonarel::FormatGeneral;
using tonarel::FormatTwoDecimals;

struct GeneralCase {
    long double value;
    const char* text;
    friend void PrintTo(const GeneralCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class GeneralFormat : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralFormat, ReadsAsExpected)
{
    EXPECT_EQ(FormatGeneral(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeneralFormat,
    ::testing::Values(
        // Integers and plain decimals lose trailing zeros and the separator.
        GeneralCase{0.0L, "0"}, GeneralCase{-0.0L, "0"}, GeneralCase{440.0L, "440"}, GeneralCase{-3.0L, "-3"},
        GeneralCase{0.5L, "0.5"}, GeneralCase{1.0L, "1"},
        // A widened float shows its binary digits.
        GeneralCase{261.6f, "261.600006103516"}, GeneralCase{880.0000610351562L, "880.000061035156"},
        GeneralCase{466.16375732421875L, "466.163757324219"},
        // A tie at the 16th digit rounds away from zero (printf's %g would round to even).
        GeneralCase{256.0001220703125L, "256.000122070313"}, GeneralCase{-256.0001220703125L, "-256.000122070313"},
        // The float nearest 0.1 keeps 15 digits.
        GeneralCase{0.1f, "0.100000001490116"},
        // Scientific form below 0.0001 and beyond 15 integer digits.
        GeneralCase{0.0005L, "0.0005"}, GeneralCase{0.0001L, "0.0001"}, GeneralCase{0.00005L, "5E-5"},
        GeneralCase{0.000015L, "1.5E-5"}, GeneralCase{-6.93581250743591e-6L, "-6.93581250743591E-6"},
        GeneralCase{999999999999999.0L, "999999999999999"}, GeneralCase{1e15L, "1E15"},
        GeneralCase{1234567890123456.0L, "1.23456789012346E15"},
        // Rounding that carries into a new digit moves the exponent.
        GeneralCase{9.9999999999999999L, "10"}, GeneralCase{0.000099999999999999999L, "0.0001"},
        GeneralCase{std::numeric_limits<long double>::quiet_NaN(), "NAN"},
        GeneralCase{-std::numeric_limits<long double>::infinity(), "-INF"}));

TEST(GeneralFormatSeparator, UsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(FormatGeneral(261.6f, ','), "261,600006103516");
    EXPECT_EQ(FormatGeneral(0.000015L, ','), "1,5E-5");
}

struct TwoDecimalCase {
    long double value;
    const char* text;
    friend void PrintTo(const TwoDecimalCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class TwoDecimalFormat : public ::testing::TestWithParam<TwoDecimalCase> {};

TEST_P(TwoDecimalFormat, ReadsAsExpected)
{
    EXPECT_EQ(FormatTwoDecimals(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TwoDecimalFormat,
    ::testing::Values(TwoDecimalCase{0.0L, "0.00"}, TwoDecimalCase{-0.4213f, "-0.42"}, TwoDecimalCase{0.1702f, "0.17"},
                      TwoDecimalCase{0.10000055f, "0.10"}, TwoDecimalCase{-0.1f, "-0.10"},
                      // Half away from zero on exact values; a negative value that rounds to zero has no sign.
                      TwoDecimalCase{0.125L, "0.13"}, TwoDecimalCase{-0.125L, "-0.13"}, TwoDecimalCase{-0.00390625L, "0.00"},
                      TwoDecimalCase{-0.0078125L, "-0.01"}, TwoDecimalCase{9.99609375L, "10.00"},
                      TwoDecimalCase{-10.0f, "-10.00"}, TwoDecimalCase{1234.5L, "1234.50"},
                      // The float nearest 0.005 lies below it.
                      TwoDecimalCase{0.005f, "0.00"}));

}  // namespace
