#include "common/AtomicFileWrite.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/ExclusiveFile.h"
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
int WriteInPlace(const std::string& target, const std::function<int(int)>& writeContents)
{
    const int descriptor = open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return errno;
    }
    int error = writeContents(descriptor);
    const off_t written = error == 0 ? lseek(descriptor, 0, SEEK_CUR) : 0;
    if (error == 0 && (written < 0 || ftruncate(descriptor, written) != 0)) {
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

int ReplaceFileAtomically(const std::filesystem::path& path, const std::function<int(int descriptor)>& writeContents)
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

    // A hidden file beside the target, named after it.
    const std::filesystem::path targetPath(target);
    std::filesystem::path temporaryName;
    int error = 0;
    FileDescriptor temporary = CreateExclusiveFile(
        targetPath.has_parent_path() ? targetPath.parent_path() : std::filesystem::path("."),
        "." + targetPath.filename().string(), temporaryName, error);
    if (!temporary.IsOpen()) {
        return TemporaryFileRefusedByTheFolder(error) ? WriteInPlace(target, writeContents) : error;
    }
    const int descriptor = temporary.Get();
    if (exists && fchmod(descriptor, existing.st_mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = writeContents(descriptor);
    }
    if (error == 0 && fsync(descriptor) != 0) {
        error = errno;
    }
    if (const int closing = temporary.Close(); error == 0) {
        error = closing;
    }
    if (error == 0 && rename(temporaryName.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporaryName.c_str());
    }
    return error;
}

int WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes)
{
    return ReplaceFileAtomically(path, [bytes](int descriptor) { return WriteAllBytes(descriptor, std::as_bytes(bytes)); });
}

std::optional<SaveFailure> SaveTextAtomically(const std::filesystem::path& path, std::string_view text)
{
    const int error =
        WriteFileAtomically(path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    if (error == 0) {
        return std::nullopt;
    }
    return SaveFailure{error, DescribeFileError(error)};
}

}  // namespace tonarel
