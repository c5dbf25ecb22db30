#include "tests/support/PrivateLocale.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace tonarel::test {

PrivateLocale::PrivateLocale(const std::string& name)
{
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos) {
        throw std::runtime_error("a locale name needs its character set: " + name);
    }
    const std::string source = name.substr(0, dot);
    const std::string charmap = name.substr(dot + 1);
    const std::string output = (folder_.Path() / name).string();

    std::vector<std::string> words = {"localedef", "-i", source, "-f", charmap, output};
    std::vector<char*> arguments;
    for (std::string& word : words) {
        arguments.push_back(word.data());
    }
    arguments.push_back(nullptr);
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, "localedef", nullptr, nullptr, arguments.data(), environ) != 0 ||
        waitpid(child, &status, 0) != child) {
        throw std::runtime_error("cannot run localedef for " + name);
    }
    // localedef exits with 1 after mere warnings; the locale is there then.
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1 || !std::filesystem::exists(output + "/LC_NUMERIC")) {
        throw std::runtime_error("localedef could not generate " + name);
    }
    setenv("LOCPATH", folder_.Path().c_str(), 1);
    setenv("LC_ALL", name.c_str(), 1);
}

}  // namespace tonarel::test
