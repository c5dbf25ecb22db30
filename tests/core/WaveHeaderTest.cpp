#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"
#include "wave/CaptureFile.h"
#include "wave/WaveHeader.h"

namespace {

using tonarel::CaptureFile;
using tonarel::MakeWaveHeader;
using tonarel::WriteWaveHeader;
using tonarel::test::ReadFileBytes;
using tonarel::test::TemporaryDirectory;

TEST(WriteWaveHeader, WritesTheRecordingTemplateByteForByte)
{
    TemporaryDirectory directory;
    EXPECT_EQ(WriteWaveHeader(1, 16, 44100, "temp.wav"), 0);
    const std::vector<uint8_t> expected = {
        0x52, 0x49, 0x46, 0x46, 0x24, 0x00, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6D, 0x74,
        0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x88, 0x58,
        0x01, 0x00, 0x02, 0x00, 0x10, 0x00, 0x64, 0x61, 0x74, 0x61, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(ReadFileBytes("temp.wav"), expected);
}

TEST(WriteWaveHeader, TruncatesALongerFileToTheHeader)
{
    TemporaryDirectory directory;
    tonarel::test::WriteCaptureFile("temp.wav", tonarel::test::Silence(5000));
    WriteWaveHeader(1, 16, 44100, "temp.wav");
    EXPECT_EQ(std::filesystem::file_size("temp.wav"), 44u);
}

TEST(WriteWaveHeader, ReportsNothingWhenTheFileCannotBeWritten)
{
    TemporaryDirectory directory;
    EXPECT_EQ(WriteWaveHeader(1, 16, 44100, "no such directory/temp.wav"), 0);
}

struct DerivedFields {
    int16_t channels;
    int16_t bitsPerSample;
    int32_t sampleRate;
    int32_t byteRate;
    int16_t blockAlign;
};

void PrintTo(const DerivedFields& row, std::ostream* out)
{
    *out << row.channels << " x " << row.bitsPerSample << " bits at " << row.sampleRate;
}

class WaveHeaderDerivedFields : public ::testing::TestWithParam<DerivedFields> {};

TEST_P(WaveHeaderDerivedFields, TruncateTheSampleWidthToWholeBytes)
{
    const DerivedFields& row = GetParam();
    const tonarel::WaveHeader header = MakeWaveHeader(row.channels, row.bitsPerSample, row.sampleRate);
    EXPECT_EQ(header.ByteRate, row.byteRate);
    EXPECT_EQ(header.BlockAlign, row.blockAlign);
    EXPECT_EQ(header.BitsPerSample, row.bitsPerSample);
    EXPECT_EQ(header.DataSize, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, WaveHeaderDerivedFields,
                         ::testing::Values(DerivedFields{1, 16, 44100, 88200, 2},
                                           DerivedFields{2, 12, 8000, 16000, 2},   // 12 bits count as one byte
                                           DerivedFields{2, 7, 8000, 0, 0},        // below a byte: nothing
                                           DerivedFields{2, 24, 48000, 288000, 6}));

TEST(CaptureFile, ReadsBackTheTemplateItWrote)
{
    TemporaryDirectory directory;
    WriteWaveHeader(1, 16, 44100, "temp.wav");
    std::optional<CaptureFile> file = CaptureFile::Open("temp.wav");
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(std::memcmp(file->Header().ChunkId, "RIFF", 4), 0);
    EXPECT_EQ(file->Header().ByteRate, 88200);
    EXPECT_EQ(file->FileBytes(), 44u);
    EXPECT_EQ(file->DataBytesPresent(), 0u);
}

TEST(CaptureFile, TellsAMissingFileFromAShortOne)
{
    TemporaryDirectory directory;
    CaptureFile::OpenFailure failure{};
    EXPECT_FALSE(CaptureFile::Open("missing.wav", &failure).has_value());
    EXPECT_EQ(failure.error, CaptureFile::OpenError::kCannotOpen);
    EXPECT_EQ(failure.systemError, ENOENT);

    const std::vector<uint8_t> fortyThreeBytes(43, 0);
    std::ofstream("short.wav", std::ios::binary).write(reinterpret_cast<const char*>(fortyThreeBytes.data()), 43);
    EXPECT_FALSE(CaptureFile::Open("short.wav", &failure).has_value());
    EXPECT_EQ(failure.error, CaptureFile::OpenError::kShorterThanHeader);

    EXPECT_FALSE(CaptureFile::Open(directory.Path(), &failure).has_value());
    EXPECT_EQ(failure.error, CaptureFile::OpenError::kCannotOpen);
}

struct PresentData {
    int32_t declaredDataSize;
    uint32_t samplesWritten;
    uint32_t expectedPresent;
};

void PrintTo(const PresentData& row, std::ostream* out)
{
    *out << "DataSize " << row.declaredDataSize << " over " << row.samplesWritten << " samples";
}

class CaptureFileDataPresent : public ::testing::TestWithParam<PresentData> {};

// Scans never reach beyond the bytes the file really holds, whatever its
// header claims.
TEST_P(CaptureFileDataPresent, IsTheDeclaredSizeCutToTheFile)
{
    TemporaryDirectory directory;
    tonarel::test::WriteCaptureFile("my.wav", tonarel::test::Silence(GetParam().samplesWritten),
                                    tonarel::test::CaptureFileHeaderFields::ClaimingDataSize(GetParam().declaredDataSize));
    EXPECT_EQ(CaptureFile::Open("my.wav")->DataBytesPresent(), GetParam().expectedPresent);
}

INSTANTIATE_TEST_SUITE_P(Rows, CaptureFileDataPresent,
                         ::testing::Values(PresentData{2000, 1000, 2000}, PresentData{1000, 1000, 1000},
                                           PresentData{1000000, 1000, 2000}, PresentData{-5, 1000, 0},
                                           PresentData{0x7FFFFFFF, 10, 20}));

}  // namespace
