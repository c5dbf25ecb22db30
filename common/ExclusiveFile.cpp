#include "common/ExclusiveFile.h"

#include <atomic>
#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <unistd.h>

namespace tonarel {

FileDescriptor CreateExclusiveFile(const std::filesystem::path& folder, const std::string& stem,
                                   std::filesystem::path& path, int& error)
{
    static std::atomic<uint32_t> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder / (stem + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp");
        const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            return FileDescriptor(descriptor);
        }
        if (errno != EEXIST) {
            break;
        }
    }
    error = errno;
    path.clear();
    return FileDescriptor();
}

}  // namespace tonarel
