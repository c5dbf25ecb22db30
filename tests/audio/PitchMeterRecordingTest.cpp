// The pitch meter end to end: a note played into a private sound server's
// virtual microphone, recorded with the two presses a musician makes, and
// read off the window.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include "meter/PitchMeterWindow.h"
#include "shell/ApplicationWindows.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/PrivateSoundServer.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

class PitchMeterRecording : public WindowSetTest {
protected:
    PrivateSoundServer server;  // up before the windows are made, down after they are gone
};

TEST_F(PitchMeterRecording, MeasuresAToneSoundedASecondAfterTheStartPress)
{
    QTest::mouseClick(Windows().pitchMeter->recordButton, Qt::LeftButton);
    ASSERT_TRUE(messages.empty()) << messages.front().second.toStdString();
    QTest::qWait(1000);
    EXPECT_TRUE(Windows().pitchMeter->recordButton->isEnabled()) << "the stop button unlocks after half a second of sound";

    // The musician stops while the note still rings: about 3 s of it are
    // recorded, so that counting periods over it reads within 1 Hz.
    server.PlayTone(441, 6);
    QTest::qWait(3500);
    QTest::mouseClick(Windows().pitchMeter->recordButton, Qt::LeftButton);

    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Windows().pitchMeter->recordButton->text(), "开始录音");
    bool isNumber = false;
    const double frequency = Windows().pitchMeter->frequencyValue->text().toDouble(&isNumber);
    ASSERT_TRUE(isNumber) << Windows().pitchMeter->frequencyValue->text().toStdString();
    EXPECT_NEAR(frequency, 441.0, 1.0);
    EXPECT_EQ(Windows().pitchMeter->semitoneValue->text(), "0");
}

TEST_F(PitchMeterRecording, ATakeThatCannotBeWrittenEndsWithOneErrorBoxAndLeavesNothingBehind)
{
    QTest::mouseClick(Windows().pitchMeter->recordButton, Qt::LeftButton);
    ASSERT_TRUE(messages.empty()) << messages.front().second.toStdString();
    {
        // The disk fills up after about two thirds of a second of sound.
        tonarel::test::FileSizeLimit full(60000);
        ASSERT_TRUE(full.Active());
        for (int wait = 0; wait < 250 && messages.empty(); ++wait) {
            QTest::qWait(20);
        }
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Error);
    EXPECT_TRUE(messages[0].second.contains("这次录音没有保存")) << messages[0].second.toStdString();
    EXPECT_TRUE(Windows().pitchMeter->ReadyToRecord);
    EXPECT_EQ(Windows().pitchMeter->recordButton->text(), "开始录音");
    EXPECT_FALSE(Windows().pitchMeter->recordingTimer->isActive());
    const QDir folder(WorkingDirectory());
    EXPECT_TRUE(folder.entryList({".tonarel-take*"}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(folder.exists("my.wav"));
    EXPECT_TRUE(folder.exists("temp.wav")) << "the template is kept";
}

using PitchMeterWithoutSoundServer = WindowSetTest;

TEST_F(PitchMeterWithoutSoundServer, StartPressShowsOneErrorAtOnceAndTheWindowStaysIdle)
{
    QTemporaryDir folder;
    PrivateSoundServer::PointAtNoServer(folder);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(Windows().pitchMeter->recordButton, Qt::LeftButton);
    EXPECT_LT(clock.elapsed(), 1000) << "an absent server must not be waited for";
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, UserMessageKind::Error);
    EXPECT_TRUE(messages[0].second.contains("没有找到录音设备")) << messages[0].second.toStdString();
    EXPECT_TRUE(Windows().pitchMeter->ReadyToRecord);
    EXPECT_EQ(Windows().pitchMeter->recordButton->text(), "开始录音");
    EXPECT_TRUE(Windows().pitchMeter->recordButton->isEnabled());
    EXPECT_FALSE(Windows().pitchMeter->recordingTimer->isActive());
}

}  // namespace
