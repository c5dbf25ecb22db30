// tonarel-analyze --track as a user runs it: one JSON line per reading.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tools/tones/PartialTone.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<std::string> TrackLines(const std::string& file, int& exitStatus)
{
    const int status = std::system(("'" TONAREL_ANALYZE_PATH "' --track " + file + " >out.txt 2>err.txt").c_str());
    exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::vector<uint8_t> bytes = ReadFileBytes("out.txt");
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
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

}  // namespace
