// The piano file: what is saved reads back the same, and a file that is not
// one is refused with its message; the CSV export.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "common/RegularFile.h"
#include "piano/PianoCsv.h"
#include "piano/PianoFile.h"
#include "tests/support/TemporaryDirectory.h"

namespace {

using namespace tonarel::piano;
using tonarel::kNotRegularFileMessage;
using tonarel::test::TemporaryDirectory;
using ::testing::HasSubstr;
using ::testing::StartsWith;

PianoFileContents SomePiano()
{
    PianoFileContents contents;
    contents.referenceHz = 442.5;
    // Numbers that need every digit to read back.
    contents.measurements.Add(49, {442.81234567890123, 4.1234567890123e-4, 14, 1796000000});
    contents.measurements.Add(49, {442.1, 3.9e-4, 12, 1796000060});
    contents.measurements.Add(1, {27.6, 0.0, 0, 0});
    contents.measurements.Add(88, {4300.25, 1.2e-2, 3, 1796000100});
    contents.curve = AverageGrandStretchCurve();
    contents.curve.source = InharmonicitySource::kMeasured;
    return contents;
}

void ExpectSame(const PianoFileContents& read, const PianoFileContents& written)
{
    EXPECT_EQ(read.referenceHz, written.referenceHz);
    EXPECT_EQ(read.measurements, written.measurements);
    EXPECT_EQ(read.curve.source, written.curve.source);
    EXPECT_EQ(read.curve.b, written.curve.b);
    EXPECT_EQ(read.curve.targetCents, written.curve.targetCents);
}

TEST(PianoFile, ReadsBackWhatWasSaved)
{
    const TemporaryDirectory directory;
    for (const InharmonicitySource source : {InharmonicitySource::kMeasured, InharmonicitySource::kAverageGrand}) {
        PianoFileContents contents = SomePiano();
        contents.curve.source = source;
        ASSERT_FALSE(WritePianoFile("grand.piano.json", contents));
        const char* refusal = nullptr;
        const std::optional<PianoFileContents> read = ReadPianoFile("grand.piano.json", &refusal);
        ASSERT_TRUE(read) << refusal;
        ExpectSame(*read, contents);
    }
    EXPECT_THAT(EncodePianoFile(SomePiano()), StartsWith("{\n \"format\": \"tonarel-piano\",\n \"version\": 1,"));
}

struct RefusalRow {
    const char* name;
    std::string text;
    const char* message;
};

// The saved text of SomePiano with `from` replaced by `to`.
std::string Damaged(const std::string& from, const std::string& to)
{
    std::string text = EncodePianoFile(SomePiano());
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(PianoFile, RefusesWhatIsNotAPianoFile)
{
    const RefusalRow rows[] = {
        {"empty", "", kNotPianoFileMessage},
        {"a temperament file", "qrv\x03", kNotPianoFileMessage},
        {"cut short", EncodePianoFile(SomePiano()).substr(0, 300), kNotPianoFileMessage},
        {"an array", "[1, 2]", kNotPianoFileMessage},
        {"another program's JSON", R"({"format": "other", "version": 1})", kNotPianoFileMessage},
        {"no version", Damaged("\"version\": 1,", ""), kNotPianoFileMessage},
        {"a newer version", Damaged("\"version\": 1", "\"version\": 2"), kNewerPianoFileMessage},
        {"a version as text", Damaged("\"version\": 1", "\"version\": \"1\""), kNotPianoFileMessage},
        {"reference too low", Damaged("\"reference_hz\": 442.5", "\"reference_hz\": 399.9"), kNotPianoFileMessage},
        {"a key off the keyboard", Damaged("\"key\": 88", "\"key\": 89"), kNotPianoFileMessage},
        {"a key not whole", Damaged("\"key\": 49", "\"key\": 49.5"), kNotPianoFileMessage},
        {"negative B", Damaged("\"b\": 0.012", "\"b\": -0.012"), kNotPianoFileMessage},
        {"a frequency of zero", Damaged("\"first_partial_hz\": 27.6", "\"first_partial_hz\": 0"),
         kNotPianoFileMessage},
        {"a time before 1970", Damaged("\"measured_at\": 0", "\"measured_at\": -1"), kNotPianoFileMessage},
        {"an unknown source", Damaged("\"source\": \"measured\"", "\"source\": \"guessed\""), kNotPianoFileMessage},
        {"curve keys out of order", Damaged("\"key\": 2,", "\"key\": 3,"), kNotPianoFileMessage},
        {"a target out of range", Damaged("\"target_cents\": 0.0", "\"target_cents\": 1e300"),
         kNotPianoFileMessage},
        {"nested too deep", std::string(100000, '[') + std::string(100000, ']'), kNotPianoFileMessage},
        {"larger than any piano file", std::string(kLargestPianoFileBytes + 1, ' '), kNotPianoFileMessage},
        {"not UTF-8", Damaged("\"tonarel-piano\"", "\"tonarel-piano\xff\""), kNotPianoFileMessage},
    };
    for (const RefusalRow& row : rows) {
        const char* refusal = nullptr;
        EXPECT_FALSE(DecodePianoFile(row.text, &refusal)) << row.name;
        EXPECT_STREQ(refusal, row.message) << row.name;
    }

    // More readings of a key than a piano file keeps.
    std::string many = EncodePianoFile(SomePiano());
    const std::string reading = R"({"key": 2, "first_partial_hz": 29.1, "b": 0.0003, "partials": 9, "measured_at": 5},)";
    std::string readings;
    for (std::size_t k = 0; k <= kMostReadingsPerKey; ++k) {
        readings += reading;
    }
    many.insert(many.find("[") + 1, readings);
    EXPECT_FALSE(DecodePianoFile(many));
    many.erase(many.find("[") + 1, reading.size());
    EXPECT_TRUE(DecodePianoFile(many));
}

TEST(PianoFile, RefusesWhatCannotBeRead)
{
    const TemporaryDirectory directory;
    ASSERT_EQ(mkfifo("pipe.piano.json", 0600), 0);
    const struct {
        const char* path;
        const char* message;
    } rows[] = {{"missing.piano.json", kUnreadablePianoFileMessage},
                {".", kUnreadablePianoFileMessage},
                {"pipe.piano.json", kNotRegularFileMessage}};
    for (const auto& row : rows) {
        const char* refusal = nullptr;
        EXPECT_FALSE(ReadPianoFile(row.path, &refusal)) << row.path;
        EXPECT_STREQ(refusal, row.message) << row.path;
    }
}

TEST(PianoCsv, ListsTheCurveAndTheReadingsOfEveryKey)
{
    const std::string csv = FormatPianoCsv(SomePiano());
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 89);
    EXPECT_THAT(csv, StartsWith("key,name,b,target_cents,target_hz,measured_hz,measured_b,measured_cents,readings,"
                                "curve\n1,A0,"));
    EXPECT_THAT(csv, HasSubstr("\n2,A♯0,"));
    EXPECT_THAT(csv, HasSubstr(",,,,measured\n3,B0,"));
    // A4: on the reference, and the two readings averaged.
    EXPECT_THAT(csv, HasSubstr("\n49,A4,0.000501187233627273,0,442.5,442.45602948162235,"));
    EXPECT_THAT(csv, HasSubstr(",0.000401172839450615,-0.17203851060875552,2,measured\n50,"));
}

}  // namespace
