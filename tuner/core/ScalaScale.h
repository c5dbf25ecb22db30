#pragma once
// Scala scale files (".scl"): a scale as a list of pitches above its first
// note, the last of which is the period the scale repeats at.
//
// The format, line by line (a line ends at LF; a CR before it is dropped):
//   - a line whose first non-blank character is "!" is a comment, wherever
//     it stands; a UTF-8 byte order mark before the first line is skipped;
//   - the first other line is the description, kept as written (it may be
//     empty);
//   - the next is the number of pitches n, a whole number 1..2147483647
//     (text after it is ignored: "12 notes");
//   - the next n are the pitches (degrees 1..n; degree 0, 1/1, is implied).
//     After leading blanks, a value with a "." is in cents ("701.955",
//     "-5.", ".5"); otherwise it is a ratio "p/q" or a whole number "p"
//     meaning p/1, with p and q from 1 to 2147483647. Anything after the
//     value is ignored ("3/2 fifth"). The last pitch is the period (2/1 for an
//     octave, 3/1 for the Bohlen-Pierce tritave);
//   - lines after the last pitch are ignored.
// Errors name the line at fault, counted from 1 like an editor does: a value
// that is no number, a ratio not above zero, a number beyond 2147483647, a
// period not above 1/1, or a count larger than the pitches that follow (the
// count's own line is named then).

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tonarel::tuning {

struct ScalaScale {
    std::string description;  ///< the description line as written, possibly empty
    /// Cents above degree 0 of degrees 1..n (index 0 is degree 1), in the
    /// file's order (a scale need not ascend); the last is the period, above 0.
    std::vector<double> degreeCents;
    /// Each degree's value as written in the file ("3/2", "701.955"), same indices.
    std::vector<std::string> degreeTexts;

    /// The number of notes per period: degree 0 to degree n-1.
    std::size_t NotesPerPeriod() const { return degreeCents.size(); }
    double PeriodCents() const { return degreeCents.back(); }
};

struct ScalaError {
    int line = 0;         ///< from 1; 0 when the file itself could not be read
    std::string message;  ///< in Chinese, UTF-8, naming the line: "第 7 行：不是音高数值"
};

/// Reads a scale from the text of a .scl file. Never throws for any text; the
/// memory it takes grows with the text, never with the count it claims.
/// Example: "!\n\n 2\n 3/2\n 2/1\n" is a scale with degreeCents
/// {701.955..., 1200}; "x\n 3\n 3/2\n 2/1\n" is ScalaError{3, "第 3 行：..."}.
std::variant<ScalaScale, ScalaError> ParseScala(std::string_view text);

/// Reads the .scl file at `path` as ParseScala does. A file that cannot be
/// read, that is not a regular file (refused without waiting on a named
/// pipe) or that is larger than kLargestScalaFileBytes gives an error with
/// line 0 and the reason ("无法读取音阶文件：文件不存在").
std::variant<ScalaScale, ScalaError> ReadScalaFile(const std::filesystem::path& path);

/// The largest file ReadScalaFile accepts; scales with thousands of pitches
/// take a few hundred kilobytes.
inline constexpr std::size_t kLargestScalaFileBytes = 4 * 1024 * 1024;

}  // namespace tonarel::tuning
