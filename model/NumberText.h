#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stelmar {

// A real in the general format: up to 15 significant digits, no trailing
// zeros, exponent form ("1E-6", "1,5E20") below 0.00001 in magnitude or with
// more than 15 integer digits. `separator` is the decimal separator.
std::string FormatReal(double x, char separator);

// FormatReal with one separator, remembering the texts made lately: a
// report writes the same widths, lengths and speeds again and again.
class RealTexts {
public:
    explicit RealTexts(char separator) : separator_(separator) {}
    const std::string& Of(double x);

private:
    struct Entry {
        std::uint64_t Bits = 0;
        bool Made = false;
        std::string Text;
    };
    char separator_;
    std::vector<Entry> entries_ = std::vector<Entry>(1024);
};

// The shortest text that reads back as exactly the same double ("." always);
// used for machine-readable output.
std::string FormatShortest(double x);

// Text to real, accepting "," or "." as the decimal separator, surrounding
// blanks and an exponent. Empty, partial, infinite or NaN input gives nullopt.
std::optional<double> ParseReal(std::string_view text);

// The plain decimal at the start of `text`: an optional minus, digits, and
// at most one "," or "." followed by digits, no more than 15 digits in all;
// `used` is set to its length. The value is the one ParseReal gives, found
// without it: the digits as an integer divided by a power of ten, which
// IEEE division rounds correctly. nullopt for anything else.
std::optional<double> ParsePlainDecimal(std::string_view text, std::size_t& used);

// The decimal separator of the user's numeric locale, from LC_ALL,
// LC_NUMERIC or LANG (the first one set): "," for Russian and other locales
// that write a decimal comma, "." otherwise.
char DecimalSeparatorFromEnvironment();

}  // namespace stelmar
