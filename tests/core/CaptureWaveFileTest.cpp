#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/CaptureError.h"
#include "platform/CaptureWaveFile.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"

namespace {

using tonarel::CaptureError;
using tonarel::CaptureFormat;
using tonarel::ReadCaptureTemplate;
using tonarel::WriteRecordingFile;

// The header that the pitch meter writes as its recording template (1 channel,
// 16 bits, 44 100 Hz, no data).
constexpr std::array<unsigned char, 44> MonoTemplate = {
    0x52, 0x49, 0x46, 0x46, 0x24, 0x00, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6D, 0x74,
    0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x88, 0x58,
    0x01, 0x00, 0x02, 0x00, 0x10, 0x00, 0x64, 0x61, 0x74, 0x61, 0x00, 0x00, 0x00, 0x00};

class CaptureFiles : public ::testing::Test {
protected:
    std::filesystem::path WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return folder / name;
    }

    tonarel::test::TemporaryDirectory folder{tonarel::test::TemporaryDirectory::Enter::kNo};
};

TEST_F(CaptureFiles, EmptyTakeIsExactlyTheRecordingTemplate)
{
    WriteRecordingFile(folder / "t.wav", CaptureFormat{1, 44100, 16}, {});
    const std::vector<uint8_t> expected(MonoTemplate.begin(), MonoTemplate.end());
    EXPECT_EQ(tonarel::test::ReadFileBytes(folder / "t.wav"), expected);
}

TEST_F(CaptureFiles, SavedTakeStatesTheLengthOfTheWholeFramesWritten)
{
    // Five bytes of 16-bit stereo: one whole frame of four bytes, then a torn one.
    const std::array<std::byte, 5> samples{std::byte{1}, std::byte{2}, std::byte{3}, std::byte{4}, std::byte{5}};
    WriteRecordingFile(folder / "take.wav", CaptureFormat{2, 8000, 16}, samples);
    const auto bytes = tonarel::test::ReadFileBytes(folder / "take.wav");
    ASSERT_EQ(bytes.size(), 48u);
    const auto le32 = [&](std::size_t at) {
        return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
               uint32_t{bytes[at + 3]} << 24;
    };
    EXPECT_EQ(le32(4), 40u);     // RIFF chunk: everything after its size field
    EXPECT_EQ(le32(28), 32000u);  // bytes per second
    EXPECT_EQ(bytes[32], 4);      // bytes per frame
    EXPECT_EQ(le32(40), 4u);      // data length
    EXPECT_THAT(std::vector<uint8_t>(bytes.begin() + 44, bytes.end()), ::testing::ElementsAre(1, 2, 3, 4));
}

TEST_F(CaptureFiles, TemplateGivesBackTheFormatItWasWrittenWith)
{
    for (const CaptureFormat format : {CaptureFormat{1, 44100, 16}, CaptureFormat{2, 8000, 8},
                                       CaptureFormat{1, 48000, 32}}) {
        WriteRecordingFile(folder / "t.wav", format, {});
        EXPECT_EQ(ReadCaptureTemplate(folder / "t.wav"), format);
    }
}

// Each row spoils the template in one way; the open must refuse it with a
// message naming the file, instead of recording in a format nobody asked for.
struct SpoiledTemplate {
    const char* what;
    std::size_t offset;
    std::vector<uint8_t> bytes;  // written over the good template at offset
    std::size_t length = 44;           // the file is cut to this length
    friend void PrintTo(const SpoiledTemplate& row, std::ostream* out) { *out << row.what; }
};

class RefusedTemplate : public CaptureFiles, public ::testing::WithParamInterface<SpoiledTemplate> {};

TEST_P(RefusedTemplate, OpenFailsNamingTheFile)
{
    std::vector<uint8_t> bytes(MonoTemplate.begin(), MonoTemplate.end());
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), bytes.begin() + GetParam().offset);
    bytes.resize(GetParam().length);
    const auto file = WriteBytes("temp.wav", bytes);
    try {
        ReadCaptureTemplate(file);
        FAIL() << "accepted a template with " << GetParam().what;
    } catch (const CaptureError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("temp.wav"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spoiled, RefusedTemplate,
    ::testing::Values(SpoiledTemplate{"43 bytes", 0, {}, 43}, SpoiledTemplate{"an empty file", 0, {}, 0},
                      SpoiledTemplate{"RIFX", 0, {'R', 'I', 'F', 'X'}},
                      SpoiledTemplate{"no WAVE", 8, {'A', 'V', 'I', ' '}},
                      SpoiledTemplate{"a longer fmt chunk", 16, {18}},
                      SpoiledTemplate{"float samples", 20, {3}},
                      SpoiledTemplate{"no channels", 22, {0, 0}},
                      SpoiledTemplate{"a negative channel count", 22, {0xFF, 0xFF}},
                      SpoiledTemplate{"no sample rate", 24, {0, 0, 0, 0}},
                      SpoiledTemplate{"a negative sample rate", 24, {0x44, 0xAC, 0x00, 0x80}},
                      SpoiledTemplate{"12-bit samples", 34, {12}},
                      SpoiledTemplate{"a chunk other than data", 36, {'L', 'I', 'S', 'T'}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(CaptureFiles, MissingTemplateIsRefusedNamingTheFile)
{
    EXPECT_THROW(
        {
            try {
                ReadCaptureTemplate(folder / "temp.wav");
            } catch (const CaptureError& error) {
                EXPECT_THAT(error.what(), ::testing::HasSubstr("temp.wav"));
                throw;
            }
        },
        CaptureError);
}

TEST_F(CaptureFiles, UnwritableTakeFailsLoudly)
{
    EXPECT_THROW(WriteRecordingFile(folder / "no-such-folder" / "my.wav", CaptureFormat{}, {}), CaptureError);
    EXPECT_FALSE(std::filesystem::exists(folder / "no-such-folder" / "my.wav"));
}

TEST(CaptureLimits, LongestTakeIsWholeFramesWithinASigned32BitLength)
{
    EXPECT_EQ(tonarel::MaxCaptureDataBytes(CaptureFormat{1, 44100, 16}), 2147483646u);
    EXPECT_EQ(tonarel::MaxCaptureDataBytes(CaptureFormat{2, 44100, 16}), 2147483644u);
    EXPECT_EQ(tonarel::MaxCaptureDataBytes(CaptureFormat{1, 44100, 8}), 2147483647u);
}

}  // namespace
