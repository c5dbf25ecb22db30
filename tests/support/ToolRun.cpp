#include "tests/support/ToolRun.h"

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tests/support/FileBytes.h"

namespace tonarel::test {

ToolRun RunTool(const std::string& program, const std::string& arguments)
{
    const int status = std::system(("'" + program + "' " + arguments + " >out.txt 2>err.txt").c_str());
    const auto text = [](const char* file) {
        const std::vector<uint8_t> bytes = ReadFileBytes(file);
        return std::string(bytes.begin(), bytes.end());
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text("out.txt"), text("err.txt")};
}

}  // namespace tonarel::test
