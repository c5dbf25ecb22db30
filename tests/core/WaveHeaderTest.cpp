#include <gtest/gtest.h>

#include <vector>

#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"
#include "wave/WaveHeader.h"

namespace {

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

}  // namespace
