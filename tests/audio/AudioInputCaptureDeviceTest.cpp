// The real capture device against a private sound server whose virtual
// microphone hears whatever is played into its null sink.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/AudioDefaultInput.h"
#include "platform/AudioInputCaptureDevice.h"
#include "tests/support/FileBytes.h"
#include "tests/support/PrivateSoundServer.h"
#include "tests/support/TakeFileWriter.h"
#include "tools/tones/WaveFileWriter.h"
#include "wave/TakeFile.h"
#include "wave/WaveHeader.h"

using namespace tonarel;

namespace {

/// The sound of a saved take, once its header is checked to state its real length.
std::vector<uint8_t> SavedSound(const std::filesystem::path& file)
{
    std::vector<uint8_t> bytes = tonarel::test::ReadFileBytes(file);
    tonarel::WaveHeader header{};
    const std::size_t headerBytes = std::min(bytes.size(), sizeof header);
    std::memcpy(&header, bytes.data(), headerBytes);
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(headerBytes));
    EXPECT_EQ(static_cast<std::size_t>(header.DataSize), bytes.size());
    EXPECT_EQ(header.ChunkSize, 36 + bytes.size());
    return bytes;
}

/// The temporary files of takes in `folder` (hidden, named after the program).
int TakeFilesIn(const QString& folder)
{
    return static_cast<int>(
        QDir(folder).entryList({QStringLiteral(".tonarel-take*")}, QDir::Files | QDir::Hidden).size());
}

TEST(AudioInputCaptureDevice, RecordsTheServersDefaultSourceSavesWhileRecordingAndOutlivesTheServer)
{
    PrivateSoundServer server;
    QTemporaryDir folder;
    const auto path = [&](const char* name) { return folder.filePath(QString::fromLatin1(name)).toStdString(); };
    const tonarel::CaptureFormat mono{1, 44100, 16};
    tonarel::test::WriteTakeFile(path("temp.wav"), mono, {});

    // A second virtual microphone: which of the two Qt calls its default
    // depends only on their order, whatever the server's default is.
    ASSERT_TRUE(server.Pactl({"load-module", "module-null-sink", "sink_name=othersink", "rate=44100", "channels=1"}));
    ASSERT_TRUE(server.Pactl({"load-module", "module-remap-source", "master=othersink.monitor", "source_name=amic"}));
    for (const char* chosen : {"amic", "vmic"}) {
        ASSERT_TRUE(server.Pactl({"set-default-source", chosen}));
        EXPECT_EQ(tonarel::ChooseCaptureInput().id(), QByteArray(chosen));
    }

    tonarel::AudioInputCaptureDevice device;
    device.Open(path("temp.wav"));
    device.Record();
    server.PlayTone(441, 2);
    QTest::qWait(400);
    EXPECT_EQ(TakeFilesIn(folder.path()), 1) << "the take goes to a file of its own beside the template";
    device.Save(path("first.wav"));
    QTest::qWait(400);
    const uint32_t position = device.PositionMilliseconds();
    device.Save(path("second.wav"));

    // Saving does not stop the take: the later file begins with the earlier one.
    const std::vector<uint8_t> first = SavedSound(path("first.wav"));
    const std::vector<uint8_t> second = SavedSound(path("second.wav"));
    EXPECT_EQ(tonarel::ReadCaptureTemplate(path("second.wav")), mono);
    EXPECT_GT(position, 500u);
    EXPECT_GE(second.size(), position * 88u) << "the position counts the bytes that arrived";
    ASSERT_GT(second.size(), first.size() + 8820);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), second.begin()));

    // A server that dies mid-take: the take stops growing and can still be saved.
    server.KillServer();
    QTest::qWait(500);  // Qt notices, and deletes the stream it handed out
    const uint32_t afterDeath = device.PositionMilliseconds();
    QTest::qWait(300);
    EXPECT_EQ(device.PositionMilliseconds(), afterDeath) << "nothing can arrive from a dead server";
    EXPECT_GE(afterDeath, position);
    device.Save(path("my.wav"));
    device.Close();
    EXPECT_EQ(device.PositionMilliseconds(), 0u);
    EXPECT_EQ(TakeFilesIn(folder.path()), 0) << "no temporary file outlives the take";
    EXPECT_GE(SavedSound(path("my.wav")).size(), afterDeath * 88u);
}

}  // namespace
