#include <gtest/gtest.h>

#include <bit>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "temperament/core/TemperamentFile.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"

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

// A named pipe or a device is refused at once, before an open that would
// wait for a writer, and with a message of its own.
TEST_F(TemperamentFileOnDisk, FilesThatCannotBeReadWholeAreRefused)
{
    fs::create_directory("folder.qrv");
    WriteBytes("short.qrv", Bytes(old.begin(), old.end() - 1));  // an empty table, one byte short
    ASSERT_EQ(mkfifo("pipe.qrv", 0600), 0);
    fs::create_symlink("pipe.qrv", "link-to-pipe.qrv");
    struct Row {
        const char* name;
        const char* refusal;
    };
    for (const Row row : {Row{"missing.qrv", kNotTemperamentFileMessage}, Row{"folder.qrv", kNotTemperamentFileMessage},
                          Row{"short.qrv", kNotTemperamentFileMessage}, Row{"", kNotTemperamentFileMessage},
                          Row{"pipe.qrv", kNotRegularFileMessage}, Row{"link-to-pipe.qrv", kNotRegularFileMessage},
                          Row{"/dev/null", kNotRegularFileMessage}}) {
        const char* refusal = nullptr;
        EXPECT_FALSE(ReadTemperamentFile(row.name, &refusal).has_value()) << row.name;
        EXPECT_STREQ(refusal, row.refusal) << row.name;
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

/// Runs `save` (which returns 0 or an errno below 255) with an ordinary
/// user's rights, so that permission bits bind it: in this process when it
/// runs as an ordinary user, otherwise in a child process that gives up the
/// superuser's rights for those of "nobody". Empty when no such child can be
/// had.
std::optional<int> AsOrdinaryUser(const std::function<int()>& save)
{
    if (geteuid() != 0) {
        return save();
    }
    const pid_t child = fork();
    if (child < 0) {
        return std::nullopt;
    }
    if (child == 0) {
        const uid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setresgid(nobody, nobody, nobody) != 0 ||
            setresuid(nobody, nobody, nobody) != 0) {
            _exit(255);
        }
        _exit(save());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255) {
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

int SaveErrorOf(const fs::path& path, const TemperamentFileContents& contents)
{
    const auto failure = WriteTemperamentFile(path, contents);
    return failure ? failure->systemError : 0;
}

class TemperamentFileWithoutRights : public TemperamentFileOnDisk {
protected:
    void SetUp() override
    {
        // An ordinary user must reach the files of this test.
        fs::permissions(scratch.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                            fs::perms::others_read | fs::perms::others_exec);
        fs::create_directory("locked");
    }
    void TearDown() override { fs::permissions("locked", fs::perms::owner_all); }

    static constexpr auto kReadAndSearch = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    static constexpr auto kReadWrite = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                       fs::perms::group_write | fs::perms::others_read | fs::perms::others_write;
    static constexpr auto kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
};

TEST_F(TemperamentFileWithoutRights, AReadOnlyFileIsRefusedWhereverItLiesAndKept)
{
    WriteBytes("locked/table.qrv", old);
    WriteBytes("protected.qrv", old);
    fs::permissions("locked/table.qrv", kReadOnly);
    fs::permissions("protected.qrv", kReadOnly);
    fs::permissions("locked", kReadAndSearch);

    const std::optional<int> lockedFolder = AsOrdinaryUser([] { return SaveErrorOf("locked/table.qrv", SampleContents()); });
    const std::optional<int> protectedFile = AsOrdinaryUser([] { return SaveErrorOf("protected.qrv", SampleContents()); });
    if (!lockedFolder || !protectedFile) {
        GTEST_SKIP() << "no ordinary user to run as";
    }
    EXPECT_EQ(*lockedFolder, EACCES);
    EXPECT_EQ(*protectedFile, EACCES);
    EXPECT_EQ(ReadFileBytes("locked/table.qrv"), old);
    EXPECT_EQ(ReadFileBytes("protected.qrv"), old);
}

// A folder where no temporary file can be made, holding a writable file: the
// save goes straight into the file, as the only way it can be saved at all.
TEST_F(TemperamentFileWithoutRights, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace)
{
    WriteBytes("locked/table.qrv", Bytes(600, 'x'));  // longer than a table: the rest is cut off
    fs::permissions("locked/table.qrv", kReadWrite);
    fs::permissions("locked", kReadAndSearch);
    const std::optional<int> saved = AsOrdinaryUser([] { return SaveErrorOf("locked/table.qrv", SampleContents()); });
    if (!saved) {
        GTEST_SKIP() << "no ordinary user to run as";
    }
    EXPECT_EQ(*saved, 0);
    EXPECT_EQ(ReadFileBytes("locked/table.qrv"), Encoded(SampleContents()));
    EXPECT_EQ(std::distance(fs::directory_iterator("locked"), fs::directory_iterator()), 1);
}

// A name so long that no temporary name fits beside it (a name holds at most
// 255 bytes) keeps out the superuser too, so these rows run everywhere.
struct InPlaceCase {
    const char* name;
    std::size_t oldBytes;  // of the file before the save
    uint64_t sizeLimit;    // the largest file the process may write; 0: none
    int error;             // what the save reports
};

class TemperamentFileInPlace : public TemperamentFileOnDisk, public ::testing::WithParamInterface<InPlaceCase> {};

TEST_P(TemperamentFileInPlace, IsWrittenStraightIntoTheFileAndStillReportsAFailure)
{
    const InPlaceCase& row = GetParam();
    const std::string name = std::string(250, 'n') + ".qrv";
    WriteBytes(name, Bytes(row.oldBytes, 'x'));
    int error = 0;
    {
        std::optional<test::FileSizeLimit> limit;
        if (row.sizeLimit != 0) {
            limit.emplace(row.sizeLimit);
            ASSERT_TRUE(limit->Active());
        }
        error = SaveErrorOf(name, SampleContents());
    }
    EXPECT_EQ(error, row.error);
    if (row.error == 0) {
        EXPECT_EQ(ReadFileBytes(name), Encoded(SampleContents()));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path()), fs::directory_iterator()), 1)
        << "no other file appears";
}

INSTANTIATE_TEST_SUITE_P(Cases, TemperamentFileInPlace,
                         ::testing::Values(InPlaceCase{"OverATable", 491, 0, 0},
                                           InPlaceCase{"OverALongerFile", 600, 0, 0},
                                           InPlaceCase{"CutOffByAFullDisk", 0, 100, EFBIG}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
