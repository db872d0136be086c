#pragma once

#include <cmath>

namespace stelmar {

// Rounding to `precision` decimals: x is divided by 10^-precision, rounded
// to the nearest integer with ties to even, and multiplied back by
// 10^-precision. The factor is worked out once.
class Rounding {
public:
    explicit Rounding(int precision) : factor_(1.0 / std::pow(10.0, precision)) {}

    double operator()(double x) const { return std::nearbyint(x / factor_) * factor_; }

private:
    double factor_;
};

}  // namespace stelmar
