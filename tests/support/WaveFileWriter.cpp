#include "tests/support/WaveFileWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>
#include <stdexcept>

namespace tonarel::test {
namespace {

void PutText(std::vector<uint8_t>& bytes, const char (&text)[5])
{
    bytes.insert(bytes.end(), text, text + 4);
}

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int width)
{
    for (int k = 0; k < width; ++k) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * k)));
    }
}

std::vector<uint8_t> EncodeHeader(uint32_t dataBytes, const CaptureFileHeaderFields& fields)
{
    const int32_t dataSize = fields.dataSize.value_or(static_cast<int32_t>(dataBytes));
    std::vector<uint8_t> bytes;
    bytes.reserve(44);
    PutText(bytes, "RIFF");
    PutLittleEndian(bytes, 36 + dataBytes, 4);
    PutText(bytes, "WAVE");
    PutText(bytes, "fmt ");
    PutLittleEndian(bytes, 16, 4);                                          // format size
    PutLittleEndian(bytes, 1, 2);                                           // PCM
    PutLittleEndian(bytes, 1, 2);                                           // mono
    PutLittleEndian(bytes, kTestSampleRate, 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(fields.byteRate), 4);
    PutLittleEndian(bytes, 2, 2);                                           // block align
    PutLittleEndian(bytes, static_cast<uint16_t>(fields.bitsPerSample), 2);
    PutText(bytes, "data");
    PutLittleEndian(bytes, static_cast<uint32_t>(dataSize), 4);
    return bytes;
}

int16_t RoundToSample(double value)
{
    return static_cast<int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
}

}  // namespace

void WriteCaptureFileBytes(const std::filesystem::path& fileName, std::span<const uint8_t> dataBytes,
                           const CaptureFileHeaderFields& header)
{
    std::vector<uint8_t> bytes = EncodeHeader(static_cast<uint32_t>(dataBytes.size()), header);
    bytes.insert(bytes.end(), dataBytes.begin(), dataBytes.end());
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + fileName.string());
    }
}

void WriteCaptureFile(const std::filesystem::path& fileName, std::span<const int16_t> samples,
                      const CaptureFileHeaderFields& header)
{
    std::vector<uint8_t> data;
    data.reserve(samples.size() * 2);
    for (int16_t sample : samples) {
        PutLittleEndian(data, static_cast<uint16_t>(sample), 2);
    }
    WriteCaptureFileBytes(fileName, data, header);
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + fileName.string());
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
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

std::vector<int16_t> SineAtFrequency(uint32_t sampleCount, double frequencyHz, double amplitude)
{
    return Sine(sampleCount, kTestSampleRate / frequencyHz, amplitude);
}

std::vector<int16_t> DecayingTone(uint32_t sampleCount, double frequencyHz, double amplitude, double decaySeconds)
{
    std::vector<int16_t> samples(sampleCount);
    for (uint32_t i = 0; i < sampleCount; ++i) {
        const double t = static_cast<double>(i) / kTestSampleRate;
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
    for (int16_t& sample : samples) {
        sample = static_cast<int16_t>(distribution(generator));
    }
    return samples;
}

std::vector<int16_t> Concatenate(std::initializer_list<std::vector<int16_t>> pieces)
{
    std::vector<int16_t> joined;
    for (const auto& piece : pieces) {
        joined.insert(joined.end(), piece.begin(), piece.end());
    }
    return joined;
}

}  // namespace tonarel::test
