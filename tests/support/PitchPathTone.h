#pragma once
// A PartialTone (tools/tones/PartialTone.h) whose pitch follows a path in
// time: a step, a glide, anything a function of time can say. The phase of
// every partial runs on without a break where the pitch moves, as when a
// player bends a note or a tuning pin turns. Plain C++, no Qt.

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/tones/PartialTone.h"

namespace tonarel::test {

/// `sampleCount` samples at 44 100 Hz of `tone` with every partial moved by
/// centsAt(t) cents at t seconds (on top of the tone's own vibrato); the same
/// 5 ms rise, decay, 20 kHz limit and 16-bit rounding as Synthesise.
/// Example: a step from A4 to 10 cents sharp after one second:
///   SynthesiseAlong(tone, 88200, [](double t) { return t < 1.0 ? 0.0 : 10.0; })
std::vector<int16_t> SynthesiseAlong(const tones::PartialTone& tone, uint32_t sampleCount,
                                     const std::function<double(double seconds)>& centsAt);

}  // namespace tonarel::test
