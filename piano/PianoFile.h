#pragma once
// The piano file: one piano's readings and its target curve, saved as JSON
// (UTF-8) under the suffix ".piano.json", which says both what the file holds
// and that any JSON tool can read it. Example:
//
//   {
//     "format": "tonarel-piano",
//     "version": 1,
//     "reference_hz": 440.0,
//     "readings": [
//       {"key": 49, "first_partial_hz": 440.12, "b": 0.00041, "partials": 14, "measured_at": 1796000000}
//     ],
//     "curve": {
//       "source": "measured",
//       "keys": [{"key": 1, "b": 0.00029, "target_cents": -25.4}, ... 88 entries, keys 1 to 88 in order]
//     }
//   }
//
// "source" is "measured" or "average_grand" (not measured). The curve is kept
// as it was saved, so a piano tuned to it finds the same targets when the file
// is opened again. Members not named here are ignored; "reading" keys follow
// piano/PianoMeasurements.h (1 to 88, ranges of KeyReading, at most
// kMostReadingsPerKey per key, in the order they were taken).
//
// A file is refused, and nothing changes, when it is not a regular file, is
// larger than kLargestPianoFileBytes, is not JSON nested at most four deep,
// names another format, has a version other than 1, or has a value missing,
// of the wrong type or out of its range: the reference 400 to 480 Hz, every B
// 0 to kHighestInharmonicity, every target within ±kLargestTargetCents.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "piano/PianoMeasurements.h"
#include "piano/StretchCurve.h"
#include "common/FileErrorText.h"

namespace tonarel::piano {

inline constexpr const char* kPianoFileSuffix = ".piano.json";
inline constexpr const char* kPianoFileFormat = "tonarel-piano";
inline constexpr int kPianoFileVersion = 1;
inline constexpr std::size_t kLargestPianoFileBytes = 1 << 20;
inline constexpr double kLowestReferenceHz = 400.0;
inline constexpr double kHighestReferenceHz = 480.0;
inline constexpr double kLargestTargetCents = 300.0;

/// The messages for a refused file (UTF-8).
inline constexpr const char* kNotPianoFileMessage = "此文件不是钢琴文件，或已损坏!";
inline constexpr const char* kNewerPianoFileMessage = "此钢琴文件来自更新版本的程序，无法打开!";
inline constexpr const char* kUnreadablePianoFileMessage = "无法读取此文件!";

/// What a piano file holds.
struct PianoFileContents {
    double referenceHz = 440.0;  ///< A4, 400 to 480 Hz
    PianoMeasurements measurements;
    StretchCurve curve;
};

/// The file's text for `contents` (numbers written so that they read back to
/// the same doubles), ending in a newline.
std::string EncodePianoFile(const PianoFileContents& contents);

/// `text` read as a piano file; nothing, with `refusal` (when given) set to
/// kNotPianoFileMessage or kNewerPianoFileMessage, when it is not one.
std::optional<PianoFileContents> DecodePianoFile(std::string_view text, const char** refusal = nullptr);

/// Reads and checks the file `path`. On refusal `refusal`, when given, points
/// to the message to show: kNotRegularFileMessage (a pipe, device or socket,
/// refused without waiting on it), kUnreadablePianoFileMessage (missing or
/// unreadable), or one of DecodePianoFile's. Nothing changes anywhere.
std::optional<PianoFileContents> ReadPianoFile(const std::filesystem::path& path, const char** refusal = nullptr);

/// Writes `contents` to `path`, replacing it whole or not at all (as
/// WriteTemperamentFile does).
std::optional<SaveFailure> WritePianoFile(const std::filesystem::path& path, const PianoFileContents& contents);

}  // namespace tonarel::piano
