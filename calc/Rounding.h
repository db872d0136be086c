#pragma once

#include <cmath>

namespace stelmar {

// x rounded to `precision` decimals: divided by 10^-precision, rounded to the
// nearest integer with ties to even, and multiplied back by 10^-precision.
inline double RoundTo(double x, int precision)
{
    const double factor = 1.0 / std::pow(10.0, precision);
    return std::nearbyint(x / factor) * factor;
}

}  // namespace stelmar
