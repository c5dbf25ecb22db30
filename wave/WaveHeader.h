#pragma once
// The capture file's header and the take's template.
//
// A capture file is a PCM WAV file made of this fixed 44-byte header followed
// directly by the sample data. Tonarel records and analyses one format only:
// one channel of signed 16-bit little-endian samples at 44 100 samples per
// second, so one sample is 2 bytes, one second 88 200 bytes and one
// millisecond 88.2 bytes.
//
// Two kinds of position are used on such a file: a data offset counts bytes
// from the first sample byte (file offset 44); a file offset counts from byte 0.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace tonarel {

// Headers and samples are copied between files and memory as they lie; the
// file format is little-endian, and so must the machine be.
static_assert(std::endian::native == std::endian::little, "capture files are stored as the machine's own integers");

/// The 44-byte header, integers little-endian. The reader takes this layout as
/// fixed: there is no walk over the file's chunks.
struct WaveHeader {
    char ChunkId[4];        ///< "RIFF"
    uint32_t ChunkSize;     ///< bytes of the file after this field
    char FormType[4];       ///< "WAVE"
    char FormatId[4];       ///< "fmt " (the last letter is a blank)
    uint32_t FormatSize;    ///< bytes of format fields that follow: 16
    uint16_t AudioFormat;   ///< 1 = PCM
    int16_t Channels;       ///< channels per sample frame
    int32_t SampleRate;     ///< sample frames per second
    int32_t ByteRate;       ///< bytes per second; the scale of every estimated frequency
    int16_t BlockAlign;     ///< bytes per sample frame
    int16_t BitsPerSample;  ///< bits per sample; the estimator reads 16 only
    char DataId[4];         ///< "data"
    int32_t DataSize;       ///< bytes of sample data that follow, signed
};

// Every field lies on its natural alignment, so the record has no gaps without
// a packing pragma (which would turn every reference to a field into an
// unaligned-pointer warning). These asserts pin the layout byte for byte.
static_assert(sizeof(WaveHeader) == 44);
static_assert(offsetof(WaveHeader, ChunkSize) == 4 && offsetof(WaveHeader, FormType) == 8);
static_assert(offsetof(WaveHeader, FormatId) == 12 && offsetof(WaveHeader, FormatSize) == 16);
static_assert(offsetof(WaveHeader, AudioFormat) == 20 && offsetof(WaveHeader, Channels) == 22);
static_assert(offsetof(WaveHeader, SampleRate) == 24 && offsetof(WaveHeader, ByteRate) == 28);
static_assert(offsetof(WaveHeader, BlockAlign) == 32 && offsetof(WaveHeader, BitsPerSample) == 34);
static_assert(offsetof(WaveHeader, DataId) == 36 && offsetof(WaveHeader, DataSize) == 40);

/// Bytes of the header; sample data starts at this file offset.
inline constexpr uint32_t kWaveHeaderBytes = sizeof(WaveHeader);

/// The one capture format: mono, 16-bit, 44 100 samples per second.
inline constexpr int16_t kCaptureChannels = 1;
inline constexpr int16_t kCaptureBitsPerSample = 16;
inline constexpr int32_t kCaptureSampleRate = 44100;
inline constexpr uint32_t kCaptureBytesPerSecond = 88200;
/// Bytes in one millisecond of a take, as the nearest double. Lengths in
/// milliseconds become bytes through this double widened to long double:
/// 90 ms x 88.2 gives 7938 bytes (the long double literal 88.2L lies below
/// 88.2 and would give 7937).
inline constexpr double kCaptureBytesPerMillisecond = 88.2;

/// The header of an empty capture file in the given format: the fixed texts,
/// ChunkSize 36, FormatSize 16, AudioFormat 1, DataSize 0, and
///   ByteRate   = channels x sampleRate x (bitsPerSample / 8),
///   BlockAlign = channels x (bitsPerSample / 8),
/// with the division truncating toward zero and both products wrapping in 32
/// bits (BlockAlign keeps the low 16). 12 bits per sample count as 1 byte.
WaveHeader MakeWaveHeader(int16_t channels, int16_t bitsPerSample, int32_t sampleRate);

/// Writes the take's template: the 44 bytes of MakeWaveHeader(channels,
/// bitsPerSample, sampleRate) as the whole of `fileName`, created when missing
/// and truncated when it exists. The pitch meter writes WriteWaveHeader(1, 16,
/// 44100, "temp.wav") before every recording.
/// Always returns 0: a file that cannot be written is not reported here (the
/// sound device opened on it afterwards will fail and say so).
int32_t WriteWaveHeader(int16_t channels, int16_t bitsPerSample, int32_t sampleRate,
                        const std::filesystem::path& fileName);

}  // namespace tonarel
