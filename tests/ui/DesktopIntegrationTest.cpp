// Tonarel as a desktop program: its takes in a folder of its own, the display
// platform it asks for, the about box's version and licence.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "meter/PitchMeterWindow.h"
#include "shell/AboutBox.h"
#include "shell/ApplicationWindows.h"
#include "shell/DisplayPlatform.h"
#include "shell/MainWindow.h"
#include "shell/TakeFolder.h"
#include "tests/support/CaptureDeviceStandIn.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/WindowSetTest.h"
#include "tools/tones/WaveFileWriter.h"
#include "wave/TakeFiles.h"

using namespace tonarel;

namespace {

namespace fs = std::filesystem;
using namespace tonarel::test;
using namespace tonarel::tones;

// The windows are made with the program's take folder set, as start-up makes
// them, in a working directory that holds a "my.wav" and a "temp.wav" of the
// user's.
class TakeFolderTest : public WindowSetTest {
protected:
    void SetUp() override
    {
        SetApplicationTakeFolder(takes.Path());
        WindowSetTest::SetUp();
        script = std::make_shared<CaptureDeviceScript>();
        Windows().pitchMeter->ReplaceCaptureDevice(std::make_unique<CaptureDeviceStandIn>(script));
    }
    void TearDown() override
    {
        WindowSetTest::TearDown();
        SetApplicationTakeFolder({});
    }

    TemporaryDirectory takes{TemporaryDirectory::Enter::kNo};
    std::shared_ptr<CaptureDeviceScript> script;
};

TEST_F(TakeFolderTest, RecordingAndExitingNeverTouchTheUsersFilesOfTheSameNames)
{
    const std::vector<uint8_t> usersTake = {'m', 'i', 'n', 'e'};
    WriteCaptureFile("temp.wav", Sine(4410, 100, 5000));
    {
        std::FILE* file = std::fopen("my.wav", "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(usersTake.data(), 1, usersTake.size(), file);
        std::fclose(file);
    }
    const std::vector<uint8_t> usersTemplate = ReadFileBytes("temp.wav");

    script->take = ToneBetweenSilences();
    for (int take = 0; take < 2; ++take) {
        QTest::mouseClick(Windows().pitchMeter->recordButton, Qt::LeftButton);
        script->position = 800;
        Windows().pitchMeter->RecordingTimerTick(Windows().pitchMeter->recordingTimer);
        QTest::mouseClick(Windows().pitchMeter->recordButton, Qt::LeftButton);
    }
    EXPECT_EQ(Windows().pitchMeter->snrValue->text(), "20") << "the take was analysed from the program's folder";
    EXPECT_TRUE(fs::exists(takes / "my.wav"));
    EXPECT_EQ(fs::file_size(takes / "temp.wav"), 44u);

    QTimer::singleShot(0, Windows().mainWindow, [] { Windows().mainWindow->exitItem->trigger(); });
    QTimer::singleShot(5000, Windows().mainWindow, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(fs::exists(takes / "my.wav")) << "the program's own take goes at exit";

    EXPECT_EQ(ReadFileBytes("my.wav"), usersTake);
    EXPECT_EQ(ReadFileBytes("temp.wav"), usersTemplate);
    EXPECT_TRUE(messages.empty());
}

// The start-up's folder: in the user's cache, created with its parents; one
// that cannot be made is named in the error box and still used, so that
// nothing falls back on the working directory.
class OwnTakeFolderTest : public WindowSetTest {
protected:
    void SetUp() override
    {
        WindowSetTest::SetUp();
        if (const char* cache = std::getenv("XDG_CACHE_HOME")) {
            previousCache = cache;
        }
    }
    void TearDown() override
    {
        if (previousCache) {
            setenv("XDG_CACHE_HOME", previousCache->c_str(), 1);
        } else {
            unsetenv("XDG_CACHE_HOME");
        }
        SetApplicationTakeFolder({});
        WindowSetTest::TearDown();
    }

    TemporaryDirectory cache{TemporaryDirectory::Enter::kNo};
    std::optional<std::string> previousCache;
};

TEST_F(OwnTakeFolderTest, IsMadeInTheUsersCacheAndAFailureSaysWhichFolder)
{
    setenv("XDG_CACHE_HOME", (cache / "deep" / "cache").c_str(), 1);
    UseOwnTakeFolder();
    EXPECT_EQ(ApplicationTakeFolder(), cache / "deep" / "cache" / "Tonarel");
    EXPECT_TRUE(fs::is_directory(ApplicationTakeFolder()));
    EXPECT_TRUE(messages.empty());

    // A file where a folder must go fails even for root.
    WriteCaptureFile(cache / "blocked", {});
    setenv("XDG_CACHE_HOME", (cache / "blocked").c_str(), 1);
    UseOwnTakeFolder();
    EXPECT_EQ(ApplicationTakeFolder(), cache / "blocked" / "Tonarel");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Error);
    EXPECT_THAT(messages[0].second.toStdString(), ::testing::HasSubstr((cache / "blocked" / "Tonarel").string()));
}

struct PlatformCase {
    const char* name;
    DisplaySession session;
    std::optional<std::string> platform;
    friend void PrintTo(const PlatformCase& row, std::ostream* out) { *out << row.name; }
};

class DisplayPlatformTest : public ::testing::TestWithParam<PlatformCase> {};

TEST_P(DisplayPlatformTest, AWaylandSessionWithAnXDisplayRunsOnIt)
{
    EXPECT_EQ(PlatformForPlacedWindows(GetParam().session), GetParam().platform);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, DisplayPlatformTest,
    ::testing::Values(PlatformCase{"WaylandWithXWayland", {nullptr, "wayland-0", "wayland", ":0"}, "xcb"},
                      PlatformCase{"WaylandSessionTypeOnly", {nullptr, nullptr, "wayland", ":1"}, "xcb"},
                      PlatformCase{"WaylandWithoutX", {nullptr, "wayland-0", "wayland", nullptr}, std::nullopt},
                      PlatformCase{"WaylandWithEmptyX", {nullptr, "wayland-0", nullptr, ""}, std::nullopt},
                      PlatformCase{"PlainX11", {nullptr, nullptr, "x11", ":0"}, std::nullopt},
                      PlatformCase{"TheUsersChoiceStands", {"wayland", "wayland-0", "wayland", ":0"}, std::nullopt},
                      PlatformCase{"NoDisplayAtAll", {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

class AboutBoxTest : public WindowSetTest {};

TEST_F(AboutBoxTest, ShowsTheBuildsVersionAndTheLicenceAndNoInventedAddress)
{
    const AboutBox box(Windows().mainWindow);
    EXPECT_EQ(box.version->text(), QStringLiteral("Version : ") + QStringLiteral(TONAREL_VERSION));
    EXPECT_EQ(box.licenceField->text(), "许可证 GPL-3.0-or-later");
    EXPECT_EQ(box.licenceAddressField->text(), "https://www.gnu.org/licenses/gpl-3.0.html");
    for (const QString& text : {box.copyright->text(), box.licenceField->text(), box.licenceAddressField->text()}) {
        EXPECT_FALSE(text.contains("example")) << text.toStdString();
    }
}

}  // namespace
