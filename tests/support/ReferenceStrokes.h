#pragma once
// The oscilloscope's waveform drawn the slow, obvious way, as the measure of
// the fast drawing: one "line to" stroke per sample.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace reference {

/// width × height pixels, row-major; true = drawn.
struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<bool> pixels;
};

/// For each sample i the pen moves to (x_i, mid) and draws a "line to"
/// (x_i, y_i): every pixel from the pen toward the end point, not the end
/// point itself; pixels outside the box are dropped. x_i = (W·i mod 2^32) / N
/// unsigned, y_i = (H·s as wrapping signed 32-bit) / 38000 + mid, mid = H / 2,
/// N = byteCount / 2.
inline Bitmap DrawStrokesOneByOne(const int16_t* samples, uint32_t byteCount, int32_t width, int32_t height)
{
    Bitmap bitmap{width, height, std::vector<bool>(static_cast<size_t>(width) * height, false)};
    const int32_t mid = height / 2;
    const uint32_t count = byteCount / 2;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t x = static_cast<uint32_t>(width) * i / count;
        const auto product = static_cast<int32_t>(static_cast<uint32_t>(height) * static_cast<uint32_t>(int32_t{samples[i]}));
        const int32_t y = product / 38000 + mid;
        for (int64_t row = mid; row != y; row += (y > mid ? 1 : -1)) {
            if (row >= 0 && row < height) {
                bitmap.pixels[static_cast<size_t>(row) * width + x] = true;
            }
        }
    }
    return bitmap;
}

/// "(x, y)" of the first pixel where the two pictures differ, or "none".
inline std::string FirstDifference(const Bitmap& a, const Bitmap& b)
{
    size_t i = 0;
    while (i < a.pixels.size() && i < b.pixels.size() && a.pixels[i] == b.pixels[i]) {
        ++i;
    }
    if (i == a.pixels.size() && i == b.pixels.size()) {
        return "none";
    }
    return "(" + std::to_string(i % a.width) + ", " + std::to_string(i / a.width) + ")";
}

/// Reproducible samples; every other one near the centre line, where the
/// omitted end pixel and the strokes that leave no mark decide.
inline std::vector<int16_t> RandomSamples(uint32_t count, uint32_t seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> full(-32768, 32767);
    std::uniform_int_distribution<int> near(-300, 300);
    std::vector<int16_t> samples(count);
    for (uint32_t i = 0; i < count; ++i) {
        samples[i] = static_cast<int16_t>(i % 2 == 0 ? full(generator) : near(generator));
    }
    return samples;
}

}  // namespace reference
