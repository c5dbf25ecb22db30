#include "wave/CaptureFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace tonarel {
namespace {

// Scans walk a recording in 1024-byte blocks; reading ahead 64 KiB at a time
// brings a ten-second recording in with a dozen system calls instead of eight
// hundred. The stream itself is unbuffered: the reader keeps the only copy.
constexpr std::size_t kBufferBytes = CaptureFile::kReadAheadBytes;

std::optional<CaptureFile> Fail(CaptureFile::OpenFailure* failure, CaptureFile::OpenError error, int systemError)
{
    if (failure != nullptr) {
        *failure = {error, systemError};
    }
    return std::nullopt;
}

}  // namespace

std::optional<CaptureFile> CaptureFile::Open(const std::filesystem::path& fileName, OpenFailure* failure)
{
    CaptureFile capture;
    ReadOpenFailure refusal;
    capture.file_ = OpenRegularFileForReading(fileName, &refusal);
    if (!capture.file_) {
        return Fail(failure,
                    refusal.error == ReadOpenError::kNotRegularFile ? OpenError::kNotRegularFile
                                                                    : OpenError::kCannotOpen,
                    refusal.systemError);
    }
    struct stat status {};
    if (fstat(fileno(capture.file_.get()), &status) != 0) {
        return Fail(failure, OpenError::kCannotOpen, errno);
    }
    capture.fileBytes_ = status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : 0;
    std::setvbuf(capture.file_.get(), nullptr, _IONBF, 0);
    capture.buffer_ = std::make_unique_for_overwrite<int16_t[]>(kBufferBytes / 2);

    if (capture.Read(&capture.header_, sizeof capture.header_) != sizeof capture.header_) {
        return Fail(failure, OpenError::kShorterThanHeader, 0);
    }
    return capture;
}

uint32_t CaptureFile::DataBytesPresent() const
{
    if (header_.DataSize == 0 || fileBytes_ <= kWaveHeaderBytes) {
        return 0;
    }
    const uint64_t present = fileBytes_ - kWaveHeaderBytes;
    const uint64_t claimed = header_.DataSize > 0 ? static_cast<uint64_t>(header_.DataSize)
                                                  : static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    return static_cast<uint32_t>(std::min(claimed, present));
}

void CaptureFile::Buffer(std::size_t byteCount)
{
    char* const bytes = reinterpret_cast<char*>(buffer_.get());
    const std::size_t held = bufferedTo_ - bufferedFrom_;
    if (bufferedFrom_ != 0) {
        std::memmove(bytes, bytes + bufferedFrom_, held);
        bufferedFrom_ = 0;
        bufferedTo_ = held;
    }
    while (bufferedTo_ < byteCount) {
        const std::size_t arrived = std::fread(bytes + bufferedTo_, 1, kBufferBytes - bufferedTo_, file_.get());
        if (arrived == 0) {
            return;
        }
        bufferedTo_ += arrived;
    }
}

std::size_t CaptureFile::Read(void* destination, std::size_t byteCount)
{
    char* out = static_cast<char*>(destination);
    std::size_t delivered = std::min(byteCount, bufferedTo_ - bufferedFrom_);
    std::memcpy(out, reinterpret_cast<const char*>(buffer_.get()) + bufferedFrom_, delivered);
    bufferedFrom_ += delivered;
    if (delivered == byteCount) {
        return delivered;
    }
    // The read-ahead is used up. A long read goes straight to its
    // destination; a short one refills the read-ahead first.
    bufferedFrom_ = bufferedTo_ = 0;
    const std::size_t missing = byteCount - delivered;
    if (missing >= kBufferBytes) {
        return delivered + std::fread(out + delivered, 1, missing, file_.get());
    }
    Buffer(missing);
    const std::size_t rest = std::min(missing, bufferedTo_);
    std::memcpy(out + delivered, buffer_.get(), rest);
    bufferedFrom_ = rest;
    return delivered + rest;
}

std::span<const int16_t> CaptureFile::ViewSamples(std::size_t sampleCount)
{
    sampleCount = std::min(sampleCount, kMostViewedSamples);
    const std::size_t wanted = sampleCount * 2;
    // A view must start on a whole sample of the buffer: an odd position, or
    // too few bytes ahead, moves what is held to the start and refills.
    if (bufferedTo_ - bufferedFrom_ < wanted || bufferedFrom_ % 2 != 0) {
        Buffer(wanted);
    }
    const std::size_t available = std::min(wanted, (bufferedTo_ - bufferedFrom_) & ~std::size_t{1});
    const std::span<const int16_t> view(buffer_.get() + bufferedFrom_ / 2, available / 2);
    bufferedFrom_ += available;
    return view;
}

bool CaptureFile::SeekToFileOffset(uint64_t fileOffset)
{
    bufferedFrom_ = bufferedTo_ = 0;
    if (fileOffset > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
        return false;
    }
    return fseeko(file_.get(), static_cast<off_t>(fileOffset), SEEK_SET) == 0;
}

}  // namespace tonarel
