#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "meter/PitchMeterWindow.h"
#include "scope/OscilloscopeWindow.h"
#include "shell/ApplicationWindows.h"
#include "shell/MainWindow.h"
#include "tests/support/ReferenceStrokes.h"
#include "tests/support/WindowSetTest.h"
#include "tools/tones/WaveFileWriter.h"

using namespace tonarel;

namespace {

using reference::FirstDifference;
using reference::RandomSamples;

class OscilloscopeTest : public WindowSetTest {
protected:
    static void ResizeBoxTo(int width, int height)
    {
        Windows().oscilloscope->resize(Windows().oscilloscope->size() + QSize(width, height) - Windows().oscilloscope->waveformBox->size());
        ProcessEvents();
        ASSERT_EQ(Windows().oscilloscope->waveformBox->size(), QSize(width, height));
    }

    static void Show(const std::vector<int16_t>& samples)
    {
        auto buffer = std::make_unique<int16_t[]>(samples.size());
        std::copy(samples.begin(), samples.end(), buffer.get());
        Windows().oscilloscope->ShowWaveform(std::move(buffer), static_cast<uint32_t>(samples.size() * 2));
    }

    static void HideAndShowAgain()
    {
        Windows().mainWindow->oscilloscopeItem->trigger();
        Windows().mainWindow->oscilloscopeItem->trigger();
        ProcessEvents();
    }

    /// What the box shows on screen: black is drawn, anything else is not.
    static reference::Bitmap Shown()
    {
        const QImage image = Windows().oscilloscope->waveformBox->grab().toImage();
        reference::Bitmap shown{image.width(), image.height(), {}};
        for (int i = 0; i < image.width() * image.height(); ++i) {
            shown.pixels.push_back(image.pixelColor(i % image.width(), i / image.width()) == Qt::black);
        }
        return shown;
    }

    /// The single strokes of `samples` in the box at its current size.
    static reference::Bitmap Expected(const std::vector<int16_t>& samples)
    {
        const QSize box = Windows().oscilloscope->waveformBox->size();
        return reference::DrawStrokesOneByOne(samples.data(), static_cast<uint32_t>(samples.size() * 2), box.width(),
                                              box.height());
    }
};

TEST_F(OscilloscopeTest, Label2ShowsTheMilliseconds)
{
    for (const auto& [byteCount, shown] : {std::pair{88200u, "1000"}, {4410u, "50"}, {882u, "10"}, {2u, "0"}}) {
        Windows().oscilloscope->ShowWaveform(std::make_unique<int16_t[]>(byteCount / 2), byteCount);
        EXPECT_EQ(Windows().oscilloscope->durationValue->text(), shown) << byteCount << " bytes";
    }
}

TEST_F(OscilloscopeTest, NewWaveformIsDrawnOverTheOldAndEveryRepaintDrawsItAtTheCurrentScale)
{
    QTest::mouseClick(Windows().oscilloscope->redrawButton, Qt::LeftButton);  // "重画" without a buffer
    Windows().oscilloscope->RepaintWaveformBox();
    EXPECT_EQ(FirstDifference(Shown(), Expected({})), "none") << "nothing to draw";

    const std::vector<int16_t> first = RandomSamples(44100, 3);
    const std::vector<int16_t> second = RandomSamples(8820, 4);
    // The address sanitizer reports a buffer released twice, the leak checker one never released.
    Show(first);
    EXPECT_EQ(FirstDifference(Shown(), Expected(first)), "none");
    Show(second);
    reference::Bitmap both = Expected(first);
    const reference::Bitmap secondOnly = Expected(second);
    std::transform(both.pixels.begin(), both.pixels.end(), secondOnly.pixels.begin(), both.pixels.begin(),
                   std::logical_or<>());
    EXPECT_EQ(FirstDifference(Shown(), both), "none") << "drawn over the first";
    EXPECT_EQ(Windows().oscilloscope->durationValue->text(), "200");

    Windows().oscilloscope->RepaintWaveformBox();
    EXPECT_EQ(FirstDifference(Shown(), secondOnly), "none");
    ResizeBoxTo(300, 90);
    EXPECT_EQ(FirstDifference(Shown(), Expected(second)), "none") << "after a resize";
    HideAndShowAgain();
    EXPECT_EQ(FirstDifference(Shown(), Expected(second)), "none") << "after showing again";
}

TEST_F(OscilloscopeTest, WithoutAutoRedrawTheBoxStaysEmptyAfterARepaintUntilRedraw)
{
    const std::vector<int16_t> samples = RandomSamples(4410, 5);
    Windows().oscilloscope->autoRedrawBox->setChecked(false);
    Show(samples);
    EXPECT_EQ(FirstDifference(Shown(), Expected(samples)), "none") << "a new waveform is always drawn";
    Windows().oscilloscope->RepaintWaveformBox();
    EXPECT_EQ(FirstDifference(Shown(), Expected({})), "none");
    QTest::mouseClick(Windows().oscilloscope->redrawButton, Qt::LeftButton);
    EXPECT_EQ(FirstDifference(Shown(), Expected(samples)), "none");
    HideAndShowAgain();
    EXPECT_EQ(FirstDifference(Shown(), Expected({})), "none") << "showing the window again empties the box";
}

// After every analysis run the pitch meter has the box repainted: with "自动重画"
// ticked it shows the new waveform alone (not drawn over the last one), and
// without it the box is empty.
class OscilloscopeAfterAnalysis : public OscilloscopeTest, public ::testing::WithParamInterface<bool> {
protected:
    /// The samples the pitch meter handed on last, which the oscilloscope holds.
    std::vector<int16_t> Held() const
    {
        return {analysedSamples.get(), analysedSamples.get() + analysedBytes / 2};
    }
};

TEST_P(OscilloscopeAfterAnalysis, EveryRunLeavesTheBoxWithItsOwnWaveformOrEmpty)
{
    const bool autoRedraw = GetParam();
    Windows().oscilloscope->autoRedrawBox->setChecked(autoRedraw);
    Windows().pitchMeter->autoSegmentBox->setChecked(false);  // fixed segments: one long, one short
    using tones::Concatenate, tones::Silence, tones::Sine;
    for (const auto& [take, segmentPosition] :
         {std::pair{Concatenate({Silence(22050), Sine(44100, 100, 15000)}), 50},
          std::pair{Concatenate({Silence(22050), Sine(44100, 37, 9000)}), 10}}) {
        tones::WriteCaptureFile("my.wav", take);
        Windows().pitchMeter->segmentSpinner->SetPosition(segmentPosition);
        Windows().pitchMeter->SegmentSpinnerClick(Windows().pitchMeter->segmentSpinner);
        Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
        ASSERT_GT(analysedBytes, 2u);
        EXPECT_EQ(FirstDifference(Shown(), Expected(autoRedraw ? Held() : std::vector<int16_t>{})), "none")
            << "segment of " << segmentPosition * 10 << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(AutoRedraw, OscilloscopeAfterAnalysis, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Ticked" : "Unticked"; });

}  // namespace
