#pragma once
// Synthetic notes with known partials, for checking pitch readings: partial k
// at k x f0 x sqrt(1 + B k^2) (a stiff string; B = 0 is harmonic), each with
// its own amplitude, optionally with vibrato and an exponential decay.
// Used by the tests and tonarel-make-tones; plain C++, no Qt.

#include <cstdint>
#include <functional>
#include <vector>

namespace tonarel::tones {

struct PartialTone {
    double f0Hz = 440.0;
    double inharmonicity = 0.0;     ///< B
    std::vector<double> amplitudes = {10000.0};  ///< partial k = index + 1, in sample units; 0 = absent
    double vibratoCents = 0.0;      ///< peak deviation of a sinusoidal vibrato
    double vibratoHz = 5.5;
    double decaySeconds = 0.0;      ///< amplitude falls as exp(-t / decaySeconds); 0 = steady

    /// What a tuner should read: the first partial, f0 sqrt(1 + B).
    double FirstPartialHz() const;
};

/// `sampleCount` samples at 44 100 Hz of `tone`, with a 5 ms rise at the
/// start; partials above 20 kHz are left out. Samples are rounded and clipped
/// to 16 bits.
std::vector<int16_t> Synthesise(const PartialTone& tone, uint32_t sampleCount);

/// As Synthesise, with the pitch following a path in time: every partial
/// moved by centsAt(t) cents at t seconds (on top of the tone's own vibrato),
/// its phase running on without a break, as when a player bends a note or a
/// tuning pin turns. Example: a step from A4 to 10 cents sharp after 1 s:
///   SynthesiseAlong(tone, 88200, [](double t) { return t < 1.0 ? 0.0 : 10.0; })
std::vector<int16_t> SynthesiseAlong(const PartialTone& tone, uint32_t sampleCount,
                                     const std::function<double(double seconds)>& centsAt);

/// Partials 1 to `count` of amplitude `first` / k: a bright, string-like tone.
std::vector<double> FallingAmplitudes(uint32_t count, double first);

/// `samples` with `noise` added sample by sample (both as long as the first).
std::vector<int16_t> Mix(const std::vector<int16_t>& samples, const std::vector<int16_t>& noise);

}  // namespace tonarel::tones
