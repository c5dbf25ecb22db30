#pragma once
// Where the harnesses put the files they hand to the program: readers take a
// file name, so every input is written to a file first, millions of times a
// run. The directory lies in memory (/dev/shm) where there is one.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tonarel::fuzz {

/// The path of `name` inside this process's scratch directory, which is
/// created on first use and removed with everything in it at exit.
std::string ScratchPath(const char* name);

/// Writes `size` bytes as the whole of the file `path`, replacing it.
/// A failure to write is a broken invariant of the harness itself.
void WriteWholeFile(const std::string& path, const uint8_t* data, std::size_t size);

/// The bytes of the file `path`, at most `limit` of them.
std::string ReadWholeFile(const std::string& path, std::size_t limit);

}  // namespace tonarel::fuzz
