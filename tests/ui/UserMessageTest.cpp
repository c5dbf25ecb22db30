#include <gtest/gtest.h>

#include <QTimer>
#include <stdexcept>
#include <utility>
#include <vector>

#include "shell/TonarelApplication.h"
#include "shell/UserMessage.h"

namespace {

class RecordedMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUserMessageHandler([this](UserMessageKind kind, const QString& text) { shown.emplace_back(kind, text); });
    }
    void TearDown() override { SetUserMessageHandler({}); }

    std::vector<std::pair<UserMessageKind, QString>> shown;
};

TEST_F(RecordedMessages, GuardedHandlerShowsTheExceptionTextInTheErrorBox)
{
    RunGuarded([] { throw std::runtime_error("设备无法打开"); });
    RunGuarded([] { throw 42; });
    RunGuarded([] {});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], std::make_pair(UserMessageKind::Error, QStringLiteral("设备无法打开")));
    EXPECT_EQ(shown[1], std::make_pair(UserMessageKind::Error, QString()));
}

TEST_F(RecordedMessages, ExceptionEscapingAnEventHandlerIsShownAndTheLoopGoesOn)
{
    QObject receiver;
    bool laterEventRan = false;
    QTimer::singleShot(0, &receiver, [] { throw std::runtime_error("boom"); });
    QTimer::singleShot(0, &receiver, [&] { laterEventRan = true; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].second, QStringLiteral("boom"));
    EXPECT_TRUE(laterEventRan);
}

}  // namespace
