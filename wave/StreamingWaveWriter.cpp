#include "wave/StreamingWaveWriter.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

#include "wave/WaveHeader.h"

namespace tonarel {

namespace {

WaveHeader HeaderFor(const CaptureFormat& format, uint32_t dataBytes)
{
    WaveHeader header = MakeWaveHeader(static_cast<int16_t>(format.channels),
                                       static_cast<int16_t>(format.bitsPerSample),
                                       static_cast<int32_t>(format.sampleRate));
    header.ChunkSize = kWaveHeaderBytes - 8 + dataBytes;
    header.DataSize = static_cast<int32_t>(dataBytes);
    return header;
}

}  // namespace

StreamingWaveWriter::StreamingWaveWriter(FileDescriptor file, const CaptureFormat& format, uint32_t maxDataBytes)
    : file_(std::move(file)),
      format_(format),
      frameBytes_(std::max<uint32_t>(format.BytesPerFrame(), 1)),
      maxDataBytes_(std::min(maxDataBytes, MaxCaptureDataBytes(format)))
{
    maxDataBytes_ -= maxDataBytes_ % frameBytes_;
    held_.reserve(frameBytes_);
    const WaveHeader header = HeaderFor(format_, 0);
    error_ = WriteAllBytes(file_.Get(), std::as_bytes(std::span(&header, 1)));
}

int StreamingWaveWriter::Append(std::span<const std::byte> sound)
{
    if (error_ != 0) {
        return error_;
    }
    if (!held_.empty()) {
        const std::size_t missing = std::min<std::size_t>(frameBytes_ - held_.size(), sound.size());
        held_.insert(held_.end(), sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(missing));
        sound = sound.subspan(missing);
        if (held_.size() < frameBytes_) {
            return 0;
        }
        error_ = WriteFrames(held_);
        held_.clear();
        if (error_ != 0) {
            return error_;
        }
    }
    const std::size_t wholeFrames = sound.size() - sound.size() % frameBytes_;
    error_ = WriteFrames(sound.first(wholeFrames));
    if (error_ == 0 && dataBytes_ < maxDataBytes_) {
        const std::span<const std::byte> rest = sound.subspan(wholeFrames);
        held_.assign(rest.begin(), rest.end());
    }
    return error_;
}

int StreamingWaveWriter::WriteFrames(std::span<const std::byte> frames)
{
    const std::size_t room = maxDataBytes_ - dataBytes_;
    frames = frames.first(std::min(frames.size(), room));
    const int error = WriteAllBytes(file_.Get(), frames);
    if (error == 0) {
        dataBytes_ += static_cast<uint32_t>(frames.size());
    }
    return error;
}

int StreamingWaveWriter::Finish()
{
    if (error_ != 0) {
        return error_;
    }
    const WaveHeader header = HeaderFor(format_, dataBytes_);
    std::span<const std::byte> bytes = std::as_bytes(std::span(&header, 1));
    off_t offset = 0;
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(file_.Get(), bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            error_ = written < 0 ? errno : EIO;
            return error_;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        offset += written;
    }
    return 0;
}

}  // namespace tonarel
