#pragma once
// Where the oscilloscope's strokes fall, in pixels of its drawing box.
//
// The waveform is drawn as one vertical "line to" stroke per sample: from the
// centre row of the box toward the sample's row, without the sample's own end
// pixel. Sample i stands in column x = (W × i) / N (unsigned 32-bit: the
// product wraps modulo 2^32, the division truncates), its row is
// y = (H × s) / 38000 + mid (the product a wrapping signed 32-bit value, the
// division truncating toward zero), with mid = H / 2 and N = byteCount / 2.
// So a positive sample is drawn below the centre line (screen rows grow
// downward), an amplitude of 19 000 reaches half the box height, and a
// sample whose row equals mid leaves no mark.
//
// Drawing 44 100 single strokes per second of sound is far too slow for a
// repaint, and every stroke of one column starts on the same centre row, so
// together they cover one run of rows per column. This computes that run per
// column; painting the runs gives exactly the pixels of the single strokes.

#include <cstdint>
#include <vector>

namespace tonarel {

/// The rows [top, bottom] (inclusive, 0 = top row of the box) that the strokes
/// of one column cover. Empty when no stroke of the column leaves a mark.
/// A run may reach above row 0 or below row height − 1 (samples beyond
/// ±19 000 reach past the edge of the box): whoever paints clips it.
struct StrokeRun {
    int32_t top = 0;
    int32_t bottom = -1;

    bool IsEmpty() const { return top > bottom; }
    friend bool operator==(const StrokeRun&, const StrokeRun&) = default;
};

/// The runs of the strokes for `byteCount` bytes of samples in a box of
/// `width` × `height` pixels: one run per column, index = column, so the
/// result has `width` elements (none when width or height is not positive).
/// `samples` holds at least byteCount / 2 samples (may be null when that is
/// 0); an odd last byte is ignored, and fewer than two bytes draw nothing.
std::vector<StrokeRun> ComputeStrokeRuns(const int16_t* samples, uint32_t byteCount, int32_t width, int32_t height);

}  // namespace tonarel
