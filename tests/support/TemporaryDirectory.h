#pragma once
// A fresh, empty directory for one test, removed with everything in it when
// the test ends. Code that uses relative names ("my.wav", "temp.wav") is
// tested with the directory made the current one.

#include <filesystem>

namespace tonarel::test {

class TemporaryDirectory {
public:
    enum class Enter { kNo, kYes };

    /// Creates a new directory under the system's temporary directory; with
    /// Enter::kYes it also becomes the current directory until destruction,
    /// when the previous current directory is restored. Throws
    /// std::filesystem::filesystem_error when it cannot be created.
    explicit TemporaryDirectory(Enter enter = Enter::kYes);
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    /// `name` inside the directory.
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
    std::filesystem::path previousCurrent_;
};

}  // namespace tonarel::test
