#pragma once
// Running the system's tools (cmake, cpack, dpkg-deb, the validators) from a
// test, as a shell would, and reading what they print.

#include <filesystem>
#include <string>
#include <vector>

namespace tonarel::test {

struct CommandResult {
    /// The exit status, or -1 when the program could not be started or was
    /// ended by a signal.
    int exitStatus = -1;
    /// Standard output and standard error, interleaved as written.
    std::string output;
};

/// Runs `arguments[0]`, looked up in PATH, with the remaining arguments,
/// standard input from /dev/null, and waits for it. `arguments` must not be
/// empty. Never throws for a failing program; its exit status says so.
CommandResult RunCommand(const std::vector<std::string>& arguments);

/// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& file);

/// The regular files below `root`, as paths relative to it ("bin/tonarel"),
/// sorted. Directories are not listed.
std::vector<std::string> RegularFilesBelow(const std::filesystem::path& root);

}  // namespace tonarel::test
