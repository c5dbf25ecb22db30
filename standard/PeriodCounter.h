#pragma once
// Counting the periods of a note in a segment of samples: the standard
// reading's second step; exposed for tests.

#include <cstdint>

namespace tonarel {

/// What CountPeriods returns when it counted no period at all (0 - 1, wrapped).
inline constexpr uint32_t kNoPeriodCounted = UINT32_MAX;

/// The acceptance ratio the estimator passes.
inline constexpr uint32_t kPeriodAcceptanceRatio = 2;

/// Walks the zero crossings of samples[0 .. byteCount / 2) (an odd last byte
/// is ignored) and returns the number of periods counted, less one, modulo
/// 2^32: a segment without a counted period gives kNoPeriodCounted.
///
/// A period counts once a positive and a negative half-wave have both been
/// accepted since the last count. A half-wave is accepted when it is tall
/// enough, reference / lobe peak < ratio, and long enough, longest run / its
/// length <= ratio (integer divisions; with ratio 2: taller than half the
/// reference and longer than a third of the longest run). The references
/// start as the largest positive sample and the largest negative magnitude
/// (each at least 10) and are refreshed from the samples read at every sample
/// while the count is a multiple of 5. A rejected half-wave's length and peak
/// carry over into the next half-wave of its sign.
///
/// `bitsPerSample` is the take's sample width; anything but 16 counts
/// nothing (kNoPeriodCounted). `samples` may be null when byteCount < 2.
uint32_t CountPeriods(int16_t bitsPerSample, const int16_t* samples, uint32_t byteCount, uint32_t ratio);

}  // namespace tonarel
