#include "tools/analyze/DecimalArgument.h"

#include <charconv>
#include <cmath>

namespace tonarel::analyze {

std::optional<double> ParseDecimalArgument(const std::string& text)
{
    double value = 0.0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace tonarel::analyze
