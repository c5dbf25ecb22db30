#include "tools/tones/WaveFileWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <random>
#include <stdexcept>

namespace tonarel::tones {
namespace {

int16_t RoundToSample(double value)
{
    return static_cast<int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
}

}  // namespace

void WriteCaptureFile(const std::filesystem::path& fileName, std::span<const int16_t> samples,
                      const CaptureFileHeaderFields& header)
{
    std::string bytes;
    const auto put = [&bytes](uint32_t value, int width) {
        for (int k = 0; k < width; ++k) bytes += static_cast<char>(value >> (8 * k));
    };
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    bytes += "RIFF";
    put(36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    put(16, 4);  // format size
    put(1, 2);   // PCM
    put(1, 2);   // mono
    put(kToneSampleRate, 4);
    put(static_cast<uint32_t>(header.byteRate), 4);
    put(2, 2);   // block align
    put(static_cast<uint16_t>(header.bitsPerSample), 2);
    bytes += "data";
    put(static_cast<uint32_t>(header.dataSize.value_or(static_cast<int32_t>(dataBytes))), 4);
    for (const int16_t sample : samples) put(static_cast<uint16_t>(sample), 2);
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        throw std::runtime_error("cannot write " + fileName.string());
    }
}

std::vector<int16_t> Silence(uint32_t sampleCount)
{
    return std::vector<int16_t>(sampleCount, 0);
}

std::vector<int16_t> Sine(uint32_t sampleCount, double samplesPerPeriod, double amplitude)
{
    std::vector<int16_t> samples(sampleCount);
    for (uint32_t i = 0; i < sampleCount; ++i) {
        samples[i] = RoundToSample(amplitude * std::sin(2.0 * std::numbers::pi * i / samplesPerPeriod));
    }
    return samples;
}

std::vector<int16_t> DecayingTone(uint32_t sampleCount, double frequencyHz, double amplitude, double decaySeconds)
{
    std::vector<int16_t> samples(sampleCount);
    for (uint32_t i = 0; i < sampleCount; ++i) {
        const double t = static_cast<double>(i) / kToneSampleRate;
        samples[i] = RoundToSample(amplitude * std::exp(-t / decaySeconds) *
                                   std::sin(2.0 * std::numbers::pi * frequencyHz * t));
    }
    return samples;
}

std::vector<int16_t> Noise(uint32_t sampleCount, int16_t amplitude, uint32_t seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> distribution(-amplitude, amplitude);
    std::vector<int16_t> samples(sampleCount);
    std::generate(samples.begin(), samples.end(), [&] { return static_cast<int16_t>(distribution(generator)); });
    return samples;
}

std::vector<int16_t> Concatenate(std::initializer_list<std::vector<int16_t>> pieces)
{
    std::vector<int16_t> joined;
    for (const auto& piece : pieces) joined.insert(joined.end(), piece.begin(), piece.end());
    return joined;
}

std::vector<int16_t> ToneBetweenSilences()
{
    return Concatenate({Silence(26460), Sine(44100, 100.0, 10000.0), Silence(26460)});
}

}  // namespace tonarel::tones
