#include "tests/support/PitchPathTone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tonarel::test {

std::vector<int16_t> SynthesiseAlong(const tones::PartialTone& tone, uint32_t sampleCount,
                                     const std::function<double(double seconds)>& centsAt)
{
    constexpr double kRate = 44100.0;
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    std::vector<double> partialHz;
    for (std::size_t index = 0; index < tone.amplitudes.size(); ++index) {
        const double k = static_cast<double>(index + 1);
        partialHz.push_back(k * tone.f0Hz * std::sqrt(1.0 + tone.inharmonicity * k * k));
    }
    std::vector<double> phase(partialHz.size(), 0.0);
    std::vector<int16_t> samples(sampleCount);
    for (uint32_t n = 0; n < sampleCount; ++n) {
        const double t = n / kRate;
        double envelope = std::min(1.0, t / 0.005);
        if (tone.decaySeconds > 0.0) {
            envelope *= std::exp(-t / tone.decaySeconds);
        }
        const double cents = centsAt(t) + tone.vibratoCents * std::sin(kTwoPi * tone.vibratoHz * t);
        const double bend = std::exp2(cents / 1200.0);
        double value = 0.0;
        for (std::size_t k = 0; k < partialHz.size(); ++k) {
            if (partialHz[k] * bend < 20000.0) {
                value += tone.amplitudes[k] * std::sin(phase[k]);
            }
            phase[k] = std::fmod(phase[k] + kTwoPi * partialHz[k] * bend / kRate, kTwoPi);
        }
        samples[n] = static_cast<int16_t>(std::lround(std::clamp(envelope * value, -32768.0, 32767.0)));
    }
    return samples;
}

}  // namespace tonarel::test
