#pragma once
// A number given on the command line, as the tools accept it.

#include <optional>
#include <string>

namespace tonarel::analyze {

/// A plain decimal number: "442", "415.3"; nothing for an exponent ("4.4e2"),
/// a "+", blanks, or anything that is not a finite number.
std::optional<double> ParseDecimalArgument(const std::string& text);

}  // namespace tonarel::analyze
