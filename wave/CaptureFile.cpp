#include "wave/CaptureFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace tonarel {
namespace {

// Scans read a recording in 1024-byte blocks; a larger stream buffer lets a
// ten-second recording arrive in a dozen system calls instead of eight hundred.
constexpr std::size_t kReadBufferBytes = 64 * 1024;

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
    errno = 0;
    capture.file_.reset(std::fopen(fileName.c_str(), "rb"));
    if (!capture.file_) {
        return Fail(failure, OpenError::kCannotOpen, errno);
    }
    struct stat status {};
    if (fstat(fileno(capture.file_.get()), &status) != 0) {
        return Fail(failure, OpenError::kCannotOpen, errno);
    }
    if (S_ISDIR(status.st_mode)) {
        return Fail(failure, OpenError::kCannotOpen, EISDIR);
    }
    capture.fileBytes_ = status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : 0;

    capture.readBuffer_ = std::make_unique<char[]>(kReadBufferBytes);
    std::setvbuf(capture.file_.get(), capture.readBuffer_.get(), _IOFBF, kReadBufferBytes);

    if (capture.Read(&capture.header_, sizeof capture.header_) != sizeof capture.header_) {
        return Fail(failure, OpenError::kShorterThanHeader, 0);
    }
    return capture;
}

uint32_t CaptureFile::DataBytesPresent() const
{
    if (header_.DataSize <= 0 || fileBytes_ <= kWaveHeaderBytes) {
        return 0;
    }
    const uint64_t present = fileBytes_ - kWaveHeaderBytes;
    return static_cast<uint32_t>(std::min<uint64_t>(static_cast<uint64_t>(header_.DataSize), present));
}

std::size_t CaptureFile::Read(void* destination, std::size_t byteCount)
{
    return std::fread(destination, 1, byteCount, file_.get());
}

bool CaptureFile::SeekToFileOffset(uint64_t fileOffset)
{
    if (fileOffset > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
        return false;
    }
    return fseeko(file_.get(), static_cast<off_t>(fileOffset), SEEK_SET) == 0;
}

}  // namespace tonarel
