#pragma once
// The temperament file (".qrv"): a saved temperament table.
//
// Always 491 bytes, little-endian, no padding:
//   offset 0   3 bytes   "qrv" (no terminator)
//   offset 3   int32     TrebleCount, 0..60
//   offset 7   int32     BassCursor, 60..120 (60 + number of bass entries)
//   offset 11  120 float MeasuredTable, slots 0..119 in order
// Every slot is written, in use or not. Standard frequencies, list texts,
// verdicts and window options are not stored: a load replays the entries
// through AddReading and judges them afresh.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "common/FileErrorText.h"
#include "common/RegularFile.h"
#include "temperament/core/TemperamentTable.h"

namespace tonarel {

inline constexpr uint32_t kTemperamentFileBytes = 491;
inline constexpr std::array<uint8_t, 3> kTemperamentFileMagic = {'q', 'r', 'v'};

/// The message for a file that is refused on loading. UTF-8.
inline constexpr const char* kNotTemperamentFileMessage = "此文件不是音律文件!";

/// What a temperament file holds.
struct TemperamentFileContents {
    int32_t trebleCount = 0;
    int32_t bassCursor = kFirstBassSlot;
    SlotTable measured{};

    friend bool operator==(const TemperamentFileContents&, const TemperamentFileContents&) = default;
};

using TemperamentFileBytes = std::array<uint8_t, kTemperamentFileBytes>;

/// The table's counters and all 120 measured slots, as a file stores them.
TemperamentFileContents ContentsOf(const TemperamentTable& table);

/// The 491 bytes of a file holding `contents`. Floats keep their exact bits.
TemperamentFileBytes EncodeTemperamentFile(const TemperamentFileContents& contents);

/// Reads the first 491 bytes of `bytes` (more are ignored). Empty when the
/// bytes are not a temperament file: the magic is not exactly "qrv" (case
/// matters), fewer than 491 bytes, or a counter outside 0..60 (treble) or
/// 60..120 (bass), which no table can hold.
std::optional<TemperamentFileContents> DecodeTemperamentFile(std::span<const uint8_t> bytes);

/// Reads and checks the file `path` as DecodeTemperamentFile does. A file
/// that cannot be opened or read is refused too, and so is anything but a
/// regular file, at once and without waiting on it (a named pipe would
/// otherwise block the open until a writer came). On refusal `refusal`, when
/// given, points to the message to show: kNotRegularFileMessage or
/// kNotTemperamentFileMessage. Nothing is changed anywhere; the caller
/// decides what an accepted file replaces.
std::optional<TemperamentFileContents> ReadTemperamentFile(const std::filesystem::path& path,
                                                           const char** refusal = nullptr);

/// Writes `contents` to `path` as a temperament file, replacing any file of
/// that name. The file is written beside the target and renamed over it only
/// when all 491 bytes are on the disk: after a failure the previous file is
/// intact and no partial file exists. In a folder where no second file can
/// be created, a writable file is overwritten in place (WriteFileAtomically).
std::optional<SaveFailure> WriteTemperamentFile(const std::filesystem::path& path,
                                                const TemperamentFileContents& contents);

}  // namespace tonarel
