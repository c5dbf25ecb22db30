// tonarel-analyze as a user runs it: the built program on generated files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"

namespace {

using namespace tonarel::test;
using ::testing::HasSubstr;

struct ToolRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const std::filesystem::path& file)
{
    const std::vector<uint8_t> bytes = ReadFileBytes(file);
    return std::string(bytes.begin(), bytes.end());
}

// Runs the tool in the current directory with `arguments` (no shell quoting
// needed for the names used here).
ToolRun RunTool(const std::string& arguments)
{
    const std::string command = std::string("'") + TONAREL_ANALYZE_PATH + "' " + arguments + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadText("out.txt");
    run.err = ReadText("err.txt");
    return run;
}

class AnalyzeTool : public ::testing::Test {
protected:
    TemporaryDirectory directory;
    void SetUp() override
    {
        WriteCaptureFile("whole.wav", Concatenate({Silence(26460), Sine(44100, 100.0, 10000.0), Silence(26460)}));
    }
};

TEST_F(AnalyzeTool, PrintsTheLabelsOfTheWholeRun)
{
    const ToolRun run = RunTool("whole.wav");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out,
              "音高（赫兹）：7.98714065551758\n"
              "信/噪比：20\n"
              "半音序号：120\n"
              "偏差(音分)：0\n");
}

TEST_F(AnalyzeTool, PrintsTheNumbersAndDiagnosticsAsJson)
{
    const ToolRun run = RunTool("--json whole.wav --segment-ms 500");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    for (const char* field : {R"("frequency_text": "438")", R"("snr_text": "20")", R"("semitone_text": "0")",
                              R"("deviation_text": "-0.454545468091965")", R"("frequency": 438,)",
                              R"("snr_used": 20,)", R"("byte_count": 44100,)", R"("semitone": 0,)",
                              R"("deviation": -0.45454547,)", R"("no_sound": false,)", R"("begin": 52970,)",
                              R"("end": 141312,)", R"("count": 219)"}) {
        EXPECT_THAT(run.out, HasSubstr(field));
    }
}

TEST_F(AnalyzeTool, PrintsTheFrequencySoThatItReadsBackToTheSameFloat)
{
    const ToolRun run = RunTool("whole.wav --json");
    const std::size_t at = run.out.find("\"frequency\": ");
    ASSERT_NE(at, std::string::npos) << run.out;
    const float printed = std::strtof(run.out.c_str() + at + 13, nullptr);
    EXPECT_EQ(printed, static_cast<float>(8.0L / 88342 * 88200));
    EXPECT_THAT(run.out, HasSubstr(R"("byte_count": 88342,)"));
    EXPECT_THAT(run.out, HasSubstr(R"("count": 8)"));
}

TEST_F(AnalyzeTool, ReportsNoSoundWithTheMetersMessages)
{
    WriteCaptureFile("silence.wav", Silence(44100));
    const ToolRun plain = RunTool("silence.wav");
    EXPECT_EQ(plain.exitStatus, 0);
    EXPECT_EQ(plain.out, "音高（赫兹）：没有声音输入!   \n信/噪比：太小了！\n");
    const ToolRun json = RunTool("silence.wav --json");
    EXPECT_THAT(json.out, HasSubstr(R"("frequency_text": "没有声音输入!   ",)"));
    EXPECT_THAT(json.out, HasSubstr(R"("semitone_text": null,)"));
    EXPECT_THAT(json.out, HasSubstr(R"("no_sound": true,)"));
    EXPECT_THAT(json.out, HasSubstr(R"("frequency": -1,)"));
}

struct FailureRow {
    const char* arguments;
    int exitStatus;
    const char* message;
};

void PrintTo(const FailureRow& row, std::ostream* out)
{
    *out << "arguments \"" << row.arguments << "\"";
}

class AnalyzeToolRefuses : public AnalyzeTool, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(AnalyzeToolRefuses, WithAMessageAndAnExitStatus)
{
    WriteCaptureFile("eight-bit.wav", Silence(1000), CaptureFileHeaderFields::WithBitsPerSample(8));
    const ToolRun run = RunTool(GetParam().arguments);
    EXPECT_EQ(run.exitStatus, GetParam().exitStatus);
    EXPECT_THAT(run.err, HasSubstr(GetParam().message));
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AnalyzeToolRefuses,
    ::testing::Values(FailureRow{"missing.wav", 1, "无法读取文件 \"missing.wav\""},
                      FailureRow{"eight-bit.wav", 1, "不是 16 位"},
                      FailureRow{"", 2, "缺少要分析的 WAV 文件"},
                      FailureRow{"whole.wav other.wav", 2, "只能分析一个文件"},
                      FailureRow{"whole.wav --snr 0", 2, "--snr 的值必须是 1 到 20 之间的整数"},
                      FailureRow{"whole.wav --snr=21", 2, "--snr 的值必须是 1 到 20"},
                      FailureRow{"whole.wav --divisor 1", 2, "--divisor 的值必须是 2 到 6"},
                      FailureRow{"whole.wav --segment-ms 9", 2, "--segment-ms 的值必须是 10 到 4000"},
                      FailureRow{"whole.wav --segment-ms 1e3", 2, "而不是 \"1e3\""},
                      FailureRow{"whole.wav --divisor", 2, "缺少数值"},
                      FailureRow{"whole.wav --fast", 2, "未知选项"}));

}  // namespace
