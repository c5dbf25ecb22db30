#include <gtest/gtest.h>

#include "tests/support/FileBytes.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"
#include "wave/WaveHeader.h"

namespace {

using namespace tonarel::test;
using namespace tonarel::tones;

// The template replaces the previous recording entirely; a file that cannot
// be written is left for the sound device to report, so the result stays 0.
TEST(WriteWaveHeader, ReplacesTheFileWithTheRecordingTemplate)
{
    TemporaryDirectory directory;
    WriteCaptureFile("temp.wav", Silence(5000));
    EXPECT_EQ(tonarel::WriteWaveHeader(1, 16, 44100, "temp.wav"), 0);
    const std::vector<uint8_t> expected = {
        0x52, 0x49, 0x46, 0x46, 0x24, 0x00, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6D, 0x74,
        0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x88, 0x58,
        0x01, 0x00, 0x02, 0x00, 0x10, 0x00, 0x64, 0x61, 0x74, 0x61, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(ReadFileBytes("temp.wav"), expected);
    EXPECT_EQ(tonarel::WriteWaveHeader(1, 16, 44100, "no such directory/temp.wav"), 0);
}

// The sample width counts in whole bytes, truncated: 12 bits are one byte.
TEST(MakeWaveHeader, DerivesByteRateAndBlockAlignFromWholeBytesPerSample)
{
    struct Row {
        int16_t channels, bitsPerSample;
        int32_t sampleRate, byteRate;
        int16_t blockAlign;
    };
    for (const Row row : {Row{2, 12, 8000, 16000, 2}, Row{2, 7, 8000, 0, 0}, Row{2, 24, 48000, 288000, 6}}) {
        const tonarel::WaveHeader header = tonarel::MakeWaveHeader(row.channels, row.bitsPerSample, row.sampleRate);
        EXPECT_EQ(header.ByteRate, row.byteRate) << row.bitsPerSample << " bits";
        EXPECT_EQ(header.BlockAlign, row.blockAlign) << row.bitsPerSample << " bits";
    }
}

}  // namespace
