// tonarel-stretch as a user runs it: the built program on synthesised
// stiff-string notes of a dozen keys.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

#include "piano/AverageGrand.h"
#include "piano/StretchCurve.h"
#include "tools/tones/PartialTone.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/ToolRun.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::piano;
using namespace tonarel::test;
using namespace tonarel::tones;
using ::testing::HasSubstr;

ToolRun RunTool(const std::string& arguments)
{
    return tonarel::test::RunTool(TONAREL_STRETCH_PATH, arguments);
}

constexpr double kReferenceHz = 442.0;

// The key as the command line names it, in each of the accepted spellings.
const struct {
    int key;
    const char* name;
} kTakes[] = {{1, "A0"},   {9, "F1"},   {17, "C♯2"}, {25, "A2"}, {33, "F3"}, {41, "Db4"},
              {49, "49"},  {57, "F5"},  {65, "C#6"}, {73, "A6"}, {81, "F7"}, {88, "C8"}};

// Each key a second of a stiff string with the average grand's B,
// its first partial on the equal-tempered pitch, in quiet room noise.
std::string WriteTake(int key)
{
    const double b = AverageGrandInharmonicity(key);
    const double firstHz = tonarel::tuning::EqualTemperedHz(MidiOfKey(key), kReferenceHz);
    PartialTone tone;
    tone.inharmonicity = b;
    tone.f0Hz = firstHz / std::sqrt(1.0 + b);
    tone.amplitudes = FallingAmplitudes(std::min(30u, static_cast<uint32_t>(15000.0 / firstHz) + 2), 9000.0);
    tone.decaySeconds = 1.5;
    const std::vector<int16_t> note = Synthesise(tone, kToneSampleRate);
    const std::string file = "key" + std::to_string(key) + ".wav";
    WriteCaptureFile(file, Concatenate({Noise(kToneSampleRate / 4, 20, static_cast<uint32_t>(key)),
                                        Mix(note, Noise(static_cast<uint32_t>(note.size()), 20, 99))}));
    return file;
}

class StretchTool : public ::testing::Test {
protected:
    TemporaryDirectory directory;

    void SetUp() override { WriteCaptureFile("silence.wav", Silence(kToneSampleRate)); }
};

TEST_F(StretchTool, FitsTheKeysItHearsAndPrintsEveryKeysTarget)
{
    std::string takes;
    for (const auto& take : kTakes) {
        takes += std::string(" '") + take.name + "=" + WriteTake(take.key) + "'";
    }
    const ToolRun run = RunTool("--json --reference 442" + takes + " E4=silence.wav");
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "tonarel-stretch: \"silence.wav\"（E4）没有得到可信的读数，已略去\n");
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["reference"], kReferenceHz);
    EXPECT_EQ(json["curve"], "measured");
    const nlohmann::json& keys = json["keys"];
    ASSERT_EQ(keys.size(), 88u);

    const StretchCurve truth = AverageGrandStretchCurve();
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        const nlohmann::json& entry = keys[IndexOfKey(key)];
        EXPECT_EQ(entry["key"], key);
        EXPECT_EQ(entry["name"], tonarel::tuning::NoteName(MidiOfKey(key)));
        EXPECT_NEAR(entry["b"].get<double>() / AverageGrandInharmonicity(key), 1.0, 0.1) << key;
        EXPECT_NEAR(entry["target_cents"].get<double>(), truth.TargetCents(key), 1.0) << key;
        EXPECT_NEAR(entry["target_hz"].get<double>(), truth.TargetHz(key, kReferenceHz),
                    truth.TargetHz(key, kReferenceHz) * 1e-3) << key;
        const bool measured = std::any_of(std::begin(kTakes), std::end(kTakes),
                                          [key](const auto& take) { return take.key == key; });
        if (measured) {
            EXPECT_NEAR(entry["measured_cents"].get<double>(), 0.0, 0.1) << key;
        } else {
            EXPECT_TRUE(entry["measured_cents"].is_null()) << key;
        }
    }
    EXPECT_EQ(keys[48]["target_hz"], kReferenceHz);
}

TEST_F(StretchTool, PrintsATableAndSaysWhenTheCurveIsNotMeasured)
{
    const ToolRun run = RunTool("A4=" + WriteTake(49) + " C8=" + WriteTake(88));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_THAT(run.err, HasSubstr("注意：未测量"));
    EXPECT_THAT(run.out, HasSubstr("标准音 A4 = 440 赫兹；目标曲线：未测量，取一般三角钢琴的平均值\n"));
    EXPECT_THAT(run.out, HasSubstr("\n 2  A♯0   2.880e-04     -23.14      28.748          -\n"));
    EXPECT_THAT(run.out, HasSubstr("\n49  A4    5.012e-04      +0.00     440.000      +7.85\n"));
}

TEST_F(StretchTool, RefusesWhatItCannotDo)
{
    WriteTake(41);
    const struct {
        const char* arguments;
        int exitStatus;
        const char* message;
    } rows[] = {
        {"A4=silence.wav 5=missing.wav", 1, "没有一个录音得到读数"},
        {"A4=key41.wav", 1, "离 A4 超过一个半音"},
        {"", 2, "缺少要测量的录音"},
        {"key49.wav", 2, "须写成 键=文件"},
        {"H4=key49.wav", 2, "无法识别的键 \"H4\""},
        {"89=key49.wav", 2, "无法识别的键 \"89\""},
        {"C9=key49.wav", 2, "无法识别的键 \"C9\""},
        {"A4=key49.wav --reference 481", 2, "400 到 480 之间的数"},
        {"A4=key49.wav --reference=nan", 2, "400 到 480 之间的数"},
        {"A4=key49.wav --reference", 2, "缺少数值"},
        {"A4=key49.wav --loud", 2, "未知选项"},
    };
    for (const auto& row : rows) {
        const ToolRun run = RunTool(row.arguments);
        EXPECT_EQ(run.exitStatus, row.exitStatus) << row.arguments;
        EXPECT_THAT(run.err, HasSubstr(row.message)) << row.arguments;
    }
    const ToolRun help = RunTool("--help");
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_THAT(help.out, HasSubstr("用法：tonarel-stretch"));
}

}  // namespace
