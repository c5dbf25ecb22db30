#pragma once
// The command line of tonarel-stretch:
//   tonarel-stretch KEY=FILE.wav ... [--reference HZ] [--json]

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tonarel::stretch {

/// One take: the piano key it is a recording of, and its file.
struct Take {
    int key = 0;  ///< 1 (A0) to 88 (C8)
    std::string fileName;
};

/// A command line that asks for a curve.
struct StretchRequest {
    std::vector<Take> takes;      ///< in the order given; a key may come more than once
    double referenceHz = 440.0;   ///< A4, 400 to 480
    bool json = false;
};

/// `--help` or `-h`.
struct HelpRequest {};

/// A command line that cannot be obeyed; `message` says why (Chinese, one line).
struct ArgumentError {
    std::string message;
};

using ParsedArguments = std::variant<StretchRequest, HelpRequest, ArgumentError>;

/// A key as the user writes it: a note name from A0 to C8 with "#", "♯",
/// "b" or "♭" ("A0", "C#4", "C♯4", "Db4", "D♭4"), or a key number 1 to 88.
/// Nothing for anything else. Examples: "A4" -> 49, "88" -> 88, "B8" -> none.
std::optional<int> ParseKey(const std::string& text);

/// Reads the arguments after the program name. Every argument that is not an
/// option is a take, KEY=FILE (the first "=" divides them). --reference takes
/// its value as the next argument or after "=" (--reference 442,
/// --reference=442.5), a decimal number of hertz from 400 to 480; --json
/// asks for JSON; "--" ends the options. At least one take.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

/// The usage text, several lines ending in a newline.
std::string UsageText();

}  // namespace tonarel::stretch
