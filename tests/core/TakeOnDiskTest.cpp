// The take written to disk as it arrives: the streaming writer's file, the
// temporary file of a take, its saves while the capture goes on, and how a
// take that cannot be written ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/FileBytes.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/tones/WaveFileWriter.h"
#include "wave/CaptureError.h"
#include "wave/StreamingWaveWriter.h"
#include "wave/TakeOnDisk.h"

namespace {

using namespace tonarel;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using test::ReadFileBytes;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const CaptureFormat kMono16{1, 44100, 16};
const CaptureFormat kStereo16{2, 44100, 16};

/// Bytes `from` to `from + count` of one endless sound whose bytes differ
/// from each neighbour (so that a byte lost or repeated anywhere shows).
Bytes Sound(std::size_t count, std::size_t from = 0)
{
    Bytes sound(count);
    for (std::size_t i = 0; i < count; ++i) {
        sound[i] = static_cast<uint8_t>((from + i) * 7);
    }
    return sound;
}

std::span<const std::byte> AsBytes(const Bytes& bytes)
{
    return std::as_bytes(std::span(bytes));
}

/// The capture file for `data` in `format`, encoded here field by field.
Bytes ExpectedFile(const CaptureFormat& format, const Bytes& data)
{
    Bytes file;
    const auto text = [&file](const char* four) { file.insert(file.end(), four, four + 4); };
    const auto put = [&file](uint32_t value, int width) {
        for (int k = 0; k < width; ++k) file.push_back(static_cast<uint8_t>(value >> (8 * k)));
    };
    const uint32_t frame = format.channels * (format.bitsPerSample / 8u);
    text("RIFF");
    put(36 + static_cast<uint32_t>(data.size()), 4);
    text("WAVE");
    text("fmt ");
    put(16, 4);
    put(1, 2);
    put(format.channels, 2);
    put(format.sampleRate, 4);
    put(format.sampleRate * frame, 4);
    put(frame, 2);
    put(format.bitsPerSample, 2);
    text("data");
    put(static_cast<uint32_t>(data.size()), 4);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

/// The hidden temporary files of takes in `folder`.
std::vector<std::string> TemporaryFilesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".tonarel-take")) {
            names.push_back(name);
        }
    }
    return names;
}

struct WriterCase {
    const char* name;
    CaptureFormat format;
    uint32_t maxDataBytes;
    std::vector<std::size_t> pieces;  // the sound arrives in pieces of these sizes
    std::size_t kept;                 // bytes of it the file holds
    friend void PrintTo(const WriterCase& row, std::ostream* out) { *out << row.name; }
};

class StreamingWriter : public ::testing::TestWithParam<WriterCase> {
protected:
    test::TemporaryDirectory folder{test::TemporaryDirectory::Enter::kNo};
};

TEST_P(StreamingWriter, KeepsWholeFramesUpToItsLimitAndStatesTheirLengthWhenFinished)
{
    const WriterCase& row = GetParam();
    const fs::path path = folder / "take.wav";
    StreamingWaveWriter writer(FileDescriptor(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0666)), row.format,
                               row.maxDataBytes);
    ASSERT_EQ(writer.Error(), 0);

    std::size_t total = 0;
    for (const std::size_t piece : row.pieces) {
        ASSERT_EQ(writer.Append(AsBytes(Sound(piece, total))), 0);
        total += piece;
    }
    const Bytes sound = Sound(total);
    const Bytes beforeFinish = ReadFileBytes(path);
    ASSERT_GE(beforeFinish.size(), 44u);
    EXPECT_EQ(Bytes(beforeFinish.begin(), beforeFinish.begin() + 44), ExpectedFile(row.format, {}))
        << "until it is finished the header states an empty recording";

    ASSERT_EQ(writer.Finish(), 0);
    EXPECT_EQ(writer.DataBytes(), row.kept);
    EXPECT_EQ(ReadFileBytes(path), ExpectedFile(row.format, Bytes(sound.begin(), sound.begin() + row.kept)));
}

constexpr uint32_t kNoLimit = UINT32_MAX;

INSTANTIATE_TEST_SUITE_P(
    Pieces, StreamingWriter,
    ::testing::Values(WriterCase{"Nothing", kMono16, kNoLimit, {}, 0},
                      WriterCase{"WholeFramesAtOnce", kMono16, kNoLimit, {8}, 8},
                      WriterCase{"TornFramesJoinAcrossPieces", kMono16, kNoLimit, {3, 1, 5, 1}, 10},
                      WriterCase{"ATornLastFrameIsLeftOut", kMono16, kNoLimit, {5}, 4},
                      WriterCase{"StereoFramesArriveByteByByte", kStereo16, kNoLimit, {1, 1, 1, 6}, 8},
                      WriterCase{"SoundPastTheLimitIsDropped", kMono16, 6, {4, 4, 2}, 6},
                      WriterCase{"TheLimitIsWholeFrames", kStereo16, 10, {3, 9}, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StreamingWriterFailure, AWriteCutOffStopsTheWriterForGood)
{
    test::TemporaryDirectory folder{test::TemporaryDirectory::Enter::kNo};
    const fs::path path = folder / "take.wav";
    StreamingWaveWriter writer(FileDescriptor(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0666)), kMono16,
                               kNoLimit);
    test::FileSizeLimit limit(100);
    ASSERT_TRUE(limit.Active());
    EXPECT_EQ(writer.Append(AsBytes(Sound(40))), 0);
    EXPECT_EQ(writer.Append(AsBytes(Sound(40))), EFBIG);
    EXPECT_EQ(writer.Append(AsBytes(Sound(2))), EFBIG) << "nothing more is written after a failure";
    EXPECT_EQ(writer.Finish(), EFBIG);
    EXPECT_EQ(writer.DataBytes(), 40u);
}

class TakeOnDiskTest : public ::testing::Test {
protected:
    test::TemporaryDirectory folder{test::TemporaryDirectory::Enter::kNo};
};

TEST_F(TakeOnDiskTest, ASavedFileStaysAsSavedWhileTheTakeGoesOnAndEverySaveHoldsTheWholeTake)
{
    const Bytes sound = Sound(3001);  // ends in the first byte of a sample
    auto take = std::make_unique<TakeOnDisk>(folder.Path(), kMono16, kNoLimit);
    ASSERT_TRUE(take->Append(AsBytes(Bytes(sound.begin(), sound.begin() + 1001))));
    EXPECT_EQ(TemporaryFilesIn(folder.Path()).size(), 1u) << "the sound is on disk as it arrives";
    EXPECT_THAT(TemporaryFilesIn(folder.Path()), ElementsAre(HasSubstr("." + std::to_string(getpid()) + ".")))
        << "the temporary file is this program's, in the take's folder";

    take->SaveAs(folder / "first.wav");
    const Bytes first = ExpectedFile(kMono16, Bytes(sound.begin(), sound.begin() + 1000));
    EXPECT_EQ(ReadFileBytes(folder / "first.wav"), first);
    EXPECT_TRUE(TemporaryFilesIn(folder.Path()).empty()) << "the temporary file became the saved one";

    ASSERT_TRUE(take->Append(AsBytes(Bytes(sound.begin() + 1001, sound.end()))));
    EXPECT_EQ(take->DataBytes(), 3000u);
    EXPECT_EQ(ReadFileBytes(folder / "first.wav"), first) << "later sound does not reach the saved file";
    take->SaveAs(folder / "second.wav");
    take->SaveAs(folder / "first.wav");  // over the file saved before, which the take began in
    take->SaveAs(folder / "first.wav");  // and again, with nothing new in between
    const Bytes whole = ExpectedFile(kMono16, Bytes(sound.begin(), sound.begin() + 3000));
    EXPECT_EQ(ReadFileBytes(folder / "second.wav"), whole);
    EXPECT_EQ(ReadFileBytes(folder / "first.wav"), whole);

    ASSERT_TRUE(take->Append(AsBytes(Sound(10))));
    ASSERT_FALSE(TemporaryFilesIn(folder.Path()).empty());
    take.reset();
    EXPECT_TRUE(TemporaryFilesIn(folder.Path()).empty()) << "a take that goes removes its temporary files";
    EXPECT_EQ(ReadFileBytes(folder / "first.wav"), whole);
}

TEST_F(TakeOnDiskTest, AFullDiskLosesTheTakeAtOnceAndTheSaveSaysSoWithoutTouchingTheOldFile)
{
    tones::WriteCaptureFile(folder / "my.wav", tones::Sine(100, 100, 1000));
    const Bytes earlier = ReadFileBytes(folder / "my.wav");
    TakeOnDisk take(folder.Path(), kMono16, kNoLimit);
    ASSERT_TRUE(take.Append(AsBytes(Sound(100))));
    {
        test::FileSizeLimit full(1000);
        ASSERT_TRUE(full.Active());
        EXPECT_FALSE(take.Append(AsBytes(Sound(2000))));
    }
    EXPECT_TRUE(take.Failed());
    EXPECT_TRUE(TemporaryFilesIn(folder.Path()).empty()) << "a lost take frees its disk space at once";
    EXPECT_FALSE(take.Append(AsBytes(Sound(2)))) << "nothing more is kept";
    EXPECT_THAT([&] { take.SaveAs(folder / "my.wav"); },
                ThrowsMessage<CaptureError>(AllOf(HasSubstr(folder.Path().string()), HasSubstr("文件超出允许的大小"),
                                                  HasSubstr("这次录音没有保存"))));
    EXPECT_EQ(ReadFileBytes(folder / "my.wav"), earlier);
}

TEST_F(TakeOnDiskTest, ASaveThatFailsKeepsTheTakeForTheNextTry)
{
    TakeOnDisk take(folder.Path(), kMono16, kNoLimit);
    ASSERT_TRUE(take.Append(AsBytes(Sound(100))));
    EXPECT_THAT([&] { take.SaveAs(folder / "missing" / "my.wav"); },
                ThrowsMessage<CaptureError>(HasSubstr("无法保存录音文件“" + (folder / "missing" / "my.wav").string() +
                                                      "”：文件夹不存在。")));
    fs::create_directory(folder / "my.wav");
    EXPECT_THAT([&] { take.SaveAs(folder / "my.wav"); }, ThrowsMessage<CaptureError>(HasSubstr("已有同名文件夹")));
    ASSERT_TRUE(take.Append(AsBytes(Sound(100, 100))));
    take.SaveAs(folder / "take.wav");
    EXPECT_EQ(ReadFileBytes(folder / "take.wav"), ExpectedFile(kMono16, Sound(200)));
}

TEST_F(TakeOnDiskTest, AFolderRemovedDuringTheTakeFailsTheSaveNamingTheFile)
{
    const fs::path takes = folder / "takes";
    fs::create_directory(takes);
    TakeOnDisk take(takes, kMono16, kNoLimit);
    ASSERT_TRUE(take.Append(AsBytes(Sound(100))));
    fs::remove_all(takes);
    ASSERT_TRUE(take.Append(AsBytes(Sound(100)))) << "the open file takes sound until the save";
    EXPECT_THAT([&] { take.SaveAs(takes / "my.wav"); },
                ThrowsMessage<CaptureError>(HasSubstr("无法保存录音文件“" + (takes / "my.wav").string() + "”：文件夹不存在。")));
    EXPECT_FALSE(fs::exists(takes));
}

TEST_F(TakeOnDiskTest, AFolderThatTakesNoFilesIsRefusedBeforeAnySound)
{
    EXPECT_THAT([&] { TakeOnDisk(folder / "missing", kMono16, kNoLimit); },
                ThrowsMessage<CaptureError>(
                    HasSubstr("无法在文件夹“" + (folder / "missing").string() + "”中录音：文件夹不存在。")));
}

TEST_F(TakeOnDiskTest, ASaveToAnotherFileSystemIsCopiedBesideTheTargetAndTheTakeGoesOn)
{
    // Memory-backed file systems are a different device from the temporary folder on most machines.
    const fs::path other = "/dev/shm";
    struct stat here {}, there {};
    if (::stat(folder.Path().c_str(), &here) != 0 || ::stat(other.c_str(), &there) != 0 ||
        here.st_dev == there.st_dev || ::access(other.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "needs a writable " << other << " on a file system of its own";
    }
    const fs::path target = other / ("tonarel-take-test-" + std::to_string(::getpid()) + ".wav");
    TakeOnDisk take(folder.Path(), kMono16, kNoLimit);
    ASSERT_TRUE(take.Append(AsBytes(Sound(100))));
    take.SaveAs(target);
    ASSERT_TRUE(take.Append(AsBytes(Sound(100, 100))));
    const Bytes saved = ReadFileBytes(target);
    fs::remove(target);
    EXPECT_EQ(saved, ExpectedFile(kMono16, Sound(100)));
    take.SaveAs(folder / "whole.wav");
    EXPECT_EQ(ReadFileBytes(folder / "whole.wav"), ExpectedFile(kMono16, Sound(200)));
    for (const auto& entry : fs::directory_iterator(other)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("." + target.filename().string()))
            << "left behind: " << entry.path();
    }
}

TEST_F(TakeOnDiskTest, TakesLeftByProgramsThatNoLongerRunAreRemovedAndNothingElse)
{
    const pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) {
        _exit(0);
    }
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    const std::string goneTake = ".tonarel-take." + std::to_string(gone) + ".3.tmp";
    const std::vector<std::string> staying = {
        ".tonarel-take." + std::to_string(getpid()) + ".0.tmp",  // this program's own take
        ".tonarel-take.1.0.tmp",                                  // a process that runs
        ".tonarel-take." + std::to_string(gone) + ".tmp",         // not a take's name
        "my.wav",
        "temp.wav",
    };
    for (const std::string& name : staying) {
        std::ofstream(folder / name) << "x";
    }
    std::ofstream(folder / goneTake) << "x";

    EXPECT_EQ(RemoveAbandonedTakes(folder.Path()), 1u);
    EXPECT_FALSE(fs::exists(folder / goneTake));
    for (const std::string& name : staying) {
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    }
    EXPECT_EQ(RemoveAbandonedTakes(folder / "missing"), 0u);
}

}  // namespace
