#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <random>

#include "tests/support/FileBytes.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"
#include "wave/CaptureFile.h"

namespace {

using tonarel::CaptureFile;
using namespace tonarel::test;
using namespace tonarel::tones;

// Scans never reach beyond the bytes the file holds, whatever DataSize claims.
// A negative DataSize (0xFFFFFFFF from a writer that did not know the length,
// or 0x80000000) claims no length at all: the data present is read.
TEST(CaptureFile, DataBytesPresentAreDataSizeCutToTheFile)
{
    TemporaryDirectory directory;
    struct Row {
        int32_t dataSize;
        uint32_t present;
    };
    for (const Row row : {Row{1000, 1000}, Row{1'000'000, 2000}, Row{0, 0}, Row{-5, 2000}, Row{-1, 2000},
                          Row{INT32_MIN, 2000}, Row{0x7FFFFFFF, 2000}}) {
        WriteCaptureFile("my.wav", Silence(1000), CaptureFileHeaderFields::ClaimingDataSize(row.dataSize));
        EXPECT_EQ(CaptureFile::Open("my.wav")->DataBytesPresent(), row.present) << "DataSize " << row.dataSize;
    }
}

// Only a regular file is read: a named pipe would block the open until a
// writer came, and a device is no recording.
TEST(CaptureFile, RefusesAnythingButARegularFileWithoutWaiting)
{
    TemporaryDirectory directory;
    ASSERT_EQ(mkfifo("pipe.wav", 0600), 0);
    std::filesystem::create_directory("folder.wav");
    struct Row {
        const char* name;
        CaptureFile::OpenError error;
        int systemError;
    };
    for (const Row row : {Row{"pipe.wav", CaptureFile::OpenError::kNotRegularFile, 0},
                          Row{"/dev/zero", CaptureFile::OpenError::kNotRegularFile, 0},
                          Row{"folder.wav", CaptureFile::OpenError::kCannotOpen, EISDIR},
                          Row{"missing.wav", CaptureFile::OpenError::kCannotOpen, ENOENT}}) {
        CaptureFile::OpenFailure failure{};
        EXPECT_FALSE(CaptureFile::Open(row.name, &failure)) << row.name;
        EXPECT_EQ(failure.error, row.error) << row.name;
        EXPECT_EQ(failure.systemError, row.systemError) << row.name;
    }
}

// Reads short and long (past the 64 KiB read-ahead), odd and even, views and
// seeks in random order must each deliver the file's bytes at the position reached.
TEST(CaptureFile, DeliversTheFilesBytesWhateverTheMixOfReadsViewsAndSeeks)
{
    TemporaryDirectory directory;
    WriteCaptureFile("my.wav", Noise(150'000, 32767));
    const std::vector<uint8_t> file = ReadFileBytes("my.wav");
    std::optional<CaptureFile> reader = CaptureFile::Open("my.wav");
    ASSERT_TRUE(reader);
    std::mt19937 random(3);
    std::size_t position = 44;
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE(step);
        const std::size_t left = position < file.size() ? file.size() - position : 0;
        const uint32_t choice = random() % 8;
        if (choice == 0) {
            position = random() % (file.size() + 100);  // the end and beyond included
            ASSERT_TRUE(reader->SeekToFileOffset(position));
            continue;
        }
        std::vector<uint8_t> bytes(choice == 1 ? 70'000 + random() % 70'000 : random() % 3000);
        std::span<const uint8_t> got;
        if (choice < 4) {
            got = {bytes.data(), reader->Read(bytes.data(), bytes.size())};
            ASSERT_EQ(got.size(), std::min(bytes.size(), left));
        } else {
            const std::size_t wanted = random() % 5000;
            const std::span<const int16_t> view = reader->ViewSamples(wanted);
            ASSERT_EQ(view.size(), std::min({wanted, CaptureFile::kMostViewedSamples, left / 2}));
            got = {reinterpret_cast<const uint8_t*>(view.data()), view.size_bytes()};
        }
        ASSERT_EQ(std::memcmp(got.data(), file.data() + position, got.size()), 0);
        position += got.size();
    }
}

}  // namespace
