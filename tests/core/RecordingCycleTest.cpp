// The recording cycle without a window: the files it is given, when the stop
// unlocks, and how every failure leaves it idle with the device closed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "meter/core/RecordingCycle.h"
#include "tests/support/CaptureDeviceStandIn.h"
#include "tests/support/TemporaryDirectory.h"
#include "wave/CaptureError.h"
#include "wave/CaptureFile.h"

namespace {

using namespace tonarel;
using ::testing::ElementsAre;
namespace fs = std::filesystem;

class RecordingCycleTest : public ::testing::Test {
protected:
    // The takes live in a folder of their own, not in the current directory.
    test::TemporaryDirectory folder{test::TemporaryDirectory::Enter::kNo};
    std::shared_ptr<CaptureDeviceScript> script = std::make_shared<CaptureDeviceScript>();
    RecordingCycle cycle{std::make_unique<CaptureDeviceStandIn>(script),
                         {folder / "temp.wav", folder / "my.wav"}};

    std::string Step(const char* verb, const char* file) const { return verb + (" " + (folder / file).string()); }
};

TEST_F(RecordingCycleTest, RecordsIntoTheFilesItWasGivenAndDeletesTheLastTake)
{
    script->take = {100, -100, 200};
    cycle.Start();
    EXPECT_FALSE(cycle.ReadyToRecord());
    EXPECT_EQ(fs::file_size(folder / "temp.wav"), 44u) << "the template, written before the device opens";
    EXPECT_EQ(cycle.Stop(), nullptr);
    EXPECT_TRUE(cycle.ReadyToRecord());
    EXPECT_THAT(script->calls, ElementsAre(Step("open", "temp.wav"), "record", Step("save", "my.wav"), "close"));
    const std::optional<CaptureFile> take = CaptureFile::Open(folder / "my.wav");
    ASSERT_TRUE(take.has_value());
    EXPECT_EQ(take->Header().DataSize, 6);

    cycle.DeleteTake();
    EXPECT_FALSE(fs::exists(folder / "my.wav"));
    cycle.DeleteTake();  // a take that is not there is no error
}

struct PollCase {
    const char* name;
    std::vector<uint32_t> positions;  // one per poll, in milliseconds
    std::vector<bool> unlocked;       // what each poll decides
    friend void PrintTo(const PollCase& row, std::ostream* out) { *out << row.name; }
};

class RecordingCyclePolls : public RecordingCycleTest, public ::testing::WithParamInterface<PollCase> {};

TEST_P(RecordingCyclePolls, UnlockTheStopPastHalfASecondOrAfterASecondWithoutGrowth)
{
    cycle.Start();
    std::vector<bool> unlocked;
    for (const uint32_t position : GetParam().positions) {
        script->position = position;
        const RecordingCycle::Poll poll = cycle.PollPosition();
        EXPECT_EQ(poll.shownMilliseconds, position);
        unlocked.push_back(poll.stopUnlocked);
    }
    EXPECT_EQ(unlocked, GetParam().unlocked);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, RecordingCyclePolls,
    ::testing::Values(
        PollCase{"PastTheLock", {100, 500, 501}, {false, false, true}},
        // A take that never grows: the tenth poll without growth unlocks.
        PollCase{"StalledFromTheStart", std::vector<uint32_t>(10, 0), {false, false, false, false, false, false,
                                                                      false, false, false, true}},
        PollCase{"GrowthRestartsTheCount", {300, 300, 300, 300, 300, 300, 300, 300, 300, 400, 400},
                 {false, false, false, false, false, false, false, false, false, false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordingCycleTest, APollTellsOfALostTakeWhoseStopHandsBackWhyAndSavesNothing)
{
    cycle.Start();
    EXPECT_FALSE(cycle.PollPosition().takeLost);
    script->captureFailure = "录音无法写入文件夹：磁盘空间不足。这次录音没有保存。";
    EXPECT_TRUE(cycle.PollPosition().takeLost);

    const std::exception_ptr failure = cycle.Stop();
    ASSERT_NE(failure, nullptr);
    EXPECT_THROW(std::rethrow_exception(failure), CaptureError);
    EXPECT_TRUE(cycle.ReadyToRecord());
    EXPECT_FALSE(script->isOpen);
    EXPECT_FALSE(fs::exists(folder / "my.wav"));
}

struct FailureCase {
    const char* name;
    std::optional<std::string> CaptureDeviceScript::*failure;
    std::vector<std::string> steps;  // "open" and "save" name the cycle's own files
    friend void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }
};

class RecordingCycleFailure : public RecordingCycleTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RecordingCycleFailure, LeavesTheCycleIdleWithTheDeviceClosed)
{
    const FailureCase& row = GetParam();
    (*script).*row.failure = "录音设备出错了。";
    const bool failsAtStart = row.failure != &CaptureDeviceScript::saveFailure;
    if (failsAtStart) {
        EXPECT_THROW(cycle.Start(), CaptureError);
    } else {
        cycle.Start();
        const std::exception_ptr failure = cycle.Stop();
        ASSERT_NE(failure, nullptr) << "a failed save is handed back, not thrown";
        EXPECT_THROW(std::rethrow_exception(failure), CaptureError);
    }
    EXPECT_TRUE(cycle.ReadyToRecord());
    EXPECT_FALSE(script->isOpen);
    std::vector<std::string> expected;
    for (const std::string& step : row.steps) {
        expected.push_back(step == "open" ? Step("open", "temp.wav") : step == "save" ? Step("save", "my.wav") : step);
    }
    EXPECT_EQ(script->calls, expected);
}

INSTANTIATE_TEST_SUITE_P(Steps, RecordingCycleFailure,
                         ::testing::Values(FailureCase{"Open", &CaptureDeviceScript::openFailure, {"open"}},
                                           FailureCase{"Record", &CaptureDeviceScript::recordFailure,
                                                       {"open", "record", "close"}},
                                           FailureCase{"Save", &CaptureDeviceScript::saveFailure,
                                                       {"open", "record", "save", "close"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
