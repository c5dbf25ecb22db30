#pragma once
// Where the program keeps its takes: a folder of its own in the user's cache,
// never the folder it was started from, so that a "my.wav" or "temp.wav" of
// the user's is never overwritten or deleted.

#include <filesystem>

namespace tonarel {

/// The program's take folder: Qt's cache location for the application,
/// $XDG_CACHE_HOME/Tonarel (normally ~/.cache/Tonarel). Needs the
/// application object, whose name it carries.
std::filesystem::path OwnTakeFolder();

/// Creates OwnTakeFolder() (with any missing parents), removes what takes of
/// earlier runs that ended abruptly left in it, and makes it the
/// application's take folder. A folder that cannot be created is reported in
/// the error box, naming it; it stays the take folder all the same, so that a
/// recording then fails with its own message rather than fall back on the
/// user's working directory.
void UseOwnTakeFolder();

}  // namespace tonarel
