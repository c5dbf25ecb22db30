// tonarel-analyze as a user runs it: the built program on generated files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "tools/tones/PartialTone.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/ToolRun.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;
using ::testing::HasSubstr;

ToolRun RunTool(const std::string& arguments)
{
    return tonarel::test::RunTool(TONAREL_ANALYZE_PATH, arguments);
}

class AnalyzeTool : public ::testing::Test {
protected:
    TemporaryDirectory directory;
    void SetUp() override
    {
        WriteCaptureFile("whole.wav", ToneBetweenSilences());
        WriteCaptureFile("silence.wav", Silence(44100));
        WriteCaptureFile("eight-bit.wav", Silence(1000), CaptureFileHeaderFields::WithBitsPerSample(8));
        std::ofstream("short.wav") << std::string(43, 'x');
        WriteCaptureFile("rate-zero.wav", ToneBetweenSilences(), CaptureFileHeaderFields::WithByteRate(0));
        ASSERT_EQ(mkfifo("pipe.wav", 0600), 0);
        std::ofstream("not-a-number.scl") << "! bad\r\nbad\r\n 3\r\n 3/2\r\n fifth\r\n 2/1\r\n";
        std::ofstream("missing-degrees.scl") << "missing\n 12\n 3/2\n 2/1\n";
    }
};

TEST_F(AnalyzeTool, PrintsTheLabelsWithTheOptionsGiven)
{
    ToolRun run = RunTool("whole.wav --segment-ms 500 --snr=12 --divisor 3");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "音高（赫兹）：438\n信/噪比：12\n半音序号：0\n偏差(音分)：-0.454545468091965\n");
    run = RunTool("silence.wav");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "音高（赫兹）：没有声音输入!   \n信/噪比：太小了！\n");
}

// The frequency is printed so that it reads back to the float the meter keeps.
TEST_F(AnalyzeTool, PrintsTheNumbersAndDiagnosticsAsJson)
{
    ToolRun run = RunTool("--json whole.wav");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    for (const char* field : {R"("frequency_text": "7.98714065551758",)", R"("snr_text": "20",)",
                              R"("semitone_text": "120",)", R"("deviation_text": "0",)", R"("snr_used": 20,)",
                              R"("byte_count": 88342,)", R"("no_sound": false,)", R"("begin": 52970,)",
                              R"("end": 141312,)", R"("count": 8)"}) {
        EXPECT_THAT(run.out, HasSubstr(field));
    }
    const std::size_t at = run.out.find("\"frequency\": ");
    ASSERT_NE(at, std::string::npos) << run.out;
    EXPECT_EQ(std::strtof(run.out.c_str() + at + 13, nullptr), static_cast<float>(8.0L / 88342 * 88200));
    run = RunTool("silence.wav --json");
    EXPECT_THAT(run.out, HasSubstr(R"("semitone_text": null,)"));
    EXPECT_THAT(run.out, HasSubstr(R"("no_sound": true,)"));
}

// Exit status 1 for a file it cannot analyse, 2 for a command line it cannot obey.
// A named pipe is refused before an open that would wait for a writer. Names
// and arguments with control characters or bytes that are not UTF-8 are
// echoed in the shell's $'...' form, never raw to the terminal.
TEST_F(AnalyzeTool, RefusesWithAMessageAndANonZeroExitStatus)
{
    struct Row {
        const char* arguments;
        int exitStatus;
        const char* message;
    };
    for (const Row row : {Row{"missing.wav", 1, "无法读取文件 \"missing.wav\""}, Row{".", 1, "无法读取文件 \".\""},
                          Row{"short.wav", 1, "不足 44 字节"}, Row{"eight-bit.wav", 1, "不是 16 位"},
                          Row{"", 2, "缺少要分析的 WAV 文件"}, Row{"whole.wav other.wav", 2, "只能分析一个文件"},
                          Row{"whole.wav --snr 0", 2, "--snr 的值必须是 1 到 20 之间的整数"},
                          Row{"whole.wav --snr=21", 2, "--snr 的值必须是 1 到 20"},
                          Row{"whole.wav --divisor 1", 2, "--divisor 的值必须是 2 到 6"},
                          Row{"whole.wav --segment-ms 9", 2, "--segment-ms 的值必须是 10 到 4000"},
                          Row{"whole.wav --segment-ms 1e3", 2, "而不是 \"1e3\""},
                          Row{"whole.wav --divisor", 2, "缺少数值"}, Row{"whole.wav --fast", 2, "未知选项"},
                          Row{"pipe.wav", 1, "\"pipe.wav\" 不是普通文件"},
                          Row{"rate-zero.wav", 1, "\"rate-zero.wav\" 的字节率不是正数（ByteRate = 0）"},
                          Row{"'乐音.wav'", 1, "无法读取文件 \"乐音.wav\""},
                          Row{"'red\x1b[31m.wav'", 1, "无法读取文件 $'red\\e[31m.wav'"},
                          Row{"'bad\xff\xfe.wav'", 1, "无法读取文件 $'bad\\xFF\\xFE.wav'"},
                          Row{"'csi\xc2\x9b" "2J'\\''s.wav'", 1, "无法读取文件 $'csi\\u009B2J\\'s.wav'"},
                          Row{"'\xe2\x80\xaevaw.exe'", 1, "无法读取文件 $'\\u202Evaw.exe'"},
                          Row{"whole.wav 'bell\x07'", 2, "多余的参数：$'bell\\x07'"},
                          Row{"'--sn\x1b'", 2, "未知选项：$'--sn\\e'"},
                          Row{"whole.wav '--snr=1\x1b'", 2, "而不是 $'1\\e'"},
                          Row{"whole.wav --track --reference 399.99", 2,
                              "--reference 的值必须是 400 到 480 之间的数（赫兹），而不是 \"399.99\""},
                          Row{"whole.wav --reference=4.4e2", 2, "而不是 \"4.4e2\""},
                          Row{"whole.wav --temperament Equal", 2, "--temperament 的值必须是 equal、pythagorean、"},
                          Row{"whole.wav --tonic H", 2, "--tonic 的值必须是 C、C♯、D"},
                          Row{"whole.wav --tonic", 2, "选项 --tonic 缺少数值"},
                          Row{"whole.wav --temperament just --scala not-a-number.scl", 2, "只能用一个"},
                          Row{"whole.wav --track --scala not-a-number.scl", 2,
                              "音阶文件 \"not-a-number.scl\" 第 5 行："},
                          Row{"whole.wav --scala missing-degrees.scl", 2, "\"missing-degrees.scl\" 第 2 行："},
                          Row{"missing.wav --scala none.scl", 2, "无法读取音阶文件 \"none.scl\"：文件不存在"}}) {
        const ToolRun run = RunTool(row.arguments);
        EXPECT_EQ(run.exitStatus, row.exitStatus) << row.arguments;
        EXPECT_THAT(run.err, HasSubstr(row.message)) << row.arguments;
        EXPECT_EQ(run.err.find_first_of("\x07\x1b"), std::string::npos) << row.arguments;
        EXPECT_EQ(run.out, "") << row.arguments;
    }
}

// --precise: the same labels and keys, the frequency from the precise
// reading, and its diagnostics in the JSON object.
TEST_F(AnalyzeTool, TakesTheFrequencyFromThePreciseReading)
{
    ToolRun run = RunTool("whole.wav --precise");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    // A steady 441 Hz reads as the float 441 exactly.
    EXPECT_EQ(run.out, "音高（赫兹）：441\n信/噪比：20\n半音序号：0\n偏差(音分)：0.227272734045982\n");
    run = RunTool("whole.wav --precise --json");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    for (const char* field : {R"("snr_text": "20",)", R"("semitone_text": "0",)", R"("no_sound": false,)",
                              R"("count": 8,)", R"("frequency_text": "441",)",
                              R"("precise": {"found": true, "first_partial_hz": 441.0)", R"("begin": 61044, "end": 141312)",
                              R"("inharmonicity": 0, "partials": )"}) {
        EXPECT_THAT(run.out, HasSubstr(field));
    }
    run = RunTool("silence.wav --precise --json");
    EXPECT_THAT(run.out, HasSubstr(R"("no_sound": true,)"));
    EXPECT_THAT(run.out, ::testing::Not(HasSubstr("precise")));
    EXPECT_THAT(RunTool("whole.wav --json").out, ::testing::Not(HasSubstr("precise")));
}

// The tuning options name the precise reading's note; without them the
// object keeps its fields. --version answers before anything else.
TEST_F(AnalyzeTool, NamesThePreciseReadingInTheTuningSystemChosen)
{
    ToolRun run = RunTool("whole.wav --precise --json --reference 441");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr(R"(, "note": "A4", "target": 441, "cents": )"));
    const std::size_t at = run.out.find("\"cents\": ");
    ASSERT_NE(at, std::string::npos) << run.out;
    EXPECT_NEAR(std::strtod(run.out.c_str() + at + 9, nullptr), 0.0, 0.05) << run.out;
    EXPECT_THAT(RunTool("whole.wav --precise --json").out, ::testing::Not(HasSubstr("\"note\"")));

    run = RunTool("--version whole.wav --fast");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, "tonarel-analyze " TONAREL_VERSION "\n");
}

// --precise reads a file as it is: the same A4 at another rate, in two
// channels, with 24-bit samples or in FLAC reads 440 Hz, where the standard
// reading, which takes every file for 44 100 Hz mono 16-bit, warns and keeps
// its figures and exit status. A file that is no sound file is refused either way.
TEST_F(AnalyzeTool, ReadsOtherFormatsWithPreciseAndWarnsWithout)
{
    const PartialTone tone{440.0, 0.0, FallingAmplitudes(8, 9000.0)};
    WriteCaptureFile("a4.wav", Concatenate({Noise(22050, 20, 2), Mix(Synthesise(tone, 88200), Noise(88200, 20, 3)),
                                            Noise(22050, 20, 4)}));
    struct Row {
        const char* file;
        const char* soxOutput;
        int standardExitStatus;
    };
    for (const Row& row : {Row{"22050.wav", "-r 22050 22050.wav", 0}, Row{"stereo.wav", "-c 2 stereo.wav", 0},
                           Row{"48000.wav", "-r 48000 48000.wav", 0}, Row{"24-bit.wav", "-b 24 24-bit.wav", 1},
                           Row{"a4.flac", "a4.flac", 1}}) {
        ASSERT_EQ(std::system(("sox a4.wav " + std::string(row.soxOutput)).c_str()), 0) << "sox is needed";
        ToolRun run = RunTool(std::string(row.file) + " --precise");
        EXPECT_EQ(run.exitStatus, 0) << row.file << ": " << run.err;
        EXPECT_EQ(run.err, "") << row.file;
        const std::string caption = "音高（赫兹）：";
        ASSERT_EQ(run.out.rfind(caption, 0), 0u) << row.file << ": " << run.out;
        const double hz = std::strtod(run.out.c_str() + caption.size(), nullptr);
        EXPECT_NEAR(1200.0 * std::log2(hz / 440.0), 0.0, 1.0) << row.file << ": " << hz << " Hz";

        run = RunTool(row.file);
        EXPECT_EQ(run.exitStatus, row.standardExitStatus) << row.file;
        EXPECT_THAT(run.err, HasSubstr("警告：\"" + std::string(row.file) + "\" 是 ")) << row.file;
    }
    EXPECT_EQ(RunTool("a4.wav").err, "");

    std::ofstream("notes.txt") << "A4 440 Hz, C5 523.25 Hz: a text file longer than a wave header, not a sound.\n";
    for (const char* arguments : {"notes.txt", "notes.txt --precise"}) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.exitStatus, 1) << arguments;
        EXPECT_THAT(run.err, HasSubstr("\"notes.txt\" 不是声音文件")) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
    }
}

}  // namespace
