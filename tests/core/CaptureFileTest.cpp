#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <vector>

#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"
#include "wave/CaptureFile.h"

namespace {

using tonarel::CaptureFile;
using tonarel::test::CaptureFileHeaderFields;
using tonarel::test::ReadFileBytes;
using tonarel::test::TemporaryDirectory;

TEST(CaptureFile, ReadsBackTheTemplateItWrote)
{
    TemporaryDirectory directory;
    tonarel::WriteWaveHeader(1, 16, 44100, "temp.wav");
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
                                    CaptureFileHeaderFields::ClaimingDataSize(GetParam().declaredDataSize));
    EXPECT_EQ(CaptureFile::Open("my.wav")->DataBytesPresent(), GetParam().expectedPresent);
}

INSTANTIATE_TEST_SUITE_P(Rows, CaptureFileDataPresent,
                         ::testing::Values(PresentData{2000, 1000, 2000}, PresentData{1000, 1000, 1000},
                                           PresentData{1000000, 1000, 2000}, PresentData{-5, 1000, 0},
                                           PresentData{0x7FFFFFFF, 10, 20}));

// Reads, views and seeks in a random order, some of odd lengths, some
// longer than the read-ahead, must each deliver exactly the file's bytes at
// the position reached.
TEST(CaptureFile, DeliversTheFilesBytesWhateverTheMixOfReadsViewsAndSeeks)
{
    TemporaryDirectory directory;
    std::vector<int16_t> samples(150'000);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        samples[k] = static_cast<int16_t>(k * 7919);
    }
    tonarel::test::WriteCaptureFile("my.wav", samples);
    const std::vector<uint8_t> file = ReadFileBytes("my.wav");

    std::optional<CaptureFile> reader = CaptureFile::Open("my.wav");
    ASSERT_TRUE(reader.has_value());
    EXPECT_EQ(reader->FileBytes(), file.size());
    std::mt19937 random(3);
    std::size_t position = 44;
    for (int step = 0; step < 3000; ++step) {
        switch (random() % 8) {
        case 0: {  // seek anywhere, the end and beyond included
            position = random() % (file.size() + 100);
            ASSERT_TRUE(reader->SeekToFileOffset(position));
            break;
        }
        case 1: {  // a long read straight into the destination
            std::vector<uint8_t> bytes(70'000 + random() % 70'000);
            const std::size_t got = reader->Read(bytes.data(), bytes.size());
            const std::size_t expected = position < file.size() ? std::min(bytes.size(), file.size() - position) : 0;
            ASSERT_EQ(got, expected) << "step " << step;
            ASSERT_EQ(std::memcmp(bytes.data(), file.data() + position, got), 0) << "step " << step;
            position += got;
            break;
        }
        case 2:
        case 3:
        case 4: {  // a short read, often of an odd length
            std::vector<uint8_t> bytes(random() % 3000);
            const std::size_t got = reader->Read(bytes.data(), bytes.size());
            const std::size_t expected = position < file.size() ? std::min(bytes.size(), file.size() - position) : 0;
            ASSERT_EQ(got, expected) << "step " << step;
            ASSERT_EQ(std::memcmp(bytes.data(), file.data() + position, got), 0) << "step " << step;
            position += got;
            break;
        }
        default: {  // a view, whole samples only
            const std::size_t wanted = random() % 5000;
            const std::span<const int16_t> view = reader->ViewSamples(wanted);
            const std::size_t left = position < file.size() ? (file.size() - position) / 2 : 0;
            ASSERT_EQ(view.size(), std::min({wanted, CaptureFile::kMostViewedSamples, left})) << "step " << step;
            ASSERT_EQ(std::memcmp(view.data(), file.data() + position, view.size_bytes()), 0) << "step " << step;
            position += view.size_bytes();
            break;
        }
        }
    }
}

}  // namespace
