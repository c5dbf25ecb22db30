// The strobe's phase against its target on steady tones.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/tones/PartialTone.h"
#include "tuner/core/StrobePhase.h"

namespace tonarel::tuner {
namespace {

struct Drift {
    double signalHz;
    double targetHz;
    uint32_t partials;
};

class StrobeDrift : public ::testing::TestWithParam<Drift> {};

// Over the second half of a 2 s tone fed in 441-sample blocks, the phase
// turns at (signal - target) turns per second: still when in tune.
TEST_P(StrobeDrift, TurnsAtTheDifference)
{
    const Drift& drift = GetParam();
    tones::PartialTone tone;
    tone.f0Hz = drift.signalHz;
    tone.amplitudes = tones::FallingAmplitudes(drift.partials, 8000.0);
    const std::vector<int16_t> samples = tones::Synthesise(tone, 2 * 44100);
    StrobePhase strobe;
    strobe.SetTargetHz(drift.targetHz);
    double unwrapped = 0.0;
    double last = 0.0;
    double atOneSecond = 0.0;
    for (std::size_t at = 0; at < samples.size(); at += 441) {
        strobe.Feed(std::span(samples).subspan(at, 441));
        const double now = strobe.PhaseTurns();
        ASSERT_GE(now, 0.0);
        ASSERT_LT(now, 1.0);
        unwrapped += std::remainder(now - last, 1.0);
        last = now;
        if (at + 441 == 44100) {
            atOneSecond = unwrapped;
        }
    }
    EXPECT_NEAR(unwrapped - atOneSecond, drift.signalHz - drift.targetHz, 0.02);
    EXPECT_GT(strobe.Level(), 0.3);
}

INSTANTIATE_TEST_SUITE_P(Tones, StrobeDrift,
                         ::testing::Values(Drift{440.0, 440.0, 1}, Drift{442.0, 440.0, 1}, Drift{439.0, 440.0, 4},
                                           Drift{65.5, 65.406, 6}, Drift{27.5, 27.5, 8},
                                           Drift{2093.0, 2092.0, 3}));

TEST(StrobePhase, LevelIsFullForASineAtTheTargetAndNoneInSilence)
{
    tones::PartialTone sine;
    sine.f0Hz = 440.0;
    StrobePhase strobe;
    strobe.Feed(tones::Synthesise(sine, 44100));
    EXPECT_NEAR(strobe.Level(), 1.0, 0.05);
    strobe.SetTargetHz(660.0);  // a fifth away: nothing at the target
    strobe.Feed(tones::Synthesise(sine, 44100));
    EXPECT_LT(strobe.Level(), 0.01);
    strobe.Reset();
    strobe.Feed(std::vector<int16_t>(4410));
    EXPECT_EQ(strobe.Level(), 0.0);
    EXPECT_EQ(strobe.PhaseTurns(), 0.0);
    strobe.SetTargetHz(-1.0);
    EXPECT_EQ(strobe.TargetHz(), 660.0);
}

}  // namespace
}  // namespace tonarel::tuner
