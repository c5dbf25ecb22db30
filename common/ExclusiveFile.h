#pragma once
// A new file that no one else has: the one way the program makes the
// temporary files of a take and of a file being replaced.

#include <filesystem>
#include <string>

#include "common/FileDescriptor.h"

namespace tonarel {

/// Creates a new, empty file in `folder` exclusively (it did not exist and no
/// other process can have opened it), open for reading and writing, mode 0666
/// less the umask. Its name is `stem` + "." + this process's id + "." + a
/// counter of this process + ".tmp", e.g. ".tonarel-take.4711.0.tmp" for the
/// stem ".tonarel-take"; names that exist already are passed over (100 tries).
/// Returns the open file and sets `path` to its name; on failure returns a
/// closed descriptor, clears `path` and sets `error` to the errno of the
/// failure (EEXIST when every try found a file).
FileDescriptor CreateExclusiveFile(const std::filesystem::path& folder, const std::string& stem,
                                   std::filesystem::path& path, int& error);

}  // namespace tonarel
