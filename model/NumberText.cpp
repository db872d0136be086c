#include "model/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace stelmar {

namespace {

// The text of x when it is a decimal of at most nine places and fifteen
// digits, 0,00001 ≤ |x| < 10^15: the fewest places k whose decimal r / 10^k
// reads back as x. Below 10^15 the product x · 10^k is within a quarter of
// r, so r is found exactly, and r / 10^k, divided correctly rounded, equals
// x exactly when the decimal reads back as x; with the fewest places it is
// the shortest text, which has at most 15 digits. Most numbers of a report
// are rounded to a few places and take this way.
std::optional<std::string> FormatFewPlaces(double x, char separator)
{
    constexpr double kLimit = 1e15;
    const double magnitude = std::abs(x);
    if (!(magnitude >= 1e-5 && magnitude < kLimit)) return std::nullopt;
    double scale = 1;
    for (int places = 0; places <= 9; ++places, scale *= 10) {
        const double r = std::nearbyint(magnitude * scale);
        if (r >= kLimit) return std::nullopt;
        if (r / scale != magnitude) continue;
        const auto digits = static_cast<std::uint64_t>(r);
        const auto unit = static_cast<std::uint64_t>(scale);
        char buf[40];
        char* p = buf;
        if (x < 0) *p++ = '-';
        p = std::to_chars(p, buf + sizeof buf, digits / unit).ptr;
        if (places > 0) {
            *p++ = separator;
            std::uint64_t fraction = digits % unit;
            for (int i = places - 1; i >= 0; --i, fraction /= 10) p[i] = static_cast<char>('0' + fraction % 10);
            p += places;
        }
        return std::string(buf, p);
    }
    return std::nullopt;
}

}  // namespace

std::string FormatReal(double x, char separator)
{
    if (x == 0) return "0";
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
    if (std::optional<std::string> text = FormatFewPlaces(x, separator)) return std::move(*text);

    // d.dddddddddddddde±x: the value rounded to 15 significant digits.
    // When the shortest text that reads back as a normal x has no more than
    // 15 digits, it is that rounding (x lies within half a unit of its last
    // binary place of it, much closer than half a step between 15-digit
    // decimals), and it is found several times faster; else x is rounded.
    char buf[48];
    auto end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific).ptr;
    if (!std::isnormal(x) || std::string_view(buf, end - buf).find('e') > (x < 0 ? 17u : 16u))
        end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14).ptr;
    std::string_view text(buf, end - buf);
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t ePos = text.find('e');
    std::string digits;
    digits.reserve(15);
    digits += text[0];
    if (ePos > 1) digits.append(text.substr(2, ePos - 2));  // "de±x" when one digit
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

const std::string& RealTexts::Of(double x)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    // The high bits of a multiplicative hash pick the entry.
    Entry& e = entries_[(bits * 0x9E3779B97F4A7C15ull) >> 54];
    if (!e.Made || e.Bits != bits) {
        e.Bits = bits;
        e.Made = true;
        e.Text = FormatReal(x, separator_);
    }
    return e.Text;
}

std::string FormatShortest(double x)
{
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, x).ptr;
    return std::string(buf, end);
}

std::optional<double> ParsePlainDecimal(std::string_view text, std::size_t& used)
{
    // Powers of ten up to the largest that a double holds exactly.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::ptrdiff_t kMaxDigits = 15;  // below 2^53: the integer is exact
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    std::uint64_t digits = 0;
    const char* const whole = p;
    for (; p < end && static_cast<unsigned char>(*p - '0') < 10; ++p) digits = digits * 10 + static_cast<unsigned>(*p - '0');
    std::ptrdiff_t count = p - whole;
    std::ptrdiff_t fraction = 0;
    if (count > 0 && p < end && (*p == ',' || *p == '.')) {
        const char* const part = ++p;
        for (; p < end && static_cast<unsigned char>(*p - '0') < 10; ++p)
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
        fraction = p - part;
        if (fraction == 0) return std::nullopt;
        count += fraction;
    }
    if (count == 0 || count > kMaxDigits) return std::nullopt;
    if (p < end && (*p == 'e' || *p == 'E' || *p == ',' || *p == '.')) return std::nullopt;
    used = static_cast<std::size_t>(p - text.data());
    const double value = static_cast<double>(digits) / kPowers[fraction];
    return negative ? -value : value;
}

std::optional<double> ParseReal(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.size() > 64) return std::nullopt;
    std::size_t used = 0;
    if (const std::optional<double> plain = ParsePlainDecimal(text, used); plain && used == text.size()) return plain;

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
