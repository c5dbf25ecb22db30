#pragma once
// Replacing a file's contents so that a failure never leaves a damaged file,
// wherever the folder allows a second file beside it. The temperament file and
// the take are saved this way.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "common/FileErrorText.h"

namespace tonarel {

/// Writes the contents of the file `path` through `writeContents`, which is
/// handed an open descriptor of an empty file at position 0 and returns 0 or
/// the errno of its failure. The contents go to a new file beside the target
/// (CreateExclusiveFile), which is flushed to the disk and then renamed over
/// the target, so `path` holds either its previous contents or all of the new
/// ones, never a part.
/// Where no file can be created beside the target (a folder without write
/// permission holding a writable file, or a name too long for a temporary
/// name beside it), the contents are written straight into the target
/// instead, without that guarantee: a failure part way may leave it damaged.
/// A symbolic link at `path` is followed and its target replaced; an existing
/// target keeps its permission bits, a new one gets 0666 less the umask.
/// An existing target that the process may not write is refused, as is a
/// directory.
/// Returns 0 on success, otherwise the errno of the step that failed; after a
/// failure no temporary file is left behind, and the target is untouched
/// unless it was being written in place.
int ReplaceFileAtomically(const std::filesystem::path& path, const std::function<int(int descriptor)>& writeContents);

/// ReplaceFileAtomically with `bytes` as the whole contents.
int WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

/// WriteFileAtomically with `text` as the whole contents; a failure comes
/// back with its cause in the words the windows show.
std::optional<SaveFailure> SaveTextAtomically(const std::filesystem::path& path, std::string_view text);

}  // namespace tonarel
