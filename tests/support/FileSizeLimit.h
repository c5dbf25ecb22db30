#pragma once
// A full disk on demand: the process may not make any file longer than a
// given size, so a write past it fails (with EFBIG) as one on a full disk
// fails. Unlike permission bits this binds the superuser too, so the tests
// that use it run the same on CI (as root) and on a developer's machine.

#include <csignal>
#include <cstdint>

#include <sys/resource.h>

namespace tonarel::test {

class FileSizeLimit {
public:
    /// From now on, no file of this process may grow beyond `bytes`; the
    /// signal the kernel would send instead of a failed write is ignored.
    explicit FileSizeLimit(uint64_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    /// Lifts the limit again.
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    /// False when the system refused the limit (the test cannot go on).
    bool Active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

}  // namespace tonarel::test
