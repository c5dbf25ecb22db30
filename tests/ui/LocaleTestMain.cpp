// Runs the window tests under the locale that TONAREL_TEST_LOCALE names
// ("de_DE.UTF-8", "ps_AF.UTF-8"), generated for this process alone before
// the application object takes it from the environment, as it takes the
// user's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "shell/TonarelApplication.h"
#include "tests/support/PrivateConfiguration.h"
#include "tests/support/PrivateLocale.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleMock(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();  // listing needs no application
    }
    const char* name = std::getenv("TONAREL_TEST_LOCALE");
    if (name == nullptr) {
        std::fputs("TONAREL_TEST_LOCALE must name the locale to test under\n", stderr);
        return 2;
    }
    std::unique_ptr<tonarel::test::PrivateLocale> locale;
    try {
        locale = std::make_unique<tonarel::test::PrivateLocale>(name);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    tonarel::test::UsePrivateConfiguration();
    tonarel::TonarelApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
