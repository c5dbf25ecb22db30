#pragma once
// The capture files of a take: the template whose header tells the capture
// its format, and the file a take is saved to (by TakeOnDisk). Both are the 44-byte canonical
// PCM layout (RIFF, a 16-byte "fmt " chunk, then "data"), integers
// little-endian, which is the only layout the estimators read.

#include <cstdint>
#include <filesystem>

namespace tonarel {

/// Interleaved signed PCM (unsigned for 8 bits, as WAV has it).
struct CaptureFormat {
    uint16_t channels = 1;          ///< 1 or more
    uint32_t sampleRate = 44100;    ///< frames per second, 1 or more
    uint16_t bitsPerSample = 16;    ///< 8, 16 or 32

    /// Bytes of one frame (one sample of every channel).
    uint32_t BytesPerFrame() const { return uint32_t{channels} * (bitsPerSample / 8u); }
    /// Bytes of one second of sound.
    uint32_t BytesPerSecond() const { return BytesPerFrame() * sampleRate; }

    bool operator==(const CaptureFormat&) const = default;
};

/// The most sample bytes a saved file can hold in `format`: whole frames only,
/// and no more than the header's signed 32-bit data length can state.
uint32_t MaxCaptureDataBytes(const CaptureFormat& format);

/// Reads the format declared by the 44-byte header of `templateFile`; the rest
/// of the file is not looked at. Throws CaptureError, naming the file, when it
/// cannot be read, is shorter than 44 bytes, is not a PCM WAV header in the
/// 44-byte layout, or declares a format that cannot be recorded (no channels,
/// no samples per second, or a width other than 8, 16 or 32 bits).
CaptureFormat ReadCaptureTemplate(const std::filesystem::path& templateFile);

}  // namespace tonarel
