#pragma once
// The stiff-string model of a note's partials: partial k sounds at
// k x f0 x sqrt(1 + B k^2), f0 the frequency the string would have without
// stiffness and B its inharmonicity (0 for an ideal string or an air column,
// about 1e-4 in a piano's bass to 1e-2 at its top).

#include <cstdint>
#include <span>

namespace tonarel::precise {

/// One measured partial for the fit.
struct PartialMeasure {
    uint32_t number = 0;  ///< k, from 1
    double hz = 0.0;      ///< its measured frequency
    double weight = 0.0;  ///< how much the fit should trust it, > 0
};

/// The model's two parameters.
struct StiffString {
    double f0 = 0.0;  ///< hertz
    double b = 0.0;   ///< inharmonicity B

    /// Where partial `number` sounds.
    double PartialHz(uint32_t number) const;
};

/// The largest inharmonicity a fit may report; a fit beyond it is taken as
/// a wrongly matched partial and clamped.
inline constexpr double kLargestInharmonicity = 0.03;

/// The weighted least-squares fit of (hz / k)^2 = f0^2 + f0^2 B k^2, linear
/// in k^2, built up one partial at a time at constant cost, so that a search
/// can refit after every partial it finds.
class StiffStringFit {
public:
    void Add(const PartialMeasure& partial);

    /// The fitted model: B clamped to [0, kLargestInharmonicity], then f0^2
    /// = sum w (hz/k)^2 / sum w (1 + B k^2) for that B. Partials of one number
    /// only give B = 0 and f0^2 = the weighted mean of (hz / k)^2. All zero
    /// before the first partial.
    StiffString Model() const;

private:
    double sumW_ = 0.0, sumX_ = 0.0, sumY_ = 0.0, sumXX_ = 0.0, sumXY_ = 0.0;
};

/// The fit over `partials` at once.
StiffString FitStiffString(std::span<const PartialMeasure> partials);

}  // namespace tonarel::precise
