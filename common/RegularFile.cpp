#include "common/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tonarel {
namespace {

OwnedFile Refuse(ReadOpenFailure* failure, ReadOpenError error, int systemError)
{
    if (failure != nullptr) {
        *failure = {error, systemError};
    }
    return nullptr;
}

}  // namespace

OwnedFile OpenRegularFileForReading(const std::filesystem::path& path, ReadOpenFailure* failure)
{
    if (path.empty()) {
        return Refuse(failure, ReadOpenError::kCannotOpen, ENOENT);
    }
    // Non-blocking, so that a FIFO without a writer opens at once instead of
    // waiting; no controlling terminal from a terminal device.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        struct stat status {};
        // A socket cannot be opened at all (ENXIO); say what it is instead.
        if (error == ENXIO && stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
            return Refuse(failure, ReadOpenError::kNotRegularFile, 0);
        }
        return Refuse(failure, ReadOpenError::kCannotOpen, error);
    }
    struct stat status {};
    int refusal = 0;
    ReadOpenError kind = ReadOpenError::kCannotOpen;
    if (fstat(descriptor, &status) != 0) {
        refusal = errno;
    } else if (S_ISDIR(status.st_mode)) {
        refusal = EISDIR;
    } else if (!S_ISREG(status.st_mode)) {
        kind = ReadOpenError::kNotRegularFile;
    } else {
        // A regular file: reads go back to the ordinary blocking kind.
        const int flags = fcntl(descriptor, F_GETFL);
        if (flags < 0 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            refusal = errno;
        } else if (std::FILE* file = fdopen(descriptor, "rb")) {
            return OwnedFile(file);
        } else {
            refusal = errno;
        }
    }
    close(descriptor);
    return Refuse(failure, kind, kind == ReadOpenError::kNotRegularFile ? 0 : refusal);
}

}  // namespace tonarel
