// The accuracy tool's manifest reader and figures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <variant>

#include "tests/support/TemporaryDirectory.h"
#include "tools/accuracy/AccuracySummary.h"
#include "tools/accuracy/Manifest.h"

namespace {

using namespace tonarel::accuracy;
using tonarel::test::TemporaryDirectory;

TEST(AccuracySummary, CountsMissesAsNoReadingAndTheMedianOverAllNotes)
{
    EXPECT_NEAR(*ErrorCents(880.0, 440.0), 1200.0, 1e-9);
    EXPECT_FALSE(ErrorCents(std::nullopt, 440.0));
    EXPECT_FALSE(ErrorCents(0.0, 440.0));

    const AccuracySummary summary = Summarise({0.5, -3.0, 60.0, std::nullopt, -1.0});
    EXPECT_EQ(summary.notes, 5u);
    EXPECT_EQ(summary.misses, 1u);
    EXPECT_EQ(summary.withinOneCent, 2u);
    EXPECT_EQ(summary.withinFiveCents, 3u);
    EXPECT_EQ(summary.gross, 1u);
    EXPECT_EQ(summary.medianAbsCents, 3.0);  // of 0.5, 1, 3, 60 and the miss
    EXPECT_EQ(Summarise({1.0, -2.0}).medianAbsCents, 1.5);
    EXPECT_EQ(Summarise({}).notes, 0u);
}

TEST(Manifest, ReadsTheNeededColumnsInAnyOrder)
{
    TemporaryDirectory directory;
    std::ofstream("manifest.tsv") << "reliability\tfile\textra\tmeasured_hz\tinstrument\n"
                                     "good\ta.wav\tx\t440.5\tpiano\r\n"
                                     "\n"
                                     "NA\tsilence.wav\t\tNA\tsilence\n";
    const auto read = ReadManifest("manifest.tsv");
    ASSERT_TRUE(std::holds_alternative<std::vector<ManifestNote>>(read)) << std::get<std::string>(read);
    const auto& notes = std::get<std::vector<ManifestNote>>(read);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].file, "a.wav");
    EXPECT_EQ(notes[0].measuredHz, 440.5);
    EXPECT_EQ(notes[0].reliability, "good");
    EXPECT_EQ(notes[0].instrument, "piano");
    EXPECT_EQ(notes[1].file, "silence.wav");
    EXPECT_FALSE(notes[1].measuredHz);
}

TEST(Manifest, RefusesWhatItCannotUseWithAMessage)
{
    TemporaryDirectory directory;
    struct Row {
        const char* content;
        const char* message;
    };
    for (const Row& row : {Row{"file\tmeasured_hz\n", "缺少列 \"reliability\""},
                           Row{"file\tmeasured_hz\treliability\na.wav\t440\n", "第 2 行的字段不足"},
                           Row{"file\tmeasured_hz\treliability\na.wav\t-3\tgood\n", "measured_hz 不是正数"},
                           Row{"file\tmeasured_hz\treliability\na.wav\t440Hz\tgood\n", "\"440Hz\""},
                           Row{"", "是空的"}}) {
        std::ofstream("manifest.tsv") << row.content;
        const auto read = ReadManifest("manifest.tsv");
        ASSERT_TRUE(std::holds_alternative<std::string>(read)) << row.content;
        EXPECT_THAT(std::get<std::string>(read), ::testing::HasSubstr(row.message));
    }
    EXPECT_THAT(std::get<std::string>(ReadManifest("missing.tsv")), ::testing::HasSubstr("无法读取"));
}

}  // namespace
