#include "platform/CaptureWaveFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <system_error>

#include "platform/CaptureError.h"

namespace tonarel {

namespace {

using HeaderBytes = std::array<unsigned char, CaptureHeaderBytes>;

uint32_t ReadLittleEndian32(const HeaderBytes& header, std::size_t offset)
{
    return uint32_t{header[offset]} | uint32_t{header[offset + 1]} << 8 | uint32_t{header[offset + 2]} << 16 |
           uint32_t{header[offset + 3]} << 24;
}

uint16_t ReadLittleEndian16(const HeaderBytes& header, std::size_t offset)
{
    return static_cast<uint16_t>(header[offset] | header[offset + 1] << 8);
}

void WriteLittleEndian32(HeaderBytes& header, std::size_t offset, uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i) {
        header[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

void WriteLittleEndian16(HeaderBytes& header, std::size_t offset, uint16_t value)
{
    header[offset] = static_cast<unsigned char>(value);
    header[offset + 1] = static_cast<unsigned char>(value >> 8);
}

bool HasTag(const HeaderBytes& header, std::size_t offset, const char (&tag)[5])
{
    return std::memcmp(header.data() + offset, tag, 4) == 0;
}

void PutTag(HeaderBytes& header, std::size_t offset, const char (&tag)[5])
{
    std::memcpy(header.data() + offset, tag, 4);
}

std::string Quoted(const std::filesystem::path& file)
{
    return "“" + file.string() + "”";
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
    HeaderBytes header{};
    std::ifstream stream(templateFile, std::ios::binary);
    if (!stream) {
        throw CaptureError("无法读取录音模板文件" + Quoted(templateFile) + "。");
    }
    stream.read(reinterpret_cast<char*>(header.data()), header.size());
    if (stream.gcount() != static_cast<std::streamsize>(header.size())) {
        throw CaptureError("录音模板文件" + Quoted(templateFile) + "不足 44 字节，不是有效的 WAV 文件头。");
    }

    const bool canonicalPcmHeader = HasTag(header, 0, "RIFF") && HasTag(header, 8, "WAVE") &&
                                    HasTag(header, 12, "fmt ") && ReadLittleEndian32(header, 16) == 16 &&
                                    ReadLittleEndian16(header, 20) == 1 && HasTag(header, 36, "data");
    if (!canonicalPcmHeader) {
        throw CaptureError("录音模板文件" + Quoted(templateFile) + "不是 44 字节文件头的 PCM WAV 文件。");
    }

    CaptureFormat format;
    format.channels = ReadLittleEndian16(header, 22);
    format.sampleRate = ReadLittleEndian32(header, 24);
    format.bitsPerSample = ReadLittleEndian16(header, 34);
    // The header stores these as signed fields; a "negative" value reads as a
    // huge one here and is refused with the rest.
    const bool recordable = format.channels >= 1 && format.channels <= 32 && format.sampleRate >= 1 &&
                            format.sampleRate <= 1'000'000 &&
                            (format.bitsPerSample == 8 || format.bitsPerSample == 16 || format.bitsPerSample == 32);
    if (!recordable) {
        throw CaptureError("录音模板文件" + Quoted(templateFile) + "声明的格式无法录音（" +
                           std::to_string(format.channels) + " 声道，" + std::to_string(format.bitsPerSample) +
                           " 位，" + std::to_string(format.sampleRate) + " 赫兹）。");
    }
    return format;
}

void WriteRecordingFile(const std::filesystem::path& file, const CaptureFormat& format,
                      std::span<const std::byte> samples)
{
    const uint32_t frame = std::max<uint32_t>(format.BytesPerFrame(), 1);
    const std::size_t wholeFrames = samples.size() - samples.size() % frame;
    const uint32_t dataBytes = static_cast<uint32_t>(std::min<std::size_t>(wholeFrames, MaxCaptureDataBytes(format)));

    HeaderBytes header{};
    PutTag(header, 0, "RIFF");
    WriteLittleEndian32(header, 4, CaptureHeaderBytes - 8 + dataBytes);
    PutTag(header, 8, "WAVE");
    PutTag(header, 12, "fmt ");
    WriteLittleEndian32(header, 16, 16);
    WriteLittleEndian16(header, 20, 1);
    WriteLittleEndian16(header, 22, format.channels);
    WriteLittleEndian32(header, 24, format.sampleRate);
    WriteLittleEndian32(header, 28, format.BytesPerSecond());
    WriteLittleEndian16(header, 32, static_cast<uint16_t>(format.BytesPerFrame()));
    WriteLittleEndian16(header, 34, format.bitsPerSample);
    PutTag(header, 36, "data");
    WriteLittleEndian32(header, 40, dataBytes);

    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    if (!stream) {
        throw CaptureError("无法保存录音文件" + Quoted(file) + "。");
    }
    stream.write(reinterpret_cast<const char*>(header.data()), header.size());
    stream.write(reinterpret_cast<const char*>(samples.data()), dataBytes);
    stream.close();
    if (!stream) {
        // A truncated recording would be analysed as if it were the whole
        // take; better no file at all.
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        throw CaptureError("无法完整保存录音文件" + Quoted(file) + "。");
    }
}

}  // namespace tonarel
