#pragma once
// The oscilloscope's waveform drawn the slow, obvious way, as the measure of
// the fast drawing: a pen that draws one "line to" stroke per sample.

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace reference {

/// A picture of width × height pixels, row-major; true = drawn.
struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<bool> pixels;

    bool At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

/// Pen at (0, mid); for each sample i: a "line to" (x_i, y_i), which marks
/// every pixel from the pen toward the end point but not the end point
/// itself (Bresenham), then a move to (x_{i+1}, mid). Pixels outside the box
/// are dropped. x_i = (W·i mod 2^32) / N unsigned, y_i = (H·s as wrapping
/// signed 32-bit) / 38000 + mid, mid = H / 2, N = byteCount / 2.
inline Bitmap DrawStrokesOneByOne(const int16_t* samples, uint32_t byteCount, int32_t width, int32_t height)
{
    Bitmap bitmap{width, height, std::vector<bool>(static_cast<size_t>(width) * height, false)};
    const auto mark = [&](int64_t x, int64_t y) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            bitmap.pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)] = true;
        }
    };
    const auto lineTo = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
        const int64_t dx = std::llabs(x1 - x0);
        const int64_t dy = -std::llabs(y1 - y0);
        const int64_t stepX = x0 < x1 ? 1 : -1;
        const int64_t stepY = y0 < y1 ? 1 : -1;
        int64_t error = dx + dy;
        while (x0 != x1 || y0 != y1) {
            mark(x0, y0);
            const int64_t twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x0 += stepX;
            }
            if (twice <= dx) {
                error += dx;
                y0 += stepY;
            }
        }
    };

    const int32_t mid = height / 2;
    const uint32_t count = byteCount / 2;
    const auto columnOf = [&](uint32_t i) { return static_cast<uint32_t>(width) * i / count; };
    int64_t penX = 0;
    int64_t penY = mid;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t x = columnOf(i);
        const auto product = static_cast<int32_t>(static_cast<uint32_t>(height) * static_cast<uint32_t>(int32_t{samples[i]}));
        const int32_t y = product / 38000 + mid;
        lineTo(penX, penY, x, y);
        penX = columnOf(i + 1);
        penY = mid;
    }
    return bitmap;
}

}  // namespace reference
