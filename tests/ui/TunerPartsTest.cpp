// The tuner window's parts on their own: how readings are written, the
// needle's glide, the calibration's arithmetic and the reference tone's
// samples.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <variant>

#include "platform/ToneGenerator.h"
#include "tools/tones/PartialTone.h"
#include "tuner/CalibrationMeasurement.h"
#include "tuner/CentsNeedle.h"
#include "tuner/TunerTexts.h"

using namespace tonarel;
using namespace tonarel::tuner;

namespace {

TEST(TunerTexts, CentsHaveOneDecimalAndASignExceptZero)
{
    const struct {
        double cents;
        const char* separator;
        const char* text;
    } cases[] = {
        {7.8514, ".", "+7.9"}, {-3.2, ".", "-3.2"}, {0.0, ".", "0.0"},  {-0.04, ".", "0.0"},
        {0.049, ".", "0.0"},   {-0.06, ".", "-0.1"}, {49.96, ".", "+50.0"}, {-123.45, ".", "-123.5"},
        {7.8514, ",", "+7,9"}, {-0.01, "٫", "0٫0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CentsText(c.cents, c.separator), QString::fromUtf8(c.text)) << c.cents;
    }
    EXPECT_EQ(HertzText(442.0), "442.00");
    EXPECT_EQ(HertzText(27.499), "27.50");
}

TEST(TunerTexts, VerdictFollowsTheFigureShownAgainstTheTolerance)
{
    const struct {
        double cents;
        double tolerance;
        const char* verdict;
    } cases[] = {
        {0.0, 1.0, "准确"},   {1.04, 1.0, "准确"},  {-1.04, 1.0, "准确"}, {1.06, 1.0, "偏高"},
        {-1.06, 1.0, "偏低"}, {4.9, 5.0, "准确"},   {0.06, 0.1, "准确"},  {0.16, 0.1, "偏高"},
        {-30.0, 25.0, "偏低"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VerdictText(c.cents, c.tolerance), QString::fromUtf8(c.verdict)) << c.cents << " ±" << c.tolerance;
    }
}

TEST(CentsNeedle, AppearsAtTheFirstReadingThenGlidesQuicklyToTheNext)
{
    CentsNeedle needle;
    needle.SetCents(12.0, false);
    EXPECT_EQ(needle.ShownCents(), 12.0) << "no sweep in from the centre";
    needle.SetCents(-18.0, false);
    needle.Advance(0.016);
    ASSERT_TRUE(needle.ShownCents());
    EXPECT_LT(*needle.ShownCents(), 12.0) << "on its way";
    EXPECT_GT(*needle.ShownCents(), -18.0) << "smoothly";
    needle.Advance(0.15 - 0.016);
    EXPECT_NEAR(*needle.ShownCents(), -18.0, 1.0) << "a real change shows";

    needle.SetCents(80.0, false);
    EXPECT_EQ(needle.TargetCents(), 50.0) << "rests at the end of the scale";
    needle.SetCents(std::nullopt, false);
    EXPECT_FALSE(needle.ShownCents());
}

std::variant<double, std::string> Calibrate(double knownHz, double playedHz, double soundingShare)
{
    tones::PartialTone tone;
    tone.f0Hz = playedHz;
    tone.amplitudes = {8000.0, 3000.0};
    const auto total = static_cast<uint32_t>((CalibrationMeasurement::kSeconds + 0.1) * 44100);
    std::vector<int16_t> samples = tones::Synthesise(tone, static_cast<uint32_t>(total * soundingShare));
    samples.resize(total, 0);
    CalibrationMeasurement measurement(knownHz);
    for (std::size_t at = 0; at < samples.size(); at += 700) {
        measurement.Feed(std::span<const int16_t>(samples).subspan(at, std::min<std::size_t>(700, samples.size() - at)));
    }
    EXPECT_TRUE(measurement.Done());
    return measurement.Result();
}

TEST(CalibrationMeasurement, GivesTheCorrectionInPpmAndRefusesImplausibleOnes)
{
    const struct {
        double knownHz;
        double playedHz;
        double soundingShare;
        std::optional<double> ppm;  ///< nothing: refused
    } cases[] = {
        {440.0, 440.0, 1.0, 0.0},
        {440.0, 440.0 / 1.007, 1.0, 7000.0},     // a card 0.7 % fast reads low
        {1000.0, 1000.0 * 1.003, 1.0, -2991.0},  // 0.3 % slow reads high
        {440.0, 440.0 / 1.019, 1.0, 19000.0},
        {440.0, 440.0 / 1.025, 1.0, std::nullopt},  // beyond 2 %: another note
        {440.0, 440.0, 0.3, std::nullopt},          // mostly silence
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.playedHz));
        const auto result = Calibrate(c.knownHz, c.playedHz, c.soundingShare);
        if (c.ppm) {
            ASSERT_TRUE(std::holds_alternative<double>(result)) << std::get<std::string>(result);
            EXPECT_NEAR(std::get<double>(result), *c.ppm, 10.0);
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(result));
            EXPECT_FALSE(std::get<std::string>(result).empty());
        }
    }
}

std::vector<int16_t> Pull(ToneGenerator& generator, std::size_t samples)
{
    std::vector<int16_t> out(samples);
    EXPECT_EQ(generator.read(reinterpret_cast<char*>(out.data()), static_cast<qint64>(samples * 2)),
              static_cast<qint64>(samples * 2));
    return out;
}

// Between two samples a tone of these partials moves by at most
// 2 pi f / rate times the sum of k a_k: a larger step is a click.
double LargestStep(const std::vector<int16_t>& samples)
{
    double largest = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        largest = std::max(largest, std::abs(double(samples[i]) - samples[i - 1]));
    }
    return largest;
}

TEST(ToneGenerator, FadesInChangesPitchWithoutAClickAndFadesOut)
{
    ToneGenerator generator(440.0);
    const std::vector<int16_t> start = Pull(generator, 441);
    EXPECT_LT(std::abs(start[0]), 50) << "fades in from silence";
    Pull(generator, 4410);
    const double peak = 0.25 * 32767.0;
    const double stepAt880 = 2 * std::numbers::pi * 880.0 / 44100.0 * peak / 1.75 * (1 + 2 * 0.5 + 3 * 0.25);
    generator.SetFrequency(880.0);
    std::vector<int16_t> around = Pull(generator, 2000);
    EXPECT_LE(LargestStep(around), stepAt880 * 1.02);
    EXPECT_LE(*std::max_element(around.begin(), around.end()), peak);

    generator.FadeOut();
    Pull(generator, 882);  // 20 ms
    const std::vector<int16_t> after = Pull(generator, 441);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](int16_t s) { return s == 0; }));
}

}  // namespace
