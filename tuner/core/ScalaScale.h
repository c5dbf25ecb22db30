#pragma once
// Scales in the Scala format (.scl).

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tonarel::tuning {

struct ScalaScale {
    std::string description;
    std::vector<double> degreeCents;       ///< degrees 1..n in cents; the last is the period
    std::vector<std::string> degreeTexts;  ///< each degree as written in the file
};

struct ScalaError {
    int line = 0;         ///< 1-based; 0 when the file could not be read
    std::string message;  ///< Chinese, names the line
};

std::variant<ScalaScale, ScalaError> ParseScala(std::string_view text);

/// An unreadable file is an error on line 0.
std::variant<ScalaScale, ScalaError> ReadScalaFile(const std::filesystem::path& file);

}  // namespace tonarel::tuning
