#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "meter/Unit3.h"
#include "scope/Unit2.h"
#include "shell/Unit1.h"
#include "tests/support/ReferenceStrokes.h"
#include "tests/support/WaveFileWriter.h"
#include "tests/support/WindowSetTest.h"

using namespace tonarel;

namespace {

using reference::FirstDifference;
using reference::RandomSamples;

class OscilloscopeTest : public WindowSetTest {
protected:
    static void ResizeBoxTo(int width, int height)
    {
        Form2->resize(Form2->size() + QSize(width, height) - Form2->PaintBox1->size());
        ProcessEvents();
        ASSERT_EQ(Form2->PaintBox1->size(), QSize(width, height));
    }

    static void Show(const std::vector<int16_t>& samples)
    {
        auto buffer = std::make_unique<int16_t[]>(samples.size());
        std::copy(samples.begin(), samples.end(), buffer.get());
        Form2->ShowWaveform(std::move(buffer), static_cast<uint32_t>(samples.size() * 2));
    }

    static void HideAndShowAgain()
    {
        Form1->G1->trigger();
        Form1->G1->trigger();
        ProcessEvents();
    }

    /// What the box shows on screen: black is drawn, anything else is not.
    static reference::Bitmap Shown()
    {
        const QImage image = Form2->PaintBox1->grab().toImage();
        reference::Bitmap shown{image.width(), image.height(), {}};
        for (int i = 0; i < image.width() * image.height(); ++i) {
            shown.pixels.push_back(image.pixelColor(i % image.width(), i / image.width()) == Qt::black);
        }
        return shown;
    }

    /// The single strokes of `samples` in the box at its current size.
    static reference::Bitmap Expected(const std::vector<int16_t>& samples)
    {
        const QSize box = Form2->PaintBox1->size();
        return reference::DrawStrokesOneByOne(samples.data(), static_cast<uint32_t>(samples.size() * 2), box.width(),
                                              box.height());
    }
};

TEST_F(OscilloscopeTest, Label2ShowsTheMilliseconds)
{
    for (const auto& [byteCount, shown] : {std::pair{88200u, "1000"}, {4410u, "50"}, {882u, "10"}, {2u, "0"}}) {
        Form2->ShowWaveform(std::make_unique<int16_t[]>(byteCount / 2), byteCount);
        EXPECT_EQ(Form2->Label2->text(), shown) << byteCount << " bytes";
    }
}

TEST_F(OscilloscopeTest, NewWaveformIsDrawnOverTheOldAndEveryRepaintDrawsItAtTheCurrentScale)
{
    QTest::mouseClick(Form2->BitBtn1, Qt::LeftButton);  // "重画" without a buffer
    Form2->RepaintPaintBox1();
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
    EXPECT_EQ(Form2->Label2->text(), "200");

    Form2->RepaintPaintBox1();
    EXPECT_EQ(FirstDifference(Shown(), secondOnly), "none");
    ResizeBoxTo(300, 90);
    EXPECT_EQ(FirstDifference(Shown(), Expected(second)), "none") << "after a resize";
    HideAndShowAgain();
    EXPECT_EQ(FirstDifference(Shown(), Expected(second)), "none") << "after showing again";
}

TEST_F(OscilloscopeTest, WithoutAutoRedrawTheBoxStaysEmptyAfterARepaintUntilRedraw)
{
    const std::vector<int16_t> samples = RandomSamples(4410, 5);
    Form2->CheckBox1->setChecked(false);
    Show(samples);
    EXPECT_EQ(FirstDifference(Shown(), Expected(samples)), "none") << "a new waveform is always drawn";
    Form2->RepaintPaintBox1();
    EXPECT_EQ(FirstDifference(Shown(), Expected({})), "none");
    QTest::mouseClick(Form2->BitBtn1, Qt::LeftButton);
    EXPECT_EQ(FirstDifference(Shown(), Expected(samples)), "none");
    HideAndShowAgain();
    EXPECT_EQ(FirstDifference(Shown(), Expected({})), "none") << "showing the window again empties the box";
}

// After every analysis run the pitch meter has the box repainted: with "自动重画"
// ticked it shows the new waveform alone (not drawn over the last one), and
// without it the box is empty.
class OscilloscopeAfterAnalysis : public OscilloscopeTest, public ::testing::WithParamInterface<bool> {
protected:
    /// The samples the oscilloscope holds now.
    static std::vector<int16_t> Held()
    {
        return {Form2->HeldSamples(), Form2->HeldSamples() + Form2->HeldSampleBytes() / 2};
    }
};

TEST_P(OscilloscopeAfterAnalysis, EveryRunLeavesTheBoxWithItsOwnWaveformOrEmpty)
{
    const bool autoRedraw = GetParam();
    Form2->CheckBox1->setChecked(autoRedraw);
    Form3->CheckBox1->setChecked(false);  // fixed segments: one long, one short
    using test::Concatenate, test::Silence, test::Sine;
    for (const auto& [take, segmentPosition] :
         {std::pair{Concatenate({Silence(22050), Sine(44100, 100, 15000)}), 50},
          std::pair{Concatenate({Silence(22050), Sine(44100, 37, 9000)}), 10}}) {
        test::WriteCaptureFile("my.wav", take);
        Form3->UpDown1->SetPosition(segmentPosition);
        Form3->UpDown1Click(Form3->UpDown1);
        Form3->BitBtn2Click(Form3->BitBtn2);
        ASSERT_GT(Form2->HeldSampleBytes(), 2u);
        EXPECT_EQ(FirstDifference(Shown(), Expected(autoRedraw ? Held() : std::vector<int16_t>{})), "none")
            << "segment of " << segmentPosition * 10 << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(AutoRedraw, OscilloscopeAfterAnalysis, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Ticked" : "Unticked"; });

}  // namespace
