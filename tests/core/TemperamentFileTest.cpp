#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temperament/TemperamentFile.h"
#include "tests/support/TemporaryDirectory.h"

namespace {

using namespace tonarel;
namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TemperamentFileContents SampleContents()
{
    TemperamentFileContents contents;
    contents.trebleCount = 3;
    contents.bassCursor = 62;
    for (std::size_t slot = 0; slot < kTemperamentSlots; ++slot) {
        contents.measured[slot] = 100.0f + static_cast<float>(slot);
    }
    contents.measured[0] = 440.0f;
    contents.measured[119] = -0.0f;  // slots outside the entries travel as they stand
    contents.measured[118] = std::bit_cast<float>(0x7fc12345u);
    return contents;
}

Bytes Encoded(const TemperamentFileContents& contents)
{
    const TemperamentFileBytes bytes = EncodeTemperamentFile(contents);
    return Bytes(bytes.begin(), bytes.end());
}

// ---- Layout -------------------------------------------------------------

TEST(TemperamentFileLayout, IsMagicThenCountersThenAllSlotsLittleEndian)
{
    const Bytes bytes = Encoded(SampleContents());
    ASSERT_EQ(bytes.size(), 491u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11),
              (Bytes{'q', 'r', 'v', 3, 0, 0, 0, 62, 0, 0, 0}));
    // 440.0f is 0x43DC0000; 101.0f is 0x42CA0000.
    EXPECT_EQ(Bytes(bytes.begin() + 11, bytes.begin() + 19), (Bytes{0x00, 0x00, 0xDC, 0x43, 0x00, 0x00, 0xCA, 0x42}));
    EXPECT_EQ(Bytes(bytes.begin() + 483, bytes.end()), (Bytes{0x45, 0x23, 0xC1, 0x7F, 0x00, 0x00, 0x00, 0x80}));
}

TEST(TemperamentFileLayout, AnEmptyTableStillFillsAll491Bytes)
{
    const Bytes bytes = Encoded(ContentsOf(TemperamentTable{}));
    ASSERT_EQ(bytes.size(), 491u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11), (Bytes{'q', 'r', 'v', 0, 0, 0, 0, 60, 0, 0, 0}));
    EXPECT_EQ(std::count(bytes.begin() + 11, bytes.end(), 0), 480) << "a fresh table is zeros, not stale memory";
}

// ---- Which bytes are a temperament file ---------------------------------

struct DecodeCase {
    const char* name;
    void (*mutate)(Bytes&);
    bool accepted;
    friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

void PutInt32(Bytes& bytes, std::size_t offset, int32_t value)
{
    for (int byte = 0; byte < 4; ++byte) {
        bytes[offset + static_cast<std::size_t>(byte)] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * byte));
    }
}

class DecodedBytes : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodedBytes, AreAcceptedOnlyWhenTheyCanBeReplayed)
{
    Bytes bytes = Encoded(SampleContents());
    GetParam().mutate(bytes);
    EXPECT_EQ(DecodeTemperamentFile(bytes).has_value(), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodedBytes,
    ::testing::Values(
        DecodeCase{"Unchanged", [](Bytes&) {}, true},
        DecodeCase{"TrailingBytesIgnored", [](Bytes& b) { b.insert(b.end(), {1, 2, 3}); }, true},
        DecodeCase{"MagicInUpperCase", [](Bytes& b) { b[0] = 'Q', b[1] = 'R', b[2] = 'V'; }, false},
        DecodeCase{"OtherMagic", [](Bytes& b) { b[2] = 'w'; }, false},
        DecodeCase{"OneByteShort", [](Bytes& b) { b.pop_back(); }, false},
        DecodeCase{"OnlyTheMagic", [](Bytes& b) { b.resize(3); }, false},
        DecodeCase{"Empty", [](Bytes& b) { b.clear(); }, false},
        DecodeCase{"TrebleCountZero", [](Bytes& b) { PutInt32(b, 3, 0); }, true},
        DecodeCase{"TrebleCountFull", [](Bytes& b) { PutInt32(b, 3, 60); }, true},
        DecodeCase{"TrebleCountNegative", [](Bytes& b) { PutInt32(b, 3, -1); }, false},
        DecodeCase{"TrebleCountPastCapacity", [](Bytes& b) { PutInt32(b, 3, 61); }, false},
        DecodeCase{"BassCursorEmpty", [](Bytes& b) { PutInt32(b, 7, 60); }, true},
        DecodeCase{"BassCursorFull", [](Bytes& b) { PutInt32(b, 7, 120); }, true},
        DecodeCase{"BassCursorBelowItsFirstSlot", [](Bytes& b) { PutInt32(b, 7, 59); }, false},
        DecodeCase{"BassCursorPastCapacity", [](Bytes& b) { PutInt32(b, 7, 121); }, false},
        DecodeCase{"BassCursorHugeUnsigned", [](Bytes& b) { PutInt32(b, 7, std::numeric_limits<int32_t>::min()); },
                   false}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

// ---- Files on disk ------------------------------------------------------

class TemperamentFileOnDisk : public ::testing::Test {
protected:
    tonarel::test::TemporaryDirectory scratch;
};

TEST_F(TemperamentFileOnDisk, WrittenFileReadsBackTheSame)
{
    const std::string path = (scratch / "音律.qrv").string();
    ASSERT_FALSE(WriteTemperamentFile(path.c_str(), SampleContents()).has_value());
    EXPECT_EQ(ReadBytes(path), Encoded(SampleContents()));
    const auto read = ReadTemperamentFile(path.c_str());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(Encoded(*read), Encoded(SampleContents()));
}

TEST_F(TemperamentFileOnDisk, UnreadableNamesAreRefusedNotCrashed)
{
    fs::create_directory("folder.qrv");
    WriteBytes("short.qrv", Bytes{'q', 'r', 'v', 0, 0});
    EXPECT_FALSE(ReadTemperamentFile("missing.qrv").has_value());
    EXPECT_FALSE(ReadTemperamentFile("folder.qrv").has_value());
    EXPECT_FALSE(ReadTemperamentFile("short.qrv").has_value());
    EXPECT_FALSE(ReadTemperamentFile("").has_value());
}

TEST_F(TemperamentFileOnDisk, SavingThroughALinkUpdatesTheLinkedFile)
{
    WriteBytes("real.qrv", Bytes(491, 0));
    fs::create_symlink("real.qrv", "link.qrv");
    ASSERT_FALSE(WriteTemperamentFile("link.qrv", SampleContents()).has_value());
    EXPECT_TRUE(fs::is_symlink("link.qrv"));
    EXPECT_EQ(ReadBytes("real.qrv"), Encoded(SampleContents()));
}

std::vector<std::string> NamesIn(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A write that fails part-way (here: the file size limit cuts it off after
// 100 bytes, as a full disk would) must leave the old file whole and no
// half-written file behind.
TEST_F(TemperamentFileOnDisk, AWriteCutOffHalfWayLeavesTheOldFileIntact)
{
    const Bytes old = Encoded(TemperamentFileContents{});
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
    EXPECT_FALSE(failure->reason.empty());
    EXPECT_EQ(ReadBytes("table.qrv"), old);
    EXPECT_EQ(NamesIn(scratch.Path()), std::vector<std::string>{"table.qrv"});
}

TEST_F(TemperamentFileOnDisk, ImpossibleNamesAreReportedAndLeaveWhatIsThere)
{
    fs::create_directory("folder.qrv");
    const auto missingFolder = WriteTemperamentFile("no/such/folder/a.qrv", SampleContents());
    const auto folder = WriteTemperamentFile("folder.qrv", SampleContents());
    ASSERT_TRUE(missingFolder.has_value());
    EXPECT_EQ(missingFolder->reason, "文件夹不存在");
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(folder->systemError, EISDIR);
    EXPECT_TRUE(fs::is_directory("folder.qrv"));
}

// Permission bits do not bind the superuser; these run for everyone else.
TEST_F(TemperamentFileOnDisk, AReadOnlyLocationFailsAndKeepsTheOldFile)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "the superuser may write anywhere";
    }
    const Bytes old = Encoded(TemperamentFileContents{});
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
    ASSERT_TRUE(protectedFile.has_value());
    EXPECT_EQ(ReadBytes("locked/table.qrv"), old);
    EXPECT_EQ(ReadBytes("protected.qrv"), old);
}

}  // namespace
