#include "wave/WaveHeader.h"

#include <cstring>
#include <fstream>

namespace tonarel {

WaveHeader MakeWaveHeader(int16_t channels, int16_t bitsPerSample, int32_t sampleRate)
{
    WaveHeader header{};
    std::memcpy(header.ChunkId, "RIFF", 4);
    header.ChunkSize = 36;
    std::memcpy(header.FormType, "WAVE", 4);
    std::memcpy(header.FormatId, "fmt ", 4);
    header.FormatSize = 16;
    header.AudioFormat = 1;
    header.Channels = channels;
    header.SampleRate = sampleRate;
    header.BitsPerSample = bitsPerSample;
    // The products wrap in 32 bits like the fields that hold them; unsigned
    // arithmetic makes the wrap defined for absurd arguments.
    const int32_t bytesPerSample = bitsPerSample / 8;
    const uint32_t frameBytes = static_cast<uint32_t>(channels) * static_cast<uint32_t>(bytesPerSample);
    header.ByteRate = static_cast<int32_t>(frameBytes * static_cast<uint32_t>(sampleRate));
    header.BlockAlign = static_cast<int16_t>(frameBytes & 0xFFFFu);
    std::memcpy(header.DataId, "data", 4);
    header.DataSize = 0;
    return header;
}

int32_t WriteWaveHeader(int16_t channels, int16_t bitsPerSample, int32_t sampleRate,
                        const std::filesystem::path& fileName)
{
    const WaveHeader header = MakeWaveHeader(channels, bitsPerSample, sampleRate);
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(&header), sizeof header);
    return 0;
}

}  // namespace tonarel
