#include "tuner/core/ScalaScale.h"

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/TemporaryDirectory.h"

namespace tonarel::tuning {
namespace {

struct ValidFile {
    const char* what;
    std::string text;
    std::string description;
    std::vector<std::string> degreeTexts;
    std::vector<double> degreeCents;

    friend void PrintTo(const ValidFile& file, std::ostream* out) { *out << file.what; }
};

class ValidScalaFiles : public testing::TestWithParam<ValidFile> {};

TEST_P(ValidScalaFiles, ReadEveryDegree) {
    const auto parsed = ParseScala(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<ScalaScale>(parsed)) << std::get<ScalaError>(parsed).message;
    const ScalaScale& scale = std::get<ScalaScale>(parsed);
    EXPECT_EQ(scale.description, GetParam().description);
    EXPECT_EQ(scale.degreeTexts, GetParam().degreeTexts);
    ASSERT_EQ(scale.degreeCents.size(), GetParam().degreeCents.size());
    for (std::size_t k = 0; k < scale.degreeCents.size(); ++k) {
        EXPECT_NEAR(scale.degreeCents[k], GetParam().degreeCents[k], 0.0005) << "degree " << k + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ValidScalaFiles,
    testing::Values(
        ValidFile{"CommentsAnywhereAndEveryKindOfValue",
                  "! mixed.scl\n!\nMixed values\n 5 pitches\n! between degrees\n 9/8\n\t386.314 pure third\n"
                  "  ! indented comment\n3/2 fifth\n-5.\n 2\n",
                  "Mixed values",
                  {"9/8", "386.314", "3/2", "-5.", "2"},
                  {203.910, 386.314, 701.955, -5.0, 1200.0}},
        ValidFile{"CrLfLineEndsAndAByteOrderMark", "\xEF\xBB\xBF! crlf.scl\r\nWith CR\r\n2\r\n.5\r\n2/1\r\n", "With CR",
                  {".5", "2/1"}, {0.5, 1200.0}},
        ValidFile{"EmptyDescriptionAndNoFinalLineEnd", "!\n\n1\n2/1", "", {"2/1"}, {1200.0}},
        ValidFile{"LinesAfterTheLastDegreeIgnored", "d\n1\n2/1\nnot a pitch\n-3/2\n", "d", {"2/1"}, {1200.0}},
        ValidFile{"LargestNumbers", "d\n1\n2147483647/1073741824\n", "d", {"2147483647/1073741824"}, {1200.0}},
        ValidFile{"BohlenPierceTritave",
                  "! bohlen-pierce.scl\nBohlen-Pierce\n 13\n 27/25\n 25/21\n 9/7\n 7/5\n 75/49\n 5/3\n 9/5\n 49/25\n"
                  " 15/7\n 7/3\n 63/25\n 25/9\n 3/1\n",
                  "Bohlen-Pierce",
                  {"27/25", "25/21", "9/7", "7/5", "75/49", "5/3", "9/5", "49/25", "15/7", "7/3", "63/25", "25/9",
                   "3/1"},
                  {133.238, 301.847, 435.084, 582.512, 736.931, 884.359, 1017.596, 1165.024, 1319.443, 1466.871,
                   1600.108, 1768.717, 1901.955}}),
    [](const auto& info) { return std::string(info.param.what); });

struct BrokenFile {
    const char* what;
    std::string text;
    int line;
    std::string message;  // the whole message, "第 N 行：" included

    friend void PrintTo(const BrokenFile& file, std::ostream* out) { *out << file.what; }
};

class BrokenScalaFiles : public testing::TestWithParam<BrokenFile> {};

TEST_P(BrokenScalaFiles, NameTheLineAtFault) {
    const auto parsed = ParseScala(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<ScalaError>(parsed));
    EXPECT_EQ(std::get<ScalaError>(parsed).line, GetParam().line);
    EXPECT_EQ(std::get<ScalaError>(parsed).message, GetParam().message);
}

const std::string kNotAPitch = "不是音高数值（应为比值如 3/2、整数如 2，或带小数点的音分值如 701.955）";

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenScalaFiles,
    testing::Values(
        BrokenFile{"Empty", "", 1, "第 1 行：缺少描述行（文件已结束）"},
        BrokenFile{"OnlyComments", "! a\n! b\n", 3, "第 3 行：缺少描述行（文件已结束）"},
        BrokenFile{"NoCount", "d\n! c\n", 3, "第 3 行：缺少音数（文件已结束）"},
        BrokenFile{"CountNotANumber", "d\ntwelve\n", 2, "第 2 行：不是音数（应为正整数，即音阶每个周期的音高个数）"},
        BrokenFile{"NegativeCount", "d\n-3\n", 2, "第 2 行：不是音数（应为正整数，即音阶每个周期的音高个数）"},
        BrokenFile{"ZeroCount", "d\n0\n", 2, "第 2 行：音数为 0：音阶至少要有一个音高（最后一个是周期）"},
        BrokenFile{"CountTooLarge", "d\n2147483648\n", 2, "第 2 行：数值超过 2147483647"},
        BrokenFile{"DegreesMissingNamesTheCount", "! c\nd\n3\n9/8\n! c\n3/2\n", 3, "第 3 行：音数为 3，但只有 2 个音高"},
        BrokenFile{"AbsurdCountWithoutItsLines", "d\n2147483647\n3/2\n", 2, "第 2 行：音数为 2147483647，但只有 1 个音高"},
        BrokenFile{"WordInsteadOfPitch", "d\n3\n9/8\nfifth\n2/1\n", 4, "第 4 行：" + kNotAPitch},
        BrokenFile{"BlankPitchLineCountedWithCrLfAndComments", "!a\r\n!b\r\nd\r\n3\r\n!c\r\n3/2\r\n\r\n2/1\r\n", 7,
                   "第 7 行：" + kNotAPitch},
        BrokenFile{"RatioWithoutDenominator", "d\n1\n3/\n", 3, "第 3 行：" + kNotAPitch},
        BrokenFile{"LoneSign", "d\n1\n-\n", 3, "第 3 行：" + kNotAPitch},
        BrokenFile{"NegativeRatio", "d\n2\n-3/2\n2/1\n", 3, "第 3 行：比值必须大于零"},
        BrokenFile{"NegativeDenominator", "d\n2\n3/-2\n2/1\n", 3, "第 3 行：比值必须大于零"},
        BrokenFile{"ZeroNumerator", "d\n2\n0/5\n2/1\n", 3, "第 3 行：比值必须大于零"},
        BrokenFile{"ZeroDenominator", "d\n2\n3/0\n2/1\n", 3, "第 3 行：比值必须大于零"},
        BrokenFile{"NumeratorTooLarge", "d\n1\n2147483648/1\n", 3, "第 3 行：数值超过 2147483647"},
        BrokenFile{"CentsTooLarge", "d\n1\n99999999999.0\n", 3, "第 3 行：数值超过 2147483647"},
        BrokenFile{"PeriodNotAboveUnison", "d\n2\n3/2\n1/2\n", 4, "第 4 行：最后一个音高是周期，必须高于 1/1"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ScalaFiles, ReadFromDiskOrSayWhyNot) {
    const test::TemporaryDirectory folder(test::TemporaryDirectory::Enter::kNo);
    std::ofstream(folder / "fifth.scl", std::ios::binary) << "! fifth.scl\nFifths\n2\n3/2\n2/1\n";
    const auto read = ReadScalaFile(folder / "fifth.scl");
    ASSERT_TRUE(std::holds_alternative<ScalaScale>(read));
    EXPECT_EQ(std::get<ScalaScale>(read).degreeTexts, (std::vector<std::string>{"3/2", "2/1"}));

    const auto missing = ReadScalaFile(folder / "missing.scl");
    ASSERT_TRUE(std::holds_alternative<ScalaError>(missing));
    EXPECT_EQ(std::get<ScalaError>(missing).line, 0);
    EXPECT_EQ(std::get<ScalaError>(missing).message, "无法读取音阶文件：文件不存在");

    const auto folderItself = ReadScalaFile(folder.Path());
    ASSERT_TRUE(std::holds_alternative<ScalaError>(folderItself));
    EXPECT_EQ(std::get<ScalaError>(folderItself).line, 0);
}

}  // namespace
}  // namespace tonarel::tuning
