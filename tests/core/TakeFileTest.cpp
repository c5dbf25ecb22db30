#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/support/FileBytes.h"
#include "tests/support/TakeFileWriter.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"
#include "wave/CaptureError.h"
#include "wave/TakeFile.h"

namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using tonarel::CaptureError;
using tonarel::CaptureFormat;
using tonarel::ReadCaptureTemplate;
using tonarel::test::WriteTakeFile;
using tonarel::test::ReadFileBytes;

class CaptureFiles : public ::testing::Test {
protected:
    tonarel::test::TemporaryDirectory folder{tonarel::test::TemporaryDirectory::Enter::kNo};
};

TEST_F(CaptureFiles, TakeHoldsItsWholeFramesAndStatesTheirRealLength)
{
    // Compared with the tests' own byte-by-byte writer, not the program's
    // header code. The torn last frame (one byte of a sample) is left out.
    const std::vector<int16_t> samples = {1, -2, 300};
    std::vector<std::byte> captured(sizeof(int16_t) * samples.size() + 1, std::byte{7});
    std::memcpy(captured.data(), samples.data(), captured.size() - 1);
    WriteTakeFile(folder / "take.wav", CaptureFormat{1, 44100, 16}, captured);
    tonarel::tones::WriteCaptureFile(folder / "expected.wav", samples);
    EXPECT_EQ(ReadFileBytes(folder / "take.wav"), ReadFileBytes(folder / "expected.wav"));
}

TEST_F(CaptureFiles, SpoiledTemplateIsRefusedNamingTheFile)
{
    // Each row spoils the mono template in one way; recording in a format
    // nobody asked for would be worse than refusing.
    struct Spoiled {
        const char* what;
        std::size_t offset;
        std::vector<uint8_t> bytes;  // written over the template at offset
        int length = 44;             // the file is cut to this length; -1: no file at all
    };
    const Spoiled rows[] = {
        {"missing", 0, {}, -1},                      {"43 bytes", 0, {}, 43},
        {"RIFX", 0, {'R', 'I', 'F', 'X'}},           {"no WAVE", 8, {'A', 'V', 'I', ' '}},
        {"a longer fmt chunk", 16, {18}},            {"float samples", 20, {3}},
        {"no channels", 22, {0, 0}},                 {"a negative channel count", 22, {0xFF, 0xFF}},
        {"no sample rate", 24, {0, 0, 0, 0}},        {"a negative sample rate", 24, {0x44, 0xAC, 0x00, 0x80}},
        {"12-bit samples", 34, {12}},                {"a chunk other than data", 36, {'L', 'I', 'S', 'T'}},
    };
    for (const Spoiled& row : rows) {
        SCOPED_TRACE(row.what);
        const auto file = folder / "temp.wav";
        std::filesystem::remove(file);
        if (row.length >= 0) {
            tonarel::tones::WriteCaptureFile(file, {});
            std::vector<uint8_t> bytes = ReadFileBytes(file);
            std::copy(row.bytes.begin(), row.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(row.offset));
            bytes.resize(static_cast<std::size_t>(row.length));
            std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), row.length);
        }
        EXPECT_THAT([&] { ReadCaptureTemplate(file); }, ThrowsMessage<CaptureError>(HasSubstr("temp.wav")));
    }
}

TEST_F(CaptureFiles, UnwritableTakeFailsNamingTheFile)
{
    EXPECT_THAT([&] { WriteTakeFile(folder / "no-such-folder" / "my.wav", CaptureFormat{}, {}); },
                ThrowsMessage<CaptureError>(HasSubstr("my.wav")));
}

TEST(CaptureLimits, LongestTakeIsWholeFramesWithinASigned32BitLength)
{
    EXPECT_EQ(tonarel::MaxCaptureDataBytes(CaptureFormat{1, 44100, 16}), 2147483646u);
    EXPECT_EQ(tonarel::MaxCaptureDataBytes(CaptureFormat{2, 44100, 16}), 2147483644u);
    EXPECT_EQ(tonarel::MaxCaptureDataBytes(CaptureFormat{1, 44100, 8}), 2147483647u);
}

}  // namespace
