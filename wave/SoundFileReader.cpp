#include "wave/SoundFileReader.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <system_error>

namespace tonarel {
namespace {

constexpr std::size_t kBlockFrames = 4096;

std::string Encoding(int subtype)
{
    switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return "8 位整数";
    case SF_FORMAT_PCM_16: return "16 位整数";
    case SF_FORMAT_PCM_24: return "24 位整数";
    case SF_FORMAT_PCM_32: return "32 位整数";
    case SF_FORMAT_FLOAT: return "32 位浮点";
    case SF_FORMAT_DOUBLE: return "64 位浮点";
    case SF_FORMAT_VORBIS: return "Vorbis";
    case SF_FORMAT_OPUS: return "Opus";
    case SF_FORMAT_ULAW: return "μ 律";
    case SF_FORMAT_ALAW: return "A 律";
    default: return "压缩编码";
    }
}

std::string Container(int major)
{
    switch (major) {
    case SF_FORMAT_WAV: return "WAV";
    case SF_FORMAT_FLAC: return "FLAC";
    case SF_FORMAT_OGG: return "Ogg";
    default: break;
    }
    SF_FORMAT_INFO info{};
    info.format = major;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || info.extension == nullptr) {
        return "?";
    }
    std::string name = info.extension;
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return name;
}

}  // namespace

std::string SoundFileFormat::Describe() const
{
    return container + " 文件（" + std::to_string(sampleRate) + " 赫兹，" +
           (channels == 1 ? std::string("单声道") : std::to_string(channels) + " 个声道") + "，" + encoding + "）";
}

void SoundFileReader::Closer::operator()(void* file) const
{
    sf_close(static_cast<SNDFILE*>(file));
}

std::optional<SoundFileReader> SoundFileReader::Open(const std::filesystem::path& fileName)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)) {
        return std::nullopt;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(fileName.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return std::nullopt;
    }
    SoundFileReader reader;
    reader.file_.reset(file);
    if (info.samplerate <= 0 || info.channels <= 0) {
        return std::nullopt;
    }
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    reader.format_.container = Container(major);
    reader.format_.encoding = Encoding(subtype);
    reader.format_.sampleRate = static_cast<uint32_t>(info.samplerate);
    reader.format_.channels = static_cast<uint32_t>(info.channels);
    reader.format_.pcm16 = subtype == SF_FORMAT_PCM_16;
    reader.format_.wav = major == SF_FORMAT_WAV;
    // Integer samples read as floats in [-1, 1); floating-point ones as they
    // are, clipped when they are mixed down.
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    reader.frames_.resize(kBlockFrames * reader.format_.channels);
    return reader;
}

std::size_t SoundFileReader::ReadMono(std::span<int16_t> mono)
{
    auto* file = static_cast<SNDFILE*>(file_.get());
    const std::size_t channels = format_.channels;
    std::size_t done = 0;
    while (done < mono.size()) {
        const auto wanted = static_cast<sf_count_t>(std::min(kBlockFrames, mono.size() - done));
        const sf_count_t read = sf_readf_float(file, frames_.data(), wanted);
        if (read <= 0) {
            break;
        }
        for (sf_count_t frame = 0; frame < read; ++frame) {
            const float* samples = frames_.data() + static_cast<std::size_t>(frame) * channels;
            double sum = 0.0;
            for (std::size_t channel = 0; channel < channels; ++channel) {
                sum += samples[channel];
            }
            const double value = std::clamp(std::round(sum / static_cast<double>(channels) * 32768.0), -32768.0, 32767.0);
            mono[done++] = static_cast<int16_t>(std::isnan(value) ? 0.0 : value);
        }
        if (read < wanted) {
            break;
        }
    }
    return done;
}

std::vector<int16_t> ReadSoundFileMono(SoundFileReader& reader)
{
    std::vector<int16_t> samples;
    std::size_t filled = 0;
    while (filled < kMostSoundFileFrames) {
        samples.resize(std::min(kMostSoundFileFrames, std::max<std::size_t>(2 * samples.size(), 1 << 16)));
        const std::size_t read = reader.ReadMono(std::span<int16_t>(samples).subspan(filled));
        filled += read;
        if (filled < samples.size()) {
            break;
        }
    }
    samples.resize(filled);
    return samples;
}

}  // namespace tonarel
