#include "precise/StiffString.h"

#include <algorithm>
#include <cmath>

namespace tonarel::precise {

double StiffString::PartialHz(uint32_t number) const
{
    const double k = number;
    return k * f0 * std::sqrt(1.0 + b * k * k);
}

void StiffStringFit::Add(const PartialMeasure& partial)
{
    // y = (hz / k)^2 against x = k^2: y = a + c x with a = f0^2, c = f0^2 B.
    const double k = partial.number;
    const double x = k * k;
    const double y = (partial.hz / k) * (partial.hz / k);
    sumW_ += partial.weight;
    sumX_ += partial.weight * x;
    sumY_ += partial.weight * y;
    sumXX_ += partial.weight * x * x;
    sumXY_ += partial.weight * x * y;
}

StiffString StiffStringFit::Model() const
{
    if (!(sumW_ > 0.0)) {
        return {};
    }
    const double meanX = sumX_ / sumW_;
    const double spreadX = sumXX_ / sumW_ - meanX * meanX;
    double b = 0.0;
    if (spreadX > 1e-9 * meanX * meanX) {
        const double slope = (sumXY_ / sumW_ - meanX * sumY_ / sumW_) / spreadX;
        const double intercept = sumY_ / sumW_ - slope * meanX;
        b = intercept > 0.0 ? slope / intercept : 0.0;
    }
    b = std::clamp(b, 0.0, kLargestInharmonicity);
    return {std::sqrt(sumY_ / (sumW_ + b * sumX_)), b};
}

StiffString FitStiffString(std::span<const PartialMeasure> partials)
{
    StiffStringFit fit;
    for (const PartialMeasure& partial : partials) {
        fit.Add(partial);
    }
    return fit.Model();
}

}  // namespace tonarel::precise
