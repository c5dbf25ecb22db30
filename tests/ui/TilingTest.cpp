// The tiling of the windows on a given screen. Each test needs its screen
// size: ctest runs them on offscreen screens of that size, with window frames.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "meter/PitchMeterWindow.h"
#include "scope/OscilloscopeWindow.h"
#include "shell/ApplicationWindows.h"
#include "shell/MainWindow.h"
#include "temperament/TemperamentManagerWindow.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

class Tiling : public WindowSetTest {
protected:
    static void ExpectTiling(QSize screen, QRect main, QRect oscilloscope, QRect pitchMeter, QRect manager)
    {
        ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), screen)
            << "needs a screen of this size (QT_QPA_PLATFORM=offscreen:configfile=…)";
        const std::pair<TonarelForm*, QRect> expected[] = {
            {Windows().mainWindow, main}, {Windows().oscilloscope, oscilloscope}, {Windows().pitchMeter, pitchMeter}, {Windows().temperamentManager, manager}};
        for (const auto& [window, outer] : expected) {
            EXPECT_EQ(window->frameGeometry(), outer) << window->objectName().toStdString();
        }
    }
};

TEST_F(Tiling, On1024x768Screen)
{
    ExpectTiling(QSize(1024, 768), QRect(0, 0, 1024, 153), QRect(0, 153, 500, 173), QRect(0, 326, 500, 278),
                 QRect(500, 153, 310, 453));
}

TEST_F(Tiling, On1280x1024Screen)
{
    ExpectTiling(QSize(1280, 1024), QRect(0, 0, 1280, 204), QRect(0, 204, 500, 173), QRect(0, 377, 500, 278),
                 QRect(500, 204, 310, 453));
}

}  // namespace
