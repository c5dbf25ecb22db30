#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "temperament/ReadingVerdict.h"

namespace {

using namespace tonarel;

struct VerdictCase {
    float deviation;
    const char* verdict;
    friend void PrintTo(const VerdictCase& c, std::ostream* os) { *os << c.deviation; }
};

class VerdictBand : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictBand, JudgesTheFloatAgainstTheDoubleLimits)
{
    EXPECT_STREQ(VerdictFor(GetParam().deviation), GetParam().verdict);
}

// The limits are the doubles 0.1 and -0.1: the floats nearest them lie just
// outside the band, the next floats toward zero just inside.
INSTANTIATE_TEST_SUITE_P(
    Limits, VerdictBand,
    ::testing::Values(VerdictCase{0.1f, kVerdictTooHigh}, VerdictCase{std::nextafter(0.1f, 0.0f), kVerdictCorrect},
                      VerdictCase{-0.1f, kVerdictTooLow}, VerdictCase{std::nextafter(-0.1f, 0.0f), kVerdictCorrect},
                      VerdictCase{0.0f, kVerdictCorrect}, VerdictCase{-0.0f, kVerdictCorrect},
                      VerdictCase{5.9f, kVerdictTooHigh}, VerdictCase{-100.0f, kVerdictTooLow},
                      VerdictCase{std::numeric_limits<float>::quiet_NaN(), kVerdictTooLow}));

struct LineCase {
    int32_t semitoneNumber;
    float deviation;
    char separator;
    const char* line;
    friend void PrintTo(const LineCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }
};

class ReadingLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ReadingLine, ReadsAsTheListShowsIt)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(FormatReadingLine(c.semitoneNumber, c.deviation, c.separator), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadingLine,
    ::testing::Values(LineCase{0, 0.0f, '.', "0.音高正确！0.00音分"},
                      LineCase{7, -0.4213f, '.', "7.音高偏低！-0.42音分"},
                      LineCase{-3, 0.1702f, '.', "-3.音高偏高！0.17音分"},
                      LineCase{0, 0x1.999a2ep-4f, '.', "0.音高偏高！0.10音分"},
                      LineCase{0, -0x1.999a2ep-4f, '.', "0.音高偏低！-0.10音分"},
                      // Inside the band and rounding to zero: no minus sign.
                      LineCase{12, -0.004f, '.', "12.音高正确！0.00音分"},
                      LineCase{-59, -10.0f, '.', "-59.音高偏低！-10.00音分"},
                      // The user's separator goes inside the deviation only;
                      // the dot after the number belongs to the line.
                      LineCase{7, -0.4213f, ',', "7.音高偏低！-0,42音分"}));

}  // namespace
