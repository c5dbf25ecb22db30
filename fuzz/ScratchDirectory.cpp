#include "fuzz/ScratchDirectory.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "fuzz/FuzzCheck.h"

namespace tonarel::fuzz {
namespace {

class Scratch {
public:
    Scratch()
    {
        const char* shared = "/dev/shm";
        const char* base = access(shared, W_OK) == 0 ? shared : std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/tonarel-fuzz-XXXXXX";
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

std::string ScratchPath(const char* name)
{
    static const Scratch scratch;
    return scratch.Path() + "/" + name;
}

void WriteWholeFile(const std::string& path, const uint8_t* data, std::size_t size)
{
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(descriptor >= 0);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t step = write(descriptor, data + written, size - written);
        FUZZ_CHECK(step > 0);
        written += static_cast<std::size_t>(step);
    }
    close(descriptor);
}

std::string ReadWholeFile(const std::string& path, std::size_t limit)
{
    std::string bytes(limit, '\0');
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(descriptor >= 0);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t step = read(descriptor, bytes.data() + got, limit - got);
        FUZZ_CHECK(step >= 0);
        if (step == 0) {
            break;
        }
        got += static_cast<std::size_t>(step);
    }
    close(descriptor);
    bytes.resize(got);
    return bytes;
}

}  // namespace tonarel::fuzz
