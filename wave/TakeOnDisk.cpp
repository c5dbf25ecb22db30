#include "wave/TakeOnDisk.h"

#include <algorithm>
#include <cerrno>
#include <regex>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "common/AtomicFileWrite.h"
#include "common/ExclusiveFile.h"
#include "common/FileErrorText.h"
#include "wave/CaptureError.h"
#include "wave/WaveHeader.h"

namespace tonarel {

namespace {

// A take's temporary files are hidden: "." + this stem + ".<pid>.<n>.tmp".
constexpr const char* kTakeFileStem = "tonarel-take";

/// The process that made a take's temporary file, from the file's name;
/// nothing for any other name.
std::optional<pid_t> TakeFileOwner(const std::string& name)
{
    static const std::regex pattern("\\." + std::string(kTakeFileStem) + R"(\.([0-9]{1,9})\.[0-9]+\.tmp)");
    std::smatch match;
    if (!std::regex_match(name, match, pattern)) {
        return std::nullopt;
    }
    return static_cast<pid_t>(std::stol(match[1].str()));
}

/// Copies `length` bytes from `offset` of the file `from`, a piece at a time,
/// to `sink` (which returns 0 or an errno). Returns 0 or the first errno.
template <typename Sink>
int CopyBytes(int from, off_t offset, uint64_t length, Sink&& sink)
{
    std::vector<std::byte> piece(static_cast<std::size_t>(std::min<uint64_t>(length, 64 * 1024)));
    while (length > 0) {
        const ssize_t got = ::pread(from, piece.data(), std::min<uint64_t>(length, piece.size()), offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            // A file shorter than what was written to it has been cut by someone.
            return got < 0 ? errno : EIO;
        }
        if (const int error = sink(std::span<const std::byte>(piece).first(static_cast<std::size_t>(got)));
            error != 0) {
            return error;
        }
        offset += got;
        length -= static_cast<uint64_t>(got);
    }
    return 0;
}

[[noreturn]] void ThrowSaveFailure(const std::filesystem::path& file, int error)
{
    throw CaptureError("无法保存录音文件" + QuotedFileName(file) + "：" + DescribeFileError(error) + "。");
}

}  // namespace

TakeOnDisk::TakeOnDisk(std::filesystem::path folder, const CaptureFormat& format, uint32_t maxDataBytes)
    : folder_(std::move(folder)), format_(format), maxDataBytes_(std::min(maxDataBytes, MaxCaptureDataBytes(format)))
{
    int error = 0;
    spool_ = NewSpool(0, spoolPath_, error);
    if (!spool_) {
        throw CaptureError("无法在文件夹" + QuotedFileName(folder_) + "中录音：" + DescribeFileError(error) + "。");
    }
}

TakeOnDisk::~TakeOnDisk()
{
    DropSpool();
}

std::unique_ptr<StreamingWaveWriter> TakeOnDisk::NewSpool(uint32_t alreadyKept, std::filesystem::path& path,
                                                          int& error) const
{
    FileDescriptor file = CreateExclusiveFile(folder_, "." + std::string(kTakeFileStem), path, error);
    if (!file.IsOpen()) {
        return nullptr;
    }
    auto spool = std::make_unique<StreamingWaveWriter>(std::move(file), format_, maxDataBytes_ - alreadyKept);
    if (spool->Error() != 0) {
        error = spool->Error();
        spool.reset();
        ::unlink(path.c_str());
        path.clear();
    }
    return spool;
}

bool TakeOnDisk::Append(std::span<const std::byte> sound) noexcept
{
    if (failure_) {
        return false;
    }
    try {
        if (!spool_ && !ContinueAfterSave()) {
            return false;
        }
        if (const int error = spool_->Append(sound); error != 0) {
            Lose(error);
            return false;
        }
        return true;
    } catch (...) {
        Lose(ENOMEM);
        return false;
    }
}

bool TakeOnDisk::ContinueAfterSave()
{
    int error = 0;
    spool_ = NewSpool(savedBytes_, spoolPath_, error);
    if (spool_ && !heldAtSave_.empty()) {
        error = spool_->Append(heldAtSave_);
        heldAtSave_.clear();
    }
    if (!spool_ || error != 0) {
        Lose(error);
        return false;
    }
    return true;
}

uint32_t TakeOnDisk::DataBytes() const noexcept
{
    if (failure_) {
        return bytesAtLoss_;
    }
    return savedBytes_ + (spool_ ? spool_->DataBytes() : 0);
}

void TakeOnDisk::SaveAs(const std::filesystem::path& file)
{
    if (failure_) {
        throw CaptureError(*failure_);
    }
    if (saved_.IsOpen()) {
        GatherTake(file);
    }
    if (const int error = spool_->Finish(); error != 0) {
        Lose(error);
        throw CaptureError(*failure_);
    }
    // No flush to the disk first: the take is the session's scratch file,
    // replaced at every recording, and the rename alone already keeps every
    // reader from seeing it half written.
    if (::rename(spoolPath_.c_str(), file.c_str()) == 0) {
        // Later sound goes to a new temporary file, so that the saved file
        // stays as it was saved.
        savedBytes_ = spool_->DataBytes();
        const std::span<const std::byte> held = spool_->HeldBytes();
        heldAtSave_.assign(held.begin(), held.end());
        saved_ = spool_->ReleaseFile();
        spool_.reset();
        spoolPath_.clear();
        return;
    }
    const int error = errno;
    if (error != EXDEV) {
        ThrowSaveFailure(file, error);
    }
    CopyInto(file);
}

void TakeOnDisk::GatherTake(const std::filesystem::path& file)
{
    std::filesystem::path path;
    int error = 0;
    std::unique_ptr<StreamingWaveWriter> whole = NewSpool(0, path, error);
    if (!whole) {
        ThrowSaveFailure(file, error);
    }
    const auto append = [&whole](std::span<const std::byte> bytes) { return whole->Append(bytes); };
    error = CopyBytes(saved_.Get(), kWaveHeaderBytes, savedBytes_, append);
    if (error == 0 && spool_) {
        error = CopyBytes(spool_->Descriptor(), kWaveHeaderBytes, spool_->DataBytes(), append);
        if (error == 0) {
            error = whole->Append(spool_->HeldBytes());
        }
    } else if (error == 0) {
        error = whole->Append(heldAtSave_);
    }
    if (error != 0) {
        whole.reset();
        ::unlink(path.c_str());
        ThrowSaveFailure(file, error);
    }
    DropSpool();
    saved_.Reset();
    savedBytes_ = 0;
    heldAtSave_.clear();
    spool_ = std::move(whole);
    spoolPath_ = std::move(path);
}

void TakeOnDisk::CopyInto(const std::filesystem::path& file)
{
    const int error = ReplaceFileAtomically(file, [this](int descriptor) {
        return CopyBytes(spool_->Descriptor(), 0, uint64_t{kWaveHeaderBytes} + spool_->DataBytes(),
                         [descriptor](std::span<const std::byte> bytes) { return WriteAllBytes(descriptor, bytes); });
    });
    if (error != 0) {
        ThrowSaveFailure(file, error);
    }
}

void TakeOnDisk::DropSpool() noexcept
{
    spool_.reset();
    if (!spoolPath_.empty()) {
        ::unlink(spoolPath_.c_str());
        spoolPath_.clear();
    }
}

void TakeOnDisk::Lose(int systemError) noexcept
{
    bytesAtLoss_ = DataBytes();
    try {
        failure_ = "录音无法写入文件夹" + QuotedFileName(folder_) + "：" + DescribeFileError(systemError) + "。这次录音没有保存。";
    } catch (...) {
        failure_.emplace();
    }
    DropSpool();
    saved_.Reset();
    heldAtSave_.clear();
}

std::size_t RemoveAbandonedTakes(const std::filesystem::path& folder) noexcept
{
    std::size_t removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::optional<pid_t> owner = TakeFileOwner(entry->path().filename().string());
        // A process that is gone cannot be signalled at all; one that exists
        // but is not ours to signal still runs.
        if (!owner || *owner == ::getpid() || ::kill(*owner, 0) == 0 || errno != ESRCH) {
            continue;
        }
        std::error_code ignored;
        if (entry->is_regular_file(ignored) && std::filesystem::remove(entry->path(), ignored)) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace tonarel
