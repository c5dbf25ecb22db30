#pragma once
// Writing a take's file in one go, as the stand-in device saves what a test
// gave it, and as tests prepare templates.

#include <cstddef>
#include <filesystem>
#include <span>

#include "wave/TakeFile.h"

namespace tonarel::test {

/// Writes `file` (created, or replaced whole: see WriteFileAtomically): the
/// 44-byte header for `format` followed by the whole frames of `samples`, at
/// most MaxCaptureDataBytes; a partial frame at the end is left out, and the
/// header's lengths state what was written. Throws CaptureError, naming the
/// file, when it cannot be written; no partial file is left behind then.
void WriteTakeFile(const std::filesystem::path& file, const CaptureFormat& format, std::span<const std::byte> samples);

}  // namespace tonarel::test
