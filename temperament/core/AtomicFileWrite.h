#pragma once
// Replacing a file's contents so that a failure never leaves a damaged file,
// wherever the folder allows a second file beside it.

#include <cstdint>
#include <filesystem>
#include <span>

namespace tonarel {

/// Writes `bytes` as the whole contents of the file `path`. The bytes go to a
/// new file beside the target, which is flushed to the disk and then renamed
/// over the target, so `path` holds either its previous contents or all of
/// `bytes`, never a part.
/// Where no file can be created beside the target (a folder without write
/// permission holding a writable file, or a name too long for a temporary
/// name beside it), the bytes are written straight into the target instead,
/// without that guarantee: a failure part way may leave it damaged.
/// A symbolic link at `path` is followed and its target replaced; an existing
/// target keeps its permission bits, a new one gets 0666 less the umask.
/// An existing target that the process may not write is refused, as is a
/// directory.
/// Returns 0 on success, otherwise the errno of the step that failed; after a
/// failure no temporary file is left behind, and the target is untouched
/// unless it was being written in place.
int WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace tonarel
