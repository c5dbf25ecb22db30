// tonarel-analyze --track as a user runs it: one JSON line per reading.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/tones/PartialTone.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/ToolRun.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<std::string> TrackLines(const std::string& file, int& exitStatus, const std::string& options = "")
{
    const ToolRun run = RunTool(TONAREL_ANALYZE_PATH, "--track " + file + " " + options);
    exitStatus = run.exitStatus;
    std::istringstream text(run.out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Half a second of silence, then a second of 442 Hz: A4, 7.85 cents sharp.
TEST(AnalyzeTrack, PrintsOneReadingPerLineWithNoteAndCents)
{
    const TemporaryDirectory directory;
    PartialTone tone;
    tone.f0Hz = 442.0;
    tone.amplitudes = FallingAmplitudes(5, 8000.0);
    WriteCaptureFile("note.wav", Concatenate({Silence(22050), Synthesise(tone, 44100)}));
    int exitStatus = -1;
    const std::vector<std::string> lines = TrackLines("note.wav", exitStatus);
    EXPECT_EQ(exitStatus, 0);
    ASSERT_EQ(lines.size(), (22050u + 44100u) / 1024u);
    EXPECT_EQ(lines.front(), R"({"time":0.023219954648526078,"found":false,"frequency":null,"note":null,"target":null,)"
                             R"("cents":null,"confidence":0})");
    EXPECT_THAT(lines.back(), StartsWith(R"({"time":1.486077097505669,"found":true,"frequency":442.0000)"));
    EXPECT_THAT(lines.back(), HasSubstr(R"("note":"A4","target":440,"cents":7.8)"));
}

// The number after "key": in a reading's line; NaN when it is absent.
double NumberAfter(const std::string& line, const std::string& key)
{
    const std::size_t at = line.find("\"" + key + "\":");
    return at == std::string::npos ? std::nan("") : std::strtod(line.c_str() + at + key.size() + 3, nullptr);
}

// The tuning options name the last reading of a steady tone: its note, its
// target (Hz, from the published cents where a temperament moves it) and the
// cents from it. Werckmeister III's fifth A-E is pure, so its E4 on 415 Hz is
// 415 x 3/4; with the tonic A its table's G (696.090 cents) falls on E.
TEST(AnalyzeTrack, NamesTheNotesInTheTuningSystemChosen)
{
    const TemporaryDirectory directory;
    std::ofstream("fifth.scl") << "! a fifth and an octave\nfifth\n 2\n 3/2\n 2/1\n";
    const double wmC4 = 415.0 * std::exp2(-888.270 / 1200.0);
    const double wmE4OnA = 415.0 * std::exp2((696.090 - 1200.0) / 1200.0);
    const double fifthAboveC4 = 440.0 * std::exp2(-9.0 / 12.0) * 1.5;
    struct Row {
        const char* options;
        double toneHz;
        const char* note;
        double targetHz;
        double cents;
    };
    for (const Row& row : {Row{"--reference 442", 442.0, "A4", 442.0, 0.0},
                           Row{"--reference=442.004", 440.0, "A4", 442.0, -7.85},
                           Row{"--reference 415 --temperament werckmeister3", 311.25, "E4", 311.25, 0.0},
                           Row{"--reference 415 --temperament werckmeister3", wmC4, "C4", wmC4, 0.0},
                           Row{"--reference 415 --temperament werckmeister3 --tonic A", 311.25, "E4", wmE4OnA, 5.865},
                           Row{"--scala fifth.scl", fifthAboveC4, "1/2 +0", fifthAboveC4, 0.0}}) {
        PartialTone tone;
        tone.f0Hz = row.toneHz;
        tone.amplitudes = FallingAmplitudes(5, 8000.0);
        WriteCaptureFile("note.wav", Synthesise(tone, 44100));
        int exitStatus = -1;
        const std::vector<std::string> lines = TrackLines("note.wav", exitStatus, row.options);
        EXPECT_EQ(exitStatus, 0) << row.options;
        ASSERT_FALSE(lines.empty()) << row.options;
        const std::string& last = lines.back();
        EXPECT_THAT(last, HasSubstr(std::string("\"note\":\"") + row.note + "\"")) << row.options << ": " << last;
        EXPECT_NEAR(NumberAfter(last, "target"), row.targetHz, row.targetHz * 1e-5) << row.options << ": " << last;
        EXPECT_NEAR(NumberAfter(last, "cents"), row.cents, 0.05) << row.options << ": " << last;
    }
}

}  // namespace
