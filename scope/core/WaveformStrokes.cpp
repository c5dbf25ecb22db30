#include "scope/core/WaveformStrokes.h"

#include <algorithm>

namespace tonarel {

namespace {

/// The row of one sample: (height × sample) as a wrapping signed 32-bit
/// product, divided truncating toward zero, plus the centre row. The product
/// only wraps for boxes taller than 65 535 rows; it is formed in 64 bits and
/// narrowed so that the wrap is defined behaviour.
int32_t SampleRow(int32_t height, int16_t sample, int32_t mid)
{
    const auto product = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(height) * sample));
    return product / 38000 + mid;
}

}  // namespace

std::vector<StrokeRun> ComputeStrokeRuns(const int16_t* samples, uint32_t byteCount, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0) {
        return {};
    }
    const int32_t mid = height / 2;
    const uint32_t sampleCount = byteCount >> 1;
    const auto columns = static_cast<uint32_t>(width);

    // Every stroke of a column starts on the centre row, so the column's
    // strokes cover one run from the highest row reached to the lowest.
    struct Extent {
        int32_t highest;  // smallest row reached
        int32_t lowest;   // largest row reached
    };
    std::vector<Extent> extents(columns, Extent{mid, mid});
    for (uint32_t i = 0; i < sampleCount; ++i) {
        // Below 2^32 / width the product cannot wrap and x < width; above it
        // the wrapped quotient is below 2^32 / sampleCount < width as well.
        const uint32_t x = (columns * i) / sampleCount;
        const int32_t y = SampleRow(height, samples[i], mid);
        Extent& extent = extents[x];
        extent.highest = std::min(extent.highest, y);
        extent.lowest = std::max(extent.lowest, y);
    }

    // A stroke to a row below the centre covers mid … y − 1, one above it
    // covers y + 1 … mid: the end pixel is never drawn.
    std::vector<StrokeRun> runs(columns);
    for (uint32_t x = 0; x < columns; ++x) {
        const Extent& extent = extents[x];
        if (extent.highest == mid && extent.lowest == mid) {
            continue;
        }
        runs[x] = StrokeRun{extent.highest < mid ? extent.highest + 1 : mid, extent.lowest > mid ? extent.lowest - 1 : mid};
    }
    return runs;
}

}  // namespace tonarel
