// The tuner end to end: a tone played into a private sound server's virtual
// microphone is read live in the tuner window, then held once it stops.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "tests/support/PrivateSoundServer.h"
#include "tuner/TunerWindow.h"

using namespace tonarel;

namespace {

/// Waits up to `milliseconds` for `condition`; true once it holds.
bool WaitFor(const std::function<bool()>& condition, int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (condition()) {
            return true;
        }
        QTest::qWait(20);
    }
    return condition();
}

/// A tuner window with settings of its own, listening to a private sound
/// server's microphone.
class TunerListening : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid());
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        server = std::make_unique<PrivateSoundServer>();
        window = std::make_unique<tuner::TunerWindow>();
        window->show();
    }

    QTemporaryDir config;
    std::unique_ptr<PrivateSoundServer> server;
    std::unique_ptr<tuner::TunerWindow> window;
};

TEST_F(TunerListening, ReadsA442HzToneAsA4SharpAndHoldsItWhenItStops)
{
    ASSERT_TRUE(window->StatusLabel->text().isEmpty()) << window->StatusLabel->text().toStdString();

    server->PlayTone(442.0, 1.5);
    EXPECT_TRUE(WaitFor([&] { return window->CentsLabel->text() == "+7.9"; }, 3000))
        << window->NoteLabel->text().toStdString() << " " << window->CentsLabel->text().toStdString();
    EXPECT_EQ(window->NoteLabel->text(), "A4");
    EXPECT_EQ(window->HoldLabel->text(), "");

    EXPECT_TRUE(WaitFor([&] { return window->HoldLabel->text() == "（保持）"; }, 4000));
    EXPECT_EQ(window->NoteLabel->text(), "A4");
    EXPECT_EQ(window->CentsLabel->text(), "+7.9");
}

// The reference tone goes out through the server's sink, whose monitor is the
// microphone: the tuner hears its own tone, exactly on target (one clock).
TEST_F(TunerListening, HearsItsOwnReferenceToneOnTarget)
{
    window->ToneButton->click();
    EXPECT_EQ(window->ToneButton->text(), "停止参考音（A4）");
    EXPECT_TRUE(WaitFor([&] { return window->NoteLabel->text() == "A4" && window->CentsLabel->text() == "0.0"; }, 3000))
        << window->NoteLabel->text().toStdString() << " " << window->CentsLabel->text().toStdString();
    window->ToneButton->click();
    EXPECT_EQ(window->ToneButton->text(), "播放参考音");
    EXPECT_TRUE(WaitFor([&] { return window->HoldLabel->text() == "（保持）"; }, 3000));
}

}  // namespace
