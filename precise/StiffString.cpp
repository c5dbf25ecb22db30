#include "precise/StiffString.h"

#include <algorithm>
#include <cmath>

namespace tonarel::precise {

double StiffString::PartialHz(uint32_t number) const
{
    const double k = number;
    return k * f0 * std::sqrt(1.0 + b * k * k);
}

StiffString FitStiffString(std::span<const PartialMeasure> partials)
{
    // y = (hz / k)^2 against x = k^2: y = a + c x with a = f0^2, c = f0^2 B.
    double sumW = 0.0, sumX = 0.0, sumY = 0.0, sumXX = 0.0, sumXY = 0.0;
    for (const PartialMeasure& partial : partials) {
        const double k = partial.number;
        const double x = k * k;
        const double y = (partial.hz / k) * (partial.hz / k);
        sumW += partial.weight;
        sumX += partial.weight * x;
        sumY += partial.weight * y;
        sumXX += partial.weight * x * x;
        sumXY += partial.weight * x * y;
    }
    if (!(sumW > 0.0)) {
        return {};
    }
    const double meanX = sumX / sumW;
    const double spreadX = sumXX / sumW - meanX * meanX;
    double b = 0.0;
    if (spreadX > 1e-9 * meanX * meanX) {
        const double slope = (sumXY / sumW - meanX * sumY / sumW) / spreadX;
        const double intercept = sumY / sumW - slope * meanX;
        b = intercept > 0.0 ? slope / intercept : 0.0;
    }
    b = std::clamp(b, 0.0, kLargestInharmonicity);
    // f0^2 for this B: the weighted mean of y / (1 + B k^2).
    double sum = 0.0;
    for (const PartialMeasure& partial : partials) {
        const double k = partial.number;
        sum += partial.weight * (partial.hz / k) * (partial.hz / k) / (1.0 + b * k * k);
    }
    return {std::sqrt(sum / sumW), b};
}

}  // namespace tonarel::precise
