// Runs the window tests inside one application object on Qt's offscreen
// platform (unless the caller chose another one).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include "shell/TonarelApplication.h"
#include "tests/support/PrivateConfiguration.h"

using namespace tonarel;

int main(int argc, char** argv)
{
    ::testing::InitGoogleMock(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();  // listing needs no application
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    tonarel::test::UsePrivateConfiguration();
    TonarelApplication application(argc, argv);
    const int result = RUN_ALL_TESTS();
    // Windows and boxes a test closed may still wait for their deferred
    // deletion; they go before the application does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
