#pragma once
// Sole ownership of an open POSIX file descriptor, and writing all of a
// buffer to one.

#include <cerrno>
#include <cstddef>
#include <span>
#include <utility>

#include <unistd.h>

namespace tonarel {

/// Owns one open file descriptor and closes it when it goes; -1 owns nothing.
/// Move-only, like the descriptor's ownership itself.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor() { Reset(); }

    FileDescriptor(FileDescriptor&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other) {
            Reset();
            descriptor_ = std::exchange(other.descriptor_, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return descriptor_; }
    bool IsOpen() const { return descriptor_ >= 0; }

    /// Closes the descriptor held, if any, ignoring what close says.
    void Reset() noexcept { static_cast<void>(Close()); }

    /// Closes the descriptor held; returns 0, or the errno of a failed close
    /// (a write that a network file system could not complete shows here).
    int Close() noexcept
    {
        const int descriptor = std::exchange(descriptor_, -1);
        return descriptor < 0 || ::close(descriptor) == 0 ? 0 : errno;
    }

private:
    int descriptor_ = -1;
};

/// Writes all of `bytes` to `descriptor` at its position, going on after a
/// short write or an interruption. Returns 0, or the errno of the failure
/// (EIO when the system wrote nothing without saying why).
int WriteAllBytes(int descriptor, std::span<const std::byte> bytes);

}  // namespace tonarel
