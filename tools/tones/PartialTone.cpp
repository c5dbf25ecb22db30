#include "tools/tones/PartialTone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tonarel::tones {

double PartialTone::FirstPartialHz() const
{
    return f0Hz * std::sqrt(1.0 + inharmonicity);
}

namespace {

constexpr double kRate = 44100.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The tone with every partial's frequency multiplied by bendAt(t) at t
// seconds, each partial's phase running on without a break.
template <typename BendAt>
std::vector<int16_t> SynthesiseBent(const PartialTone& tone, uint32_t sampleCount, const BendAt& bendAt)
{
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
        const double bend = bendAt(t);
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

}  // namespace

std::vector<int16_t> Synthesise(const PartialTone& tone, uint32_t sampleCount)
{
    return SynthesiseBent(tone, sampleCount, [&tone](double t) {
        return std::exp2(tone.vibratoCents / 1200.0 * std::sin(kTwoPi * tone.vibratoHz * t));
    });
}

std::vector<int16_t> SynthesiseAlong(const PartialTone& tone, uint32_t sampleCount,
                                     const std::function<double(double seconds)>& centsAt)
{
    return SynthesiseBent(tone, sampleCount, [&tone, &centsAt](double t) {
        return std::exp2((centsAt(t) + tone.vibratoCents * std::sin(kTwoPi * tone.vibratoHz * t)) / 1200.0);
    });
}

std::vector<double> FallingAmplitudes(uint32_t count, double first)
{
    std::vector<double> amplitudes;
    for (uint32_t k = 1; k <= count; ++k) {
        amplitudes.push_back(first / k);
    }
    return amplitudes;
}

std::vector<int16_t> Mix(const std::vector<int16_t>& samples, const std::vector<int16_t>& noise)
{
    std::vector<int16_t> mixed(samples.size());
    for (std::size_t n = 0; n < samples.size(); ++n) {
        const int sum = samples[n] + (n < noise.size() ? noise[n] : 0);
        mixed[n] = static_cast<int16_t>(std::clamp(sum, -32768, 32767));
    }
    return mixed;
}

}  // namespace tonarel::tones
