#pragma once
// The built-in temperaments, in cents from the tonic.

#include <array>
#include <span>
#include <string_view>

namespace tonarel::tuning {

struct Temperament {
    std::string_view chineseName;   ///< as the user sees it: "十二平均律"
    std::string_view commandName;   ///< as the command line names it: "equal"
    std::array<double, 12> centsFromTonic;  ///< the twelve pitch classes from the tonic, in cents
};

/// In the order the user is offered them; equal temperament first.
std::span<const Temperament> BuiltInTemperaments();

/// The temperament of that command name ("equal", ...); null for any other.
const Temperament* FindTemperament(std::string_view commandName);

}  // namespace tonarel::tuning
