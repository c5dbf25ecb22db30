#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "scope/Unit2.h"
#include "shell/Unit1.h"
#include "tests/support/ReferenceStrokes.h"
#include "tests/support/WindowSetTest.h"

namespace {

class OscilloscopeTest : public WindowSetTest {
protected:
    /// Resizes the oscilloscope so that its box is `width` × `height`.
    static void ResizeBoxTo(int width, int height)
    {
        const QSize box = Form2->PaintBox1->size();
        Form2->resize(Form2->size() + QSize(width, height) - box);
        ProcessEvents();
        ASSERT_EQ(Form2->PaintBox1->size(), QSize(width, height));
    }

    static std::unique_ptr<int16_t[]> Buffer(const std::vector<int16_t>& samples)
    {
        auto buffer = std::make_unique<int16_t[]>(samples.size());
        std::copy(samples.begin(), samples.end(), buffer.get());
        return buffer;
    }

    static void Show(const std::vector<int16_t>& samples)
    {
        Form2->ShowWaveform(Buffer(samples), static_cast<uint32_t>(samples.size() * 2));
    }

    /// What the box shows on screen: black for drawn, anything else not drawn.
    static reference::Bitmap Shown()
    {
        const QImage image = Form2->PaintBox1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        reference::Bitmap shown{image.width(), image.height(),
                                std::vector<bool>(static_cast<size_t>(image.width()) * image.height())};
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                shown.pixels[static_cast<size_t>(y) * image.width() + x] = image.pixel(x, y) == qRgb(0, 0, 0);
            }
        }
        return shown;
    }

    static bool IsEmpty(const reference::Bitmap& shown)
    {
        return std::find(shown.pixels.begin(), shown.pixels.end(), true) == shown.pixels.end();
    }

    static reference::Bitmap Expected(const std::vector<int16_t>& samples)
    {
        const QSize box = Form2->PaintBox1->size();
        return reference::DrawStrokesOneByOne(samples.data(), static_cast<uint32_t>(samples.size() * 2), box.width(),
                                              box.height());
    }

    /// The pixels of both waveforms, as drawing one over the other leaves them.
    static reference::Bitmap Union(reference::Bitmap a, const reference::Bitmap& b)
    {
        for (size_t i = 0; i < a.pixels.size(); ++i) {
            a.pixels[i] = a.pixels[i] || b.pixels[i];
        }
        return a;
    }

    static std::vector<int16_t> Waveform(uint32_t count, uint32_t seed)
    {
        std::mt19937 generator(seed);
        std::uniform_int_distribution<int> amplitude(-24000, 24000);
        std::vector<int16_t> samples(count);
        for (auto& sample : samples) {
            sample = static_cast<int16_t>(amplitude(generator));
        }
        samples[0] = 19000;
        samples[count - 1] = -19000;
        return samples;
    }
};

struct DurationCase {
    uint32_t byteCount;
    const char* shown;
};

void PrintTo(const DurationCase& c, std::ostream* out)
{
    *out << c.byteCount << " bytes";
}

class OscilloscopeDurationTest : public OscilloscopeTest, public ::testing::WithParamInterface<DurationCase> {};

TEST_P(OscilloscopeDurationTest, Label2ShowsTheMilliseconds)
{
    const DurationCase& c = GetParam();
    Form2->ShowWaveform(std::make_unique<int16_t[]>(c.byteCount / 2), c.byteCount);
    EXPECT_EQ(Form2->Label2->text(), c.shown);
    EXPECT_EQ(Form2->HeldSampleBytes(), c.byteCount);
}

INSTANTIATE_TEST_SUITE_P(ByteCounts, OscilloscopeDurationTest,
                         ::testing::Values(DurationCase{88200, "1000"}, DurationCase{4410, "50"},
                                           DurationCase{882, "10"}, DurationCase{2, "0"}),
                         [](const auto& info) { return std::to_string(info.param.byteCount) + "Bytes"; });

TEST_F(OscilloscopeTest, StartsEmptyWithDurationZero)
{
    EXPECT_EQ(Form2->windowTitle(), "示波器");
    EXPECT_EQ(Form2->Label2->text(), "0");
    EXPECT_TRUE(Form2->CheckBox1->isChecked());
    EXPECT_EQ(Form2->HeldSamples(), nullptr);
    QTest::mouseClick(Form2->BitBtn1, Qt::LeftButton);  // "重画" without a buffer
    Form2->RepaintPaintBox1();
    EXPECT_TRUE(IsEmpty(Shown()));
}

struct BoxSize {
    int width;
    int height;
};

void PrintTo(const BoxSize& box, std::ostream* out)
{
    *out << box.width << " x " << box.height;
}

class OscilloscopeStrokeTest : public OscilloscopeTest, public ::testing::WithParamInterface<BoxSize> {};

TEST_P(OscilloscopeStrokeTest, ShowsExactlyThePixelsOfTheSingleStrokes)
{
    ResizeBoxTo(GetParam().width, GetParam().height);
    const std::vector<int16_t> samples = Waveform(44100, 11);
    Show(samples);
    ProcessEvents();
    const reference::Bitmap expected = Expected(samples);
    const reference::Bitmap shown = Shown();
    ASSERT_EQ(shown.pixels.size(), expected.pixels.size());
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            ASSERT_EQ(shown.At(x, y), expected.At(x, y)) << "pixel (" << x << ", " << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Boxes, OscilloscopeStrokeTest, ::testing::Values(BoxSize{492, 118}, BoxSize{492, 117}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

TEST_F(OscilloscopeTest, TakesOverEachBufferAndReleasesThePreviousOne)
{
    auto first = Buffer(Waveform(4410, 1));
    auto second = Buffer(Waveform(8820, 2));
    const int16_t* const secondAddress = second.get();
    Form2->ShowWaveform(std::move(first), 8820);
    Form2->ShowWaveform(std::move(second), 17640);
    // The address sanitizer reports a buffer released twice or used after
    // release, the leak checker one never released.
    EXPECT_EQ(Form2->HeldSamples(), secondAddress);
    EXPECT_EQ(Form2->HeldSampleBytes(), 17640u);
    Form2->RepaintPaintBox1();
}

TEST_F(OscilloscopeTest, NewWaveformIsDrawnOverTheOldUntilTheBoxIsRepainted)
{
    const std::vector<int16_t> first = Waveform(4410, 3);
    const std::vector<int16_t> second = Waveform(4410, 4);
    Show(first);
    Show(second);
    EXPECT_EQ(Shown().pixels, Union(Expected(first), Expected(second)).pixels);
    Form2->RepaintPaintBox1();
    EXPECT_EQ(Shown().pixels, Expected(second).pixels);
}

TEST_F(OscilloscopeTest, WithoutAutoRedrawTheBoxStaysEmptyAfterARepaintUntilRedraw)
{
    const std::vector<int16_t> samples = Waveform(4410, 5);
    Form2->CheckBox1->setChecked(false);
    EXPECT_EQ(Shown().pixels, std::vector<bool>(Shown().pixels.size())) << "unticking changes nothing at once";

    Show(samples);
    EXPECT_EQ(Shown().pixels, Expected(samples).pixels) << "a new waveform is always drawn";
    Form2->RepaintPaintBox1();
    EXPECT_TRUE(IsEmpty(Shown()));

    QTest::mouseClick(Form2->BitBtn1, Qt::LeftButton);
    EXPECT_EQ(Shown().pixels, Expected(samples).pixels);

    Form1->G1->trigger();  // hide
    Form1->G1->trigger();  // show
    ProcessEvents();
    EXPECT_TRUE(IsEmpty(Shown())) << "showing the window again empties the box";

    QTest::mouseClick(Form2->BitBtn1, Qt::LeftButton);
    ResizeBoxTo(300, 90);
    EXPECT_TRUE(IsEmpty(Shown())) << "resizing empties the box";
}

TEST_F(OscilloscopeTest, WithAutoRedrawEveryRepaintDrawsAtTheCurrentScale)
{
    const std::vector<int16_t> samples = Waveform(4410, 6);
    Show(samples);
    ResizeBoxTo(300, 90);
    EXPECT_EQ(Shown().pixels, Expected(samples).pixels);
    Form1->G1->trigger();
    Form1->G1->trigger();
    ProcessEvents();
    EXPECT_EQ(Shown().pixels, Expected(samples).pixels);
}

}  // namespace
