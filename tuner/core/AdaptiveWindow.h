#pragma once
// How long a stretch of the input the live tracker analyses for a note:
// long enough to separate a bass note's close partials, short enough that a
// treble note's reading follows the player quickly. A window holds at least
// about nine periods of the first partial and at least four of the window's
// resolutions (44 100 / length hertz) between neighbouring partials.

#include <array>
#include <cstddef>

namespace tonarel::tuner {

/// Samples per second of the input.
inline constexpr double kLiveSampleRate = 44100.0;

/// The window lengths in samples, shortest first (46 ms to 372 ms).
inline constexpr std::array<std::size_t, 4> kWindowLengths = {2048, 4096, 8192, 16384};

/// The window for a note whose first partial is at `firstPartialHz`:
/// 2048 samples from 1000 Hz up, 4096 from 100 Hz, 8192 from 50 Hz,
/// 16384 below. Up to 1 kHz the window spans 93 ms, which evens out the
/// beating of a piano's unison strings without hiding a vibrato.
/// Example: A4 (440 Hz) -> 4096, C2 (65.4 Hz) -> 8192.
constexpr std::size_t WindowLengthFor(double firstPartialHz)
{
    if (firstPartialHz >= 1000.0) {
        return kWindowLengths[0];
    }
    if (firstPartialHz >= 100.0) {
        return kWindowLengths[1];
    }
    if (firstPartialHz >= 50.0) {
        return kWindowLengths[2];
    }
    return kWindowLengths[3];
}

/// Samples between the two frames whose phase difference measures the
/// partials: an eighth of the window, so that a partial may lie up to four
/// bins from the bin it is read in without its phase advance wrapping.
constexpr std::size_t AdvanceFor(std::size_t windowLength)
{
    return windowLength / 8;
}

}  // namespace tonarel::tuner
