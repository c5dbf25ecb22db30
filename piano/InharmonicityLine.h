#pragma once
// A straight line of ln B over the piano's keys: along the wound bass strings
// and along the plain strings, a piano's inharmonicity B changes by about the
// same factor from key to key, so ln B is close to linear in the key number.

#include <cmath>

namespace tonarel::piano {

struct InharmonicityLine {
    double intercept = 0.0;  ///< ln B at key 0
    double slope = 0.0;      ///< change of ln B per key

    /// B at `key` (any real key number): exp(intercept + slope x key).
    double At(double key) const { return std::exp(intercept + slope * key); }

    /// The line through (key1, b1) and (key2, b2); keys distinct, B > 0.
    static InharmonicityLine Through(double key1, double b1, double key2, double b2)
    {
        const double slope = (std::log(b2) - std::log(b1)) / (key2 - key1);
        return {std::log(b1) - slope * key1, slope};
    }
};

}  // namespace tonarel::piano
