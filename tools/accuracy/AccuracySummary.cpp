#include "tools/accuracy/AccuracySummary.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tonarel::accuracy {

std::optional<double> ErrorCents(std::optional<double> readingHz, double referenceHz)
{
    if (!readingHz || !(*readingHz > 0.0) || !std::isfinite(*readingHz)) {
        return std::nullopt;
    }
    return 1200.0 * std::log2(*readingHz / referenceHz);
}

AccuracySummary Summarise(const std::vector<std::optional<double>>& errors)
{
    AccuracySummary summary;
    std::vector<double> magnitudes;
    for (const std::optional<double>& error : errors) {
        ++summary.notes;
        if (!error) {
            ++summary.misses;
            magnitudes.push_back(std::numeric_limits<double>::infinity());
            continue;
        }
        const double magnitude = std::fabs(*error);
        magnitudes.push_back(magnitude);
        summary.withinOneCent += magnitude <= 1.0 ? 1 : 0;
        summary.withinFiveCents += magnitude <= 5.0 ? 1 : 0;
        summary.gross += magnitude > 50.0 ? 1 : 0;
    }
    if (!magnitudes.empty()) {
        std::sort(magnitudes.begin(), magnitudes.end());
        const std::size_t middle = magnitudes.size() / 2;
        summary.medianAbsCents = magnitudes.size() % 2 == 1 ? magnitudes[middle]
                                                            : 0.5 * (magnitudes[middle - 1] + magnitudes[middle]);
    }
    return summary;
}

}  // namespace tonarel::accuracy
