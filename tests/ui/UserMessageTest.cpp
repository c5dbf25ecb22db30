#include <gtest/gtest.h>

#include <QTimer>
#include <stdexcept>
#include <utility>
#include <vector>

#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

using UserMessageTest = WindowSetTest;

TEST_F(UserMessageTest, ExceptionEscapingAnEventHandlerIsShownInTheErrorBoxAndTheLoopGoesOn)
{
    QObject receiver;
    bool laterEventRan = false;
    QTimer::singleShot(0, &receiver, [] { throw std::runtime_error("设备无法打开"); });
    QTimer::singleShot(0, &receiver, [] { throw 42; });  // of a type with no text
    QTimer::singleShot(0, &receiver, [&] { laterEventRan = true; });
    ProcessEvents();
    const std::vector<std::pair<UserMessageKind, QString>> expected = {{UserMessageKind::Error, "设备无法打开"},
                                                                       {UserMessageKind::Error, QString()}};
    EXPECT_EQ(messages, expected);
    EXPECT_TRUE(laterEventRan);
}

}  // namespace
