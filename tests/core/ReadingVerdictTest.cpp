#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "temperament/core/ReadingVerdict.h"

namespace {

using namespace tonarel;

struct LineCase {
    int32_t semitoneNumber;
    float deviation;
    char separator;
    const char* line;
    friend void PrintTo(const LineCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }
};

class ReadingLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ReadingLine, ShowsNumberVerdictAndDeviation)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(FormatReadingLine(c.semitoneNumber, c.deviation, c.separator), c.line);
}

// The band's limits are the doubles ±0.1: the floats nearest them lie just
// outside it, the next floats toward zero just inside.
INSTANTIATE_TEST_SUITE_P(
    Lines, ReadingLine,
    ::testing::Values(LineCase{0, 0.1f, '.', "0.音高偏高！0.10音分"},
                      LineCase{0, std::nextafter(0.1f, 0.0f), '.', "0.音高正确！0.10音分"},
                      LineCase{0, -0.1f, '.', "0.音高偏低！-0.10音分"},
                      LineCase{0, std::nextafter(-0.1f, 0.0f), '.', "0.音高正确！-0.10音分"},
                      LineCase{7, -0.4213f, '.', "7.音高偏低！-0.42音分"},
                      LineCase{-3, 0.1702f, '.', "-3.音高偏高！0.17音分"},
                      LineCase{12, -0.004f, '.', "12.音高正确！0.00音分"},  // no "-0.00"
                      LineCase{-59, -10.0f, '.', "-59.音高偏低！-10.00音分"},
                      // A slot read from a file may hold anything.
                      LineCase{1, std::numeric_limits<float>::quiet_NaN(), '.', "1.音高偏低！NAN音分"},
                      // The dot after the number belongs to the line.
                      LineCase{7, -0.4213f, ',', "7.音高偏低！-0,42音分"}));

}  // namespace
