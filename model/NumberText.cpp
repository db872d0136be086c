#include "model/NumberText.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace stelmar {

std::string FormatReal(double x, char separator)
{
    if (x == 0) return "0";
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x > 0 ? "INF" : "-INF";

    // d.dddddddddddddde±x: the value rounded to 15 significant digits.
    char buf[48];
    const auto end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14).ptr;
    std::string_view text(buf, end - buf);
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t ePos = text.find('e');
    std::string digits;
    digits.reserve(15);
    digits += text[0];
    digits.append(text.substr(2, ePos - 2));
    int exponent = 0;
    std::string_view expText = text.substr(ePos + 1);
    if (expText.front() == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;  // short enough to stay in the string itself
    if (negative) out += '-';
    if (exponent < -5 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += separator;
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
    } else if (exponent < 0) {
        out += '0';
        out += separator;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, intDigits);
            out += separator;
            out.append(digits, intDigits);
        }
    }
    return out;
}

std::string FormatShortest(double x)
{
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, x).ptr;
    return std::string(buf, end);
}

std::optional<double> ParseReal(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.size() > 64) return std::nullopt;

    char buf[64];
    std::size_t n = 0;
    bool replaced = false;
    for (char c : text) {
        if (c == ',' && !replaced) {
            c = '.';
            replaced = true;
        }
        buf[n++] = c;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(buf, buf + n, value);
    if (ec != std::errc() || ptr != buf + n || !std::isfinite(value)) return std::nullopt;
    return value;
}

namespace {

// Languages whose numbers are written with a decimal comma; used when the
// named locale is not installed on the machine.
bool WritesDecimalComma(std::string_view language)
{
    static constexpr std::string_view kComma[] = {
        "az", "be", "bg", "bs", "ca", "cs", "da", "de", "el", "es", "et", "eu", "fi", "fr",
        "gl", "hr", "hu", "hy", "id", "is", "it", "ka", "kk", "ky", "lt", "lv", "mk", "mn",
        "nb", "nl", "nn", "no", "pl", "pt", "ro", "ru", "sk", "sl", "sq", "sr", "sv", "tg",
        "tk", "tr", "tt", "uk", "uz", "vi"};
    for (std::string_view l : kComma)
        if (l == language) return true;
    return false;
}

}  // namespace

char DecimalSeparatorFromEnvironment()
{
    const char* name = nullptr;
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) {
            name = value;
            break;
        }
    }
    if (!name) return '.';

    if (locale_t loc = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(0))) {
        const char* radix = nl_langinfo_l(RADIXCHAR, loc);
        const char c = radix ? radix[0] : '.';
        freelocale(loc);
        if (c == ',' || c == '.') return c;
    }
    std::string_view language(name);
    language = language.substr(0, language.find_first_of("_.@"));
    return WritesDecimalComma(language) ? ',' : '.';
}

}  // namespace stelmar
