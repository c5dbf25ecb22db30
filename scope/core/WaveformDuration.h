#pragma once
// The duration that the oscilloscope shows for a sample buffer.

#include <cstdint>

namespace tonarel {

/// Milliseconds of a buffer of `byteCount` bytes of 16-bit mono samples at
/// 44 100 samples per second: ((byteCount × 10) >> 1) / 441, all in unsigned
/// 32-bit arithmetic. The product wraps modulo 2^32 (buffers above
/// 429 496 729 bytes, about 81 minutes, read short), the shift is logical and
/// the division truncates. Example: 88 200 bytes read 1000.
/// The rate and sample size are assumed whatever the take was.
constexpr uint32_t WaveformDurationMilliseconds(uint32_t byteCount)
{
    return ((byteCount * 10u) >> 1) / 441u;
}

}  // namespace tonarel
