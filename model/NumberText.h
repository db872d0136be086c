#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace stelmar {

// A real in the general format: up to 15 significant digits, no trailing
// zeros, exponent form ("1E-6", "1,5E20") below 0.00001 in magnitude or with
// more than 15 integer digits. `separator` is the decimal separator.
std::string FormatReal(double x, char separator);

// The shortest text that reads back as exactly the same double ("." always);
// used for machine-readable output.
std::string FormatShortest(double x);

// Text to real, accepting "," or "." as the decimal separator, surrounding
// blanks and an exponent. Empty, partial, infinite or NaN input gives nullopt.
std::optional<double> ParseReal(std::string_view text);

// The decimal separator of the user's numeric locale, from LC_ALL,
// LC_NUMERIC or LANG (the first one set): "," for Russian and other locales
// that write a decimal comma, "." otherwise.
char DecimalSeparatorFromEnvironment();

}  // namespace stelmar
