#include "tests/support/TemporaryDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace tonarel::test {

TemporaryDirectory::TemporaryDirectory(Enter enter)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tonarel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::filesystem::filesystem_error("cannot create a temporary directory", pattern,
                                                std::error_code(errno, std::generic_category()));
    }
    path_ = pattern;
    if (enter == Enter::kYes) {
        previousCurrent_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
}

TemporaryDirectory::~TemporaryDirectory()
{
    std::error_code ignored;
    if (!previousCurrent_.empty()) {
        std::filesystem::current_path(previousCurrent_, ignored);
    }
    // A test may have taken write permission away; give it back so that
    // everything can be removed.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace tonarel::test
