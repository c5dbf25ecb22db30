#pragma once
// Running one of the program's command-line tools as a user would, from the
// test's working directory, and reading back what it printed.

#include <string>

namespace tonarel::test {

struct ToolRun {
    int exitStatus = -1;  ///< -1 when the tool did not end by itself
    std::string out, err;
};

/// Runs `program` (a path) with `arguments`, a shell command line's rest
/// (the caller quotes what needs it). Standard output and error pass through
/// out.txt and err.txt in the working directory. Example:
///   RunTool(TONAREL_ANALYZE_PATH, "--version").out starts with "tonarel-analyze".
ToolRun RunTool(const std::string& program, const std::string& arguments);

}  // namespace tonarel::test
