#pragma once
// Writing capture files for tests: a 44-byte header and 16-bit mono samples
// at 44 100 samples per second, plus the signals tests need (sine, silence,
// a decaying tone). Plain C++, no Qt; usable from core and window tests alike.
//
// Typical use, preparing the pitch meter's recording in the current directory:
//
//     using namespace tonarel::test;
//     WriteCaptureFile("my.wav", Concatenate({Silence(22050), SineAtFrequency(44100, 441.0, 10000.0)}));
//
// The header is encoded here byte by byte, independently of the program's own
// header code, so that a fault there cannot hide in both.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

namespace tonarel::test {

/// The sample rate of every generated signal and written file.
inline constexpr uint32_t kTestSampleRate = 44100;

/// Header fields a test may want to falsify; everything else is the
/// recording format's (mono, 16-bit, 44 100 Hz, ByteRate 88200).
struct CaptureFileHeaderFields {
    /// DataSize as written; default: the bytes of the samples actually written.
    std::optional<int32_t> dataSize;
    /// BitsPerSample as written (the samples are still written as 16-bit).
    int16_t bitsPerSample = 16;
    /// ByteRate as written.
    int32_t byteRate = 88200;

    /// Shorthands (designated initializers that leave fields out trip -Wextra).
    static CaptureFileHeaderFields ClaimingDataSize(int32_t dataSize)
    {
        CaptureFileHeaderFields fields;
        fields.dataSize = dataSize;
        return fields;
    }
    static CaptureFileHeaderFields WithBitsPerSample(int16_t bitsPerSample)
    {
        CaptureFileHeaderFields fields;
        fields.bitsPerSample = bitsPerSample;
        return fields;
    }
};

/// Writes `fileName` (replacing it) as a 44-byte header followed by `samples`
/// as little-endian 16-bit values. Throws std::runtime_error when the file
/// cannot be written.
void WriteCaptureFile(const std::filesystem::path& fileName, std::span<const int16_t> samples,
                      const CaptureFileHeaderFields& header = {});

/// Writes `fileName` with exactly these bytes after the header (to make an
/// odd-length recording, for instance); DataSize defaults to their count.
void WriteCaptureFileBytes(const std::filesystem::path& fileName, std::span<const uint8_t> dataBytes,
                           const CaptureFileHeaderFields& header = {});

/// The whole content of a file, for comparing bytes.
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& fileName);

/// `sampleCount` zero samples.
std::vector<int16_t> Silence(uint32_t sampleCount);

/// round(amplitude x sin(2 pi i / samplesPerPeriod)) for i = 0 .. sampleCount-1,
/// starting at phase 0. samplesPerPeriod 100 is a 441 Hz tone.
std::vector<int16_t> Sine(uint32_t sampleCount, double samplesPerPeriod, double amplitude);

/// A sine of `frequencyHz` at 44 100 samples per second (see Sine).
std::vector<int16_t> SineAtFrequency(uint32_t sampleCount, double frequencyHz, double amplitude);

/// A plucked-string-like note: a sine of `frequencyHz` whose amplitude starts
/// at `amplitude` and falls as exp(-t / decaySeconds), rounded to integers.
std::vector<int16_t> DecayingTone(uint32_t sampleCount, double frequencyHz, double amplitude, double decaySeconds);

/// Deterministic white noise, uniform in [-amplitude, amplitude].
std::vector<int16_t> Noise(uint32_t sampleCount, int16_t amplitude, uint32_t seed = 1);

/// The pieces one after the other.
std::vector<int16_t> Concatenate(std::initializer_list<std::vector<int16_t>> pieces);

}  // namespace tonarel::test
