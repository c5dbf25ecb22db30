#include "wave/TakeFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

#include "common/FileErrorText.h"
#include "wave/CaptureError.h"
#include "wave/WaveHeader.h"

namespace tonarel {

namespace {

bool HasTag(const char (&field)[4], const char (&tag)[5])
{
    return std::memcmp(field, tag, 4) == 0;
}

}  // namespace

uint32_t MaxCaptureDataBytes(const CaptureFormat& format)
{
    const uint32_t limit = std::numeric_limits<int32_t>::max();
    const uint32_t frame = std::max<uint32_t>(format.BytesPerFrame(), 1);
    return limit - limit % frame;
}

CaptureFormat ReadCaptureTemplate(const std::filesystem::path& templateFile)
{
    std::ifstream stream(templateFile, std::ios::binary);
    if (!stream) {
        throw CaptureError("无法读取录音模板文件" + QuotedFileName(templateFile) + "。");
    }
    WaveHeader header{};
    stream.read(reinterpret_cast<char*>(&header), sizeof header);
    if (stream.gcount() != static_cast<std::streamsize>(sizeof header)) {
        throw CaptureError("录音模板文件" + QuotedFileName(templateFile) + "不足 44 字节，不是有效的 WAV 文件头。");
    }
    const bool canonicalPcmHeader = HasTag(header.ChunkId, "RIFF") && HasTag(header.FormType, "WAVE") &&
                                    HasTag(header.FormatId, "fmt ") && header.FormatSize == 16 &&
                                    header.AudioFormat == 1 && HasTag(header.DataId, "data");
    if (!canonicalPcmHeader) {
        throw CaptureError("录音模板文件" + QuotedFileName(templateFile) + "不是 44 字节文件头的 PCM WAV 文件。");
    }

    const bool recordable = header.Channels >= 1 && header.Channels <= 32 && header.SampleRate >= 1 &&
                            header.SampleRate <= 1'000'000 &&
                            (header.BitsPerSample == 8 || header.BitsPerSample == 16 || header.BitsPerSample == 32);
    if (!recordable) {
        throw CaptureError("录音模板文件" + QuotedFileName(templateFile) + "声明的格式无法录音（" +
                           std::to_string(header.Channels) + " 声道，" + std::to_string(header.BitsPerSample) +
                           " 位，" + std::to_string(header.SampleRate) + " 赫兹）。");
    }
    return CaptureFormat{static_cast<uint16_t>(header.Channels), static_cast<uint32_t>(header.SampleRate),
                         static_cast<uint16_t>(header.BitsPerSample)};
}

}  // namespace tonarel
