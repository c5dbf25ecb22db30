#pragma once
// Reading a sound file as it really is, whatever its format: WAV in its
// variants (any sample rate, any number of channels, 8- to 32-bit integer or
// floating-point samples, extra chunks), FLAC, Ogg and the other formats
// libsndfile reads. The frames come out mixed down to one channel of 16-bit
// samples, as the precise reading takes them. The pitch meter's own takes are
// read by CaptureFile; this reader is for files a user hands over.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tonarel {

/// What a sound file holds, as its container says.
struct SoundFileFormat {
    std::string container;   ///< "WAV", "FLAC", "Ogg", or libsndfile's extension in capitals ("AIFF"); "?" if unknown
    std::string encoding;    ///< the samples in words: "16 位整数", "24 位整数", "32 位浮点", "Vorbis", ...
    uint32_t sampleRate = 0;  ///< frames per second, at least 1
    uint32_t channels = 0;    ///< at least 1
    bool pcm16 = false;       ///< samples are signed 16-bit integers
    bool wav = false;         ///< a plain RIFF/WAVE file (not RF64 nor WAVE_FORMAT_EXTENSIBLE)

    /// 44 100 Hz, one channel, 16-bit integer samples in a WAV file: the
    /// format the capture file reader takes every file to be.
    bool IsCaptureFormat() const { return wav && pcm16 && channels == 1 && sampleRate == 44100; }
    /// "WAV 文件（48000 赫兹，2 个声道，24 位整数）"
    std::string Describe() const;
};

class SoundFileReader {
public:
    /// Opens `fileName` for reading. Nothing when libsndfile does not take it
    /// for a sound file (a text file, a picture, a truncated header), when it
    /// cannot be opened, when it is not a regular file (a FIFO or a device is
    /// refused without being opened), or when its rate or channel count is 0.
    static std::optional<SoundFileReader> Open(const std::filesystem::path& fileName);

    const SoundFileFormat& Format() const { return format_; }

    /// Reads the next frames into `mono`, at most its size: each the mean of
    /// its channels, full scale as 32767 (floating-point samples beyond it
    /// clipped), rounded. 16-bit mono files come out sample for sample.
    /// Returns how many frames were read: fewer only at the end of the file or
    /// on a decoding error, which ends the file.
    std::size_t ReadMono(std::span<int16_t> mono);

private:
    struct Closer {
        void operator()(void* file) const;
    };
    SoundFileReader() = default;

    std::unique_ptr<void, Closer> file_;  // SNDFILE*, kept out of this header
    SoundFileFormat format_;
    std::vector<float> frames_;  // one block of interleaved frames
};

/// The most frames ReadSoundFileMono reads: 2^25, over 12 minutes at
/// 44 100 Hz, 64 MiB of samples; a tuning take is seconds long.
inline constexpr std::size_t kMostSoundFileFrames = std::size_t{1} << 25;

/// The whole of an opened file mixed down (ReadMono), at most
/// kMostSoundFileFrames frames.
std::vector<int16_t> ReadSoundFileMono(SoundFileReader& reader);

}  // namespace tonarel
