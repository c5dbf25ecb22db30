#pragma once
// Naming a file or an argument in a message on the terminal.

#include <string>
#include <string_view>

namespace tonarel::analyze {

/// `text` in quotes for a message. Ordinary text, valid UTF-8 without control
/// characters, reads "text" (double quotes, as typed). Text that holds a
/// control character (C0, DEL, C1, or the invisible bidirectional and
/// zero-width marks) or bytes that are not UTF-8 is written in the shell's
/// $'...' form instead, with such characters as escapes ("\e", "\x01",
/// "\u009b", "\u202e") and every invalid byte as "\xHH", so that a file name
/// can neither drive the terminal nor hide what it is; the form reads back
/// in bash to the same bytes.
std::string QuotedArgument(std::string_view text);

}  // namespace tonarel::analyze
