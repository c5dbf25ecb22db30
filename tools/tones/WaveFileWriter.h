#pragma once
// Writing capture files of made-up sound: a 44-byte header and 16-bit mono
// samples at 44 100 samples per second, plus the signals to fill them with.
// Used by the tests, the benchmarks and tonarel-make-tones; plain C++, no Qt.
// The header is encoded here byte by byte, independently of the program's own
// header code, so that a fault there cannot hide in both.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

namespace tonarel::tones {

inline constexpr uint32_t kToneSampleRate = 44100;

/// Header fields a test may falsify; the rest is the recording format's.
struct CaptureFileHeaderFields {
    std::optional<int32_t> dataSize;  ///< default: the bytes of the samples written
    int16_t bitsPerSample = 16;       ///< the samples are written as 16-bit regardless
    int32_t byteRate = 88200;         ///< the scale of every frequency

    static CaptureFileHeaderFields ClaimingDataSize(int32_t dataSize) { return {dataSize, 16}; }
    static CaptureFileHeaderFields WithBitsPerSample(int16_t bitsPerSample) { return {std::nullopt, bitsPerSample}; }
    static CaptureFileHeaderFields WithByteRate(int32_t byteRate) { return {std::nullopt, 16, byteRate}; }
};

/// Writes `fileName` (replacing it): the header, then `samples` little-endian.
/// Throws std::runtime_error when the file cannot be written.
void WriteCaptureFile(const std::filesystem::path& fileName, std::span<const int16_t> samples,
                      const CaptureFileHeaderFields& header = {});

std::vector<int16_t> Silence(uint32_t sampleCount);

/// round(amplitude x sin(2 pi i / samplesPerPeriod)) from i = 0; 100 samples per period is 441 Hz.
std::vector<int16_t> Sine(uint32_t sampleCount, double samplesPerPeriod, double amplitude);

/// A sine of `frequencyHz` whose amplitude falls as exp(-t / decaySeconds), like a plucked string.
std::vector<int16_t> DecayingTone(uint32_t sampleCount, double frequencyHz, double amplitude, double decaySeconds);

/// Deterministic white noise, uniform in [-amplitude, amplitude].
std::vector<int16_t> Noise(uint32_t sampleCount, int16_t amplitude, uint32_t seed = 1);

std::vector<int16_t> Concatenate(std::initializer_list<std::vector<int16_t>> pieces);

/// A second of 441 Hz at amplitude 10000 between 0.6 s of digital silence on
/// each side: 194040 data bytes, whose automatic reading is about 7.99 Hz.
std::vector<int16_t> ToneBetweenSilences();

}  // namespace tonarel::tones
