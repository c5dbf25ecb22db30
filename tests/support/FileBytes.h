#pragma once
// Reading a whole file back, to compare what the program wrote byte by byte.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tonarel::test {

/// The whole content of a file; throws std::runtime_error when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& fileName);

}  // namespace tonarel::test
