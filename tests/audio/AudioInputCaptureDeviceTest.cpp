// The real capture device against a private sound server whose virtual
// microphone hears whatever is played into its null sink.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "platform/AudioDefaultInput.h"
#include "platform/AudioInputCaptureDevice.h"
#include "platform/CaptureError.h"
#include "platform/CaptureWaveFile.h"
#include "tests/support/PrivateSoundServer.h"
#include "tests/support/WaveFileWriter.h"
#include "wave/WaveHeader.h"

namespace {

using tonarel::AudioInputCaptureDevice;
using tonarel::CaptureError;

struct SavedTake {
    tonarel::WaveHeader header{};
    std::vector<int16_t> samples;  // everything after the header
};

SavedTake ReadTake(const std::filesystem::path& file)
{
    const std::vector<uint8_t> bytes = tonarel::test::ReadFileBytes(file);
    SavedTake take;
    if (bytes.size() >= sizeof take.header) {
        std::memcpy(&take.header, bytes.data(), sizeof take.header);
        take.samples.resize((bytes.size() - sizeof take.header) / 2);
        std::memcpy(take.samples.data(), bytes.data() + sizeof take.header, take.samples.size() * 2);
    }
    return take;
}

/// Frequency of the loud part of `samples` (44 100 per second), from the
/// upward zero crossings between the first and the last loud sample.
double ToneFrequency(const std::vector<int16_t>& samples)
{
    std::optional<std::size_t> firstCrossing;
    std::size_t lastCrossing = 0;
    std::size_t crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const bool loud = std::abs(samples[i]) > 2000 || std::abs(samples[i - 1]) > 2000 ||
                          (i + 20 < samples.size() && std::abs(samples[i + 20]) > 2000);
        if (loud && samples[i - 1] < 0 && samples[i] >= 0) {
            if (!firstCrossing) {
                firstCrossing = i;
            } else {
                ++crossings;
            }
            lastCrossing = i;
        }
    }
    if (!firstCrossing || crossings == 0) {
        return 0;
    }
    return crossings * 44100.0 / static_cast<double>(lastCrossing - *firstCrossing);
}

class RecordingFromTheVirtualMicrophone : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        try {
            server = std::make_unique<PrivateSoundServer>();
        } catch (const std::exception& error) {
            FAIL() << error.what();
        }
        tonarel::WriteRecordingFile(Path("temp.wav"), tonarel::CaptureFormat{1, 44100, 16}, {});
    }

    std::filesystem::path Path(const char* name) const { return folder.filePath(QString::fromLatin1(name)).toStdString(); }

    QTemporaryDir folder;
    std::unique_ptr<PrivateSoundServer> server;
};

TEST_F(RecordingFromTheVirtualMicrophone, SavesTheToneAsAWaveFileOfTheTemplatesFormat)
{
    AudioInputCaptureDevice device;
    device.Open(Path("temp.wav"));
    device.Record();
    QTest::qWait(300);
    server->PlayTone(441, 3);
    QTest::qWait(1700);
    const uint32_t shownBeforeSave = device.PositionMilliseconds();
    device.Save(Path("my.wav"));
    device.Close();

    const SavedTake take = ReadTake(Path("my.wav"));
    const uint32_t dataSize = static_cast<uint32_t>(take.header.DataSize);
    EXPECT_EQ(take.header.Channels, 1);
    EXPECT_EQ(take.header.SampleRate, 44100);
    EXPECT_EQ(take.header.BitsPerSample, 16);
    EXPECT_EQ(dataSize, take.samples.size() * 2);
    EXPECT_EQ(take.header.ChunkSize, 36 + dataSize);
    // About two seconds were recorded, and the position counts what arrived.
    EXPECT_GT(dataSize, 88200u);
    EXPECT_LT(dataSize, 3 * 88200u);
    EXPECT_GE(dataSize, shownBeforeSave * 88u);
    EXPECT_NEAR(ToneFrequency(take.samples), 441.0, 1.0);
}

TEST_F(RecordingFromTheVirtualMicrophone, SaveKeepsRecordingAndALaterSaveHoldsTheEarlierOne)
{
    AudioInputCaptureDevice device;
    device.Open(Path("temp.wav"));
    device.Record();
    server->PlayTone(441, 2);
    QTest::qWait(400);
    device.Save(Path("first.wav"));
    QTest::qWait(400);
    const uint32_t position = device.PositionMilliseconds();
    device.Save(Path("second.wav"));
    device.Close();
    EXPECT_EQ(device.PositionMilliseconds(), 0u);

    const SavedTake first = ReadTake(Path("first.wav"));
    const SavedTake second = ReadTake(Path("second.wav"));
    EXPECT_GT(position, 500u);
    ASSERT_GT(first.samples.size(), 0u);
    ASSERT_GT(second.samples.size(), first.samples.size() + 4410);
    EXPECT_TRUE(std::equal(first.samples.begin(), first.samples.end(), second.samples.begin()));
}

TEST_F(RecordingFromTheVirtualMicrophone, ServerDyingMidTakeKeepsWhatWasCaptured)
{
    AudioInputCaptureDevice device;
    device.Open(Path("temp.wav"));
    device.Record();
    server->PlayTone(441, 2);
    QTest::qWait(600);
    server->KillServer();
    QTest::qWait(500);  // Qt notices, and deletes the stream it handed out
    const uint32_t afterDeath = device.PositionMilliseconds();
    QTest::qWait(300);
    EXPECT_EQ(device.PositionMilliseconds(), afterDeath) << "nothing can arrive from a dead server";
    EXPECT_GT(afterDeath, 200u);
    device.Save(Path("my.wav"));
    device.Close();
    const SavedTake take = ReadTake(Path("my.wav"));
    EXPECT_EQ(static_cast<uint32_t>(take.header.DataSize), take.samples.size() * 2);
    EXPECT_GE(take.samples.size() * 2, afterDeath * 88u);
}

TEST_F(RecordingFromTheVirtualMicrophone, RecordsFromTheServersDefaultSourceNotQtsFirstInput)
{
    // A second virtual microphone; which of the two Qt calls its default
    // depends only on their order, whatever the desktop's settings say.
    ASSERT_TRUE(server->Pactl({"load-module", "module-null-sink", "sink_name=othersink", "rate=44100", "channels=1"}));
    ASSERT_TRUE(server->Pactl({"load-module", "module-remap-source", "master=othersink.monitor", "source_name=amic"}));
    for (const char* chosen : {"amic", "vmic"}) {
        ASSERT_TRUE(server->Pactl({"set-default-source", chosen}));
        EXPECT_EQ(tonarel::QuerySoundServerDefaultSource(std::chrono::seconds(2)), std::optional<std::string>(chosen));
        EXPECT_EQ(tonarel::ChooseCaptureInput().id(), QByteArray(chosen));
    }
}

TEST(RecordingWithoutASoundServer, OpenFailsWithOneClearErrorAndTheNextOpenTriesAgain)
{
    QTemporaryDir folder;
    PrivateSoundServer::PointAtNoServer(folder);
    const std::filesystem::path templateFile = folder.filePath("temp.wav").toStdString();
    tonarel::WriteRecordingFile(templateFile, tonarel::CaptureFormat{1, 44100, 16}, {});

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(tonarel::QuerySoundServerDefaultSource(std::chrono::seconds(2)), std::nullopt);
    EXPECT_LT(clock.elapsed(), 1000) << "an absent server must not be waited for";

    AudioInputCaptureDevice device;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            device.Open(templateFile);
            ADD_FAILURE() << "opened a device without a sound server";
        } catch (const CaptureError& error) {
            EXPECT_THAT(error.what(), ::testing::HasSubstr("没有找到录音设备"));
        }
    }
    EXPECT_THROW(device.Record(), CaptureError);
    EXPECT_EQ(device.PositionMilliseconds(), 0u);
}

}  // namespace
