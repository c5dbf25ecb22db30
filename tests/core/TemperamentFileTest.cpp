#include <gtest/gtest.h>

#include <bit>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>

#include <sys/resource.h>
#include <unistd.h>

#include "temperament/core/TemperamentFile.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WaveFileWriter.h"

namespace {

using namespace tonarel;
using test::ReadFileBytes;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Every slot different; slots outside the entries travel as they stand,
// down to the sign of a zero and the payload of a not-a-number.
TemperamentFileContents SampleContents()
{
    TemperamentFileContents contents{3, 62, {}};
    for (std::size_t slot = 0; slot < kTemperamentSlots; ++slot) {
        contents.measured[slot] = 100.0f + static_cast<float>(slot);
    }
    contents.measured[0] = 440.0f;
    contents.measured[118] = std::bit_cast<float>(0x7fc12345u);
    contents.measured[119] = -0.0f;
    return contents;
}

Bytes Encoded(const TemperamentFileContents& contents)
{
    const TemperamentFileBytes bytes = EncodeTemperamentFile(contents);
    return Bytes(bytes.begin(), bytes.end());
}

void WriteBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

TEST(TemperamentFileLayout, IsMagicThenCountersThenAllSlotsLittleEndian)
{
    const Bytes bytes = Encoded(SampleContents());
    ASSERT_EQ(bytes.size(), 491u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11), (Bytes{'q', 'r', 'v', 3, 0, 0, 0, 62, 0, 0, 0}));
    // 440.0f is 0x43DC0000, 101.0f 0x42CA0000.
    EXPECT_EQ(Bytes(bytes.begin() + 11, bytes.begin() + 19), (Bytes{0x00, 0x00, 0xDC, 0x43, 0x00, 0x00, 0xCA, 0x42}));
    EXPECT_EQ(Bytes(bytes.begin() + 483, bytes.end()), (Bytes{0x45, 0x23, 0xC1, 0x7F, 0x00, 0x00, 0x00, 0x80}));
}

TEST(TemperamentFileLayout, AFreshTableIsSavedAsZerosNotStaleMemory)
{
    const Bytes bytes = Encoded(ContentsOf(TemperamentTable{}));
    ASSERT_EQ(bytes.size(), 491u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11), (Bytes{'q', 'r', 'v', 0, 0, 0, 0, 60, 0, 0, 0}));
    EXPECT_EQ(std::count(bytes.begin() + 11, bytes.end(), 0), 480);
}

struct DecodeCase {
    const char* magic;
    int32_t trebleCount, bassCursor;
    std::size_t size;
    bool accepted;
    friend void PrintTo(const DecodeCase& c, std::ostream* os)
    {
        *os << c.magic << ' ' << c.trebleCount << ' ' << c.bassCursor << ' ' << c.size << " bytes";
    }
};

class DecodedBytes : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodedBytes, AreAcceptedOnlyWhenEveryEntryFitsTheTable)
{
    const DecodeCase& c = GetParam();
    TemperamentFileContents contents = SampleContents();
    contents.trebleCount = c.trebleCount;
    contents.bassCursor = c.bassCursor;
    Bytes bytes = Encoded(contents);
    std::copy(c.magic, c.magic + 3, bytes.begin());
    bytes.resize(c.size, 0x55);
    const auto decoded = DecodeTemperamentFile(bytes);
    ASSERT_EQ(decoded.has_value(), c.accepted);
    if (decoded) {
        EXPECT_EQ(Encoded(*decoded), Encoded(contents));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodedBytes,
                         ::testing::Values(DecodeCase{"qrv", 3, 62, 491, true},
                                           DecodeCase{"qrv", 3, 62, 494, true},  // trailing bytes make no difference
                                           DecodeCase{"QRV", 3, 62, 491, false},
                                           DecodeCase{"qrw", 3, 62, 491, false},
                                           DecodeCase{"qrv", 3, 62, 490, false},
                                           DecodeCase{"qrv", 3, 62, 3, false},
                                           DecodeCase{"qrv", 0, 60, 491, true},
                                           DecodeCase{"qrv", 60, 120, 491, true},
                                           DecodeCase{"qrv", -1, 62, 491, false},
                                           DecodeCase{"qrv", 61, 62, 491, false},
                                           DecodeCase{"qrv", 3, 59, 491, false},
                                           DecodeCase{"qrv", 3, 121, 491, false},
                                           DecodeCase{"qrv", 3, std::numeric_limits<int32_t>::min(), 491, false}));

class TemperamentFileOnDisk : public ::testing::Test {
protected:
    test::TemporaryDirectory scratch;
    const Bytes old = Encoded(TemperamentFileContents{});
};

TEST_F(TemperamentFileOnDisk, FilesThatCannotBeReadWholeAreRefused)
{
    fs::create_directory("folder.qrv");
    WriteBytes("short.qrv", Bytes(old.begin(), old.end() - 1));  // an empty table, one byte short
    for (const char* name : {"missing.qrv", "folder.qrv", "short.qrv", ""}) {
        EXPECT_FALSE(ReadTemperamentFile(name).has_value()) << name;
    }
}

// The file size limit cuts the write off after 100 bytes, as a full disk
// would: the old file stays whole and no half-written file is left.
TEST_F(TemperamentFileOnDisk, AWriteCutOffHalfWayLeavesTheOldFileIntact)
{
    WriteBytes("table.qrv", old);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = 100;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto failure = WriteTemperamentFile("table.qrv", SampleContents());
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->systemError, EFBIG);
    EXPECT_EQ(ReadFileBytes("table.qrv"), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path()), fs::directory_iterator()), 1);
}

TEST_F(TemperamentFileOnDisk, AReadOnlyLocationFailsAndKeepsTheOldFile)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not bind the superuser";
    }
    fs::create_directory("locked");
    WriteBytes("locked/table.qrv", old);
    WriteBytes("protected.qrv", old);
    fs::permissions("locked", fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions("protected.qrv", fs::perms::owner_read);

    const auto lockedFolder = WriteTemperamentFile("locked/table.qrv", SampleContents());
    const auto protectedFile = WriteTemperamentFile("protected.qrv", SampleContents());
    fs::permissions("locked", fs::perms::owner_all);

    ASSERT_TRUE(lockedFolder.has_value());
    EXPECT_EQ(lockedFolder->reason, "没有写入权限");
    EXPECT_TRUE(protectedFile.has_value());
    EXPECT_EQ(ReadFileBytes("locked/table.qrv"), old);
    EXPECT_EQ(ReadFileBytes("protected.qrv"), old);
}

}  // namespace
