#include "model/TextCodec.h"

#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <utility>

namespace stelmar {
namespace {

bool IsAscii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// One iconv descriptor, opened once per thread and direction.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != kInvalid) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Appends the conversion of `in` to `out`, stopping at the first
    // character that cannot be converted; returns the number of input bytes
    // converted. `maxGrowth` bounds the output bytes per input byte.
    std::size_t Convert(std::string_view in, std::string& out, std::size_t maxGrowth)
    {
        if (cd_ == kInvalid) return 0;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        const std::size_t start = out.size();
        out.resize(start + in.size() * maxGrowth);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char* outPtr = out.data() + start;
        std::size_t outLeft = in.size() * maxGrowth;
        iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        out.resize(static_cast<std::size_t>(outPtr - out.data()));
        return in.size() - inLeft;
    }

private:
    static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);
    iconv_t cd_;
};

// A Windows-1251 character is one byte; UTF-8 needs at most 3 for any of them.
constexpr std::size_t kToCp1251Growth = 1;
constexpr std::size_t kToUtf8Growth = 3;

Converter& ToCp1251()
{
    thread_local Converter converter("WINDOWS-1251", "UTF-8");
    return converter;
}

Converter& ToUtf8()
{
    thread_local Converter converter("UTF-8", "WINDOWS-1251");
    return converter;
}

// The code point at the start of `text` and its length in bytes, or length
// 0 when the bytes are not a valid UTF-8 sequence.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead < 0x80) return {lead, 1};
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, smallest = 0x10000;
    } else {
        return {0, 0};
    }
    if (text.size() < length) return {0, 0};
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80) return {0, 0};
        code = (code << 6) | (c & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, 0};
    return {code, length};
}

void AppendUnicodeEscape(std::string& out, char32_t unit)
{
    out += "\\u";
    out += std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(unit)));
    out += "\\'3f";
}

}  // namespace

std::optional<std::string> Utf8ToCp1251(std::string_view utf8)
{
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    if (ToCp1251().Convert(utf8, out, kToCp1251Growth) != utf8.size()) return std::nullopt;
    return out;
}

std::optional<std::string> Cp1251ToUtf8(std::string_view cp1251)
{
    if (IsAscii(cp1251)) return std::string(cp1251);
    if (cp1251.find('\x98') != std::string_view::npos) return std::nullopt;
    std::string out;
    if (ToUtf8().Convert(cp1251, out, kToUtf8Growth) != cp1251.size()) return std::nullopt;
    return out;
}

std::string Utf8ToCp1251Rtf(std::string_view utf8)
{
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        utf8.remove_prefix(ToCp1251().Convert(utf8, out, kToCp1251Growth));
        if (utf8.empty()) break;
        const auto [code, length] = DecodeUtf8(utf8);
        if (length == 0) {
            out += '?';
            utf8.remove_prefix(1);
            continue;
        }
        if (code >= 0x10000) {
            AppendUnicodeEscape(out, 0xD800 + ((code - 0x10000) >> 10));
            AppendUnicodeEscape(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            AppendUnicodeEscape(out, code);
        }
        utf8.remove_prefix(length);
    }
    return out;
}

bool FitsCp1251(std::string_view utf8) { return Utf8ToCp1251(utf8).has_value(); }

}  // namespace stelmar
