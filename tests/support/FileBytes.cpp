#include "tests/support/FileBytes.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tonarel::test {

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + fileName.string());
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace tonarel::test
