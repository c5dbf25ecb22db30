#include "temperament/core/AtomicFileWrite.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/FileDescriptor.h"

namespace tonarel {
namespace {

// The file that is really replaced: a symbolic link is followed, so that
// saving through a link updates the file it points to instead of turning the
// link into a plain file. A dangling link is replaced itself.
std::string ResolveTarget(const char* path)
{
    struct stat status {};
    if (lstat(path, &status) == 0 && S_ISLNK(status.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path, resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a fresh hidden file beside the target; returns its descriptor and
// name, or -1 with errno set.
int CreateTemporaryBeside(const std::string& target, std::string& temporaryName)
{
    const std::string stem = DirectoryOf(target) + "/." + BaseNameOf(target) + "." + std::to_string(getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryName = stem + std::to_string(attempt) + ".tmp";
        const int descriptor = open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    errno = EEXIST;
    return -1;
}

// Whether a failure to create the temporary file says only that no new file
// can be made beside the target (the folder is not writable, or a temporary
// name would be too long), while the target itself may still be writable.
bool TemporaryFileRefusedByTheFolder(int error)
{
    return error == EACCES || error == EPERM || error == ENAMETOOLONG;
}

// Writes the bytes straight into the target, as the last resort when no
// temporary file can be made: the bytes go over the old contents, anything
// beyond them is cut off, and the file is flushed to the disk. A failure part
// way leaves the file damaged, which is why this is only the fallback.
int WriteInPlace(const std::string& target, std::span<const uint8_t> bytes)
{
    const int descriptor = open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return errno;
    }
    int error = WriteAllBytes(descriptor, std::as_bytes(bytes));
    if (error == 0 && ftruncate(descriptor, static_cast<off_t>(bytes.size())) != 0) {
        error = errno;
    }
    if (error == 0 && fsync(descriptor) != 0) {
        error = errno;
    }
    if (close(descriptor) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

}  // namespace

int WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes)
{
    if (path.empty()) {
        return ENOENT;
    }
    // The system calls below take the name's narrow bytes as they stand.
    const std::string target = ResolveTarget(path.c_str());

    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode)) {
            return EISDIR;
        }
        // Renaming over a write-protected file would succeed, since only the
        // directory is written; the protection is the owner's wish and holds.
        if (access(target.c_str(), W_OK) != 0) {
            return errno;
        }
    }

    std::string temporaryName;
    const int descriptor = CreateTemporaryBeside(target, temporaryName);
    if (descriptor < 0) {
        const int error = errno;
        return TemporaryFileRefusedByTheFolder(error) ? WriteInPlace(target, bytes) : error;
    }
    int error = 0;
    if (exists && fchmod(descriptor, existing.st_mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = WriteAllBytes(descriptor, std::as_bytes(bytes));
    }
    if (error == 0 && fsync(descriptor) != 0) {
        error = errno;
    }
    if (close(descriptor) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && rename(temporaryName.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporaryName.c_str());
    }
    return error;
}

}  // namespace tonarel
