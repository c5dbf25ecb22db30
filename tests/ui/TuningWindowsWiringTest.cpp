// The tuning windows as the program makes them: reached from the Window menu
// and the tool bar, the tuner hidden at a first start, and the piano's
// stretch curve made the tuner's target.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMenu>

#include "piano/StretchCurve.h"
#include "pianotuning/PianoTuningWindow.h"
#include "shell/ApplicationWindows.h"
#include "shell/MainWindow.h"
#include "tests/support/WindowSetTest.h"
#include "tuner/TunerWindow.h"
#include "tuner/core/PitchNames.h"

using namespace tonarel;

namespace {

using TuningWindowsWiringTest = WindowSetTest;

TEST_F(TuningWindowsWiringTest, WindowMenuAndToolBarBringTheTuningWindowsAfterTheThreeWorkingWindows)
{
    MainWindow* main = Windows().mainWindow;
    const QList<QAction*> items = main->windowMenuItem->menu()->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[3], main->tunerItem);
    EXPECT_EQ(items[4], main->pianoTuningItem);
    EXPECT_EQ(main->tunerItem->text(), QStringLiteral("调音器"));
    EXPECT_EQ(main->pianoTuningItem->text(), QStringLiteral("钢琴调律"));
    EXPECT_GT(main->tunerButton->x(), main->temperamentManagerButton->x());
    EXPECT_GT(main->pianoTuningButton->x(), main->tunerButton->x());

    EXPECT_FALSE(Windows().tuner->isVisible()) << "not shown at a first start";
    EXPECT_FALSE(Windows().pianoTuning->isVisible());
    main->tunerItem->trigger();
    EXPECT_TRUE(Windows().tuner->isVisible());
    EXPECT_TRUE(Windows().tuner->windowTitle().contains(QStringLiteral("调音器")));
    main->pianoTuningItem->trigger();
    EXPECT_TRUE(Windows().pianoTuning->isVisible());
    EXPECT_TRUE(Windows().pianoTuning->windowTitle().contains(QStringLiteral("钢琴调律")));
}

TEST_F(TuningWindowsWiringTest, ThePianosStretchCurveBecomesTheTunersTargetUntilCleared)
{
    const piano::StretchCurve curve = piano::AverageGrandStretchCurve();
    const double c8 = tuning::EqualTemperedHz(108, 440.0);
    ASSERT_NEAR(Windows().tuner->System().Nearest(c8).cents, 0.0, 1e-9);

    Windows().pianoTuning->StretchTargetBox()->setChecked(true);
    const tuning::TuningSystem::Reading stretched = Windows().tuner->System().Nearest(c8);
    EXPECT_EQ(stretched.note.name, "C8");
    EXPECT_NEAR(stretched.cents, -curve.targetCents[87], 1e-6) << "measured from the curve's target";

    Windows().pianoTuning->StretchTargetBox()->setChecked(false);
    EXPECT_NEAR(Windows().tuner->System().Nearest(c8).cents, 0.0, 1e-9);
}

}  // namespace
