// Decoding of the texts of DXF drawings.

#include "plans/DxfTexts.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace stelmar {
namespace {

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "\U+0416" and the like replaced by the character; other text kept.
std::string ExpandEscapes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "\\U+") == 0 && i + 7 <= text.size() && IsHex(text[i + 3]) && IsHex(text[i + 4]) &&
            IsHex(text[i + 5]) && IsHex(text[i + 6])) {
            const auto c = static_cast<char32_t>(std::strtoul(std::string(text.substr(i + 3, 4)).c_str(), nullptr, 16));
            AppendUtf8(out, c == 0 || (c >= 0xD800 && c < 0xE000) ? U'?' : c);
            i += 6;
            continue;
        }
        out += text[i];
    }
    return out;
}

// Invalid sequences become "?".
std::string ValidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        bool valid = length > 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) valid = (static_cast<unsigned char>(text[i + k]) >> 6) == 2;
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

std::string IconvName(std::string_view codePage)
{
    std::string name;
    for (char c : codePage) name += char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (name.rfind("ANSI_", 0) == 0) return "CP" + name.substr(5);
    if (name.rfind("DOS", 0) == 0) return "CP" + name.substr(3);
    return "CP1252";
}

std::string Converted(const std::string& charset, std::string_view raw)
{
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "CP1252");
    std::string out(raw.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(raw.data());
    std::size_t inLeft = raw.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno != EILSEQ && errno != EINVAL) break;
        // An undefined byte: "?" and on.
        *to++ = '?';
        --outLeft;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

DxfTextDecoder::DxfTextDecoder(std::string_view version, std::string_view codePage)
    : utf8_(version.size() >= 6 && version.substr(0, 2) == "AC" && version.substr(2) >= "1021"),
      charset_(IconvName(codePage))
{
}

std::string DxfTextDecoder::operator()(std::string_view raw) const
{
    bool ascii = true;
    for (char c : raw) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return raw.find("\\U+") == std::string_view::npos ? std::string(raw) : ExpandEscapes(raw);
    return ExpandEscapes(utf8_ ? ValidUtf8(raw) : Converted(charset_, raw));
}

std::string PlainText(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8.compare(i, 2, "%%") == 0 && i + 2 < utf8.size()) {
            switch (utf8[i + 2] | 0x20) {
            case 'c': out += "Ø"; i += 2; continue;
            case 'd': out += "°"; i += 2; continue;
            case 'p': out += "±"; i += 2; continue;
            case 'u':
            case 'o': i += 2; continue;
            case '%': out += '%'; i += 2; continue;
            default: break;
            }
        }
        out += utf8[i];
    }
    return out;
}

std::string PlainMText(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '{' || c == '}') continue;
        if (c != '\\' || i + 1 == utf8.size()) {
            out += c;
            continue;
        }
        const char code = utf8[++i];
        switch (code) {
        case 'P': out += '\n'; break;
        case '~': out += ' '; break;
        case '\\':
        case '{':
        case '}': out += code; break;
        case 'L': case 'l': case 'O': case 'o': case 'K': case 'k': case 'N': break;
        case 'S': {
            // \Sa^b; \Sa/b; \Sa#b; : a fraction "a/b".
            const std::size_t end = utf8.find(';', i);
            const std::string_view body = utf8.substr(i + 1, end == std::string_view::npos ? end : end - i - 1);
            for (char f : body) out += f == '^' || f == '#' ? '/' : f;
            i = end == std::string_view::npos ? utf8.size() : end;
            break;
        }
        default: {
            // \f...; \H...; \C...; \A...; \W...; \Q...; \T...; \p...; and the like.
            const std::size_t end = utf8.find(';', i);
            if (end == std::string_view::npos) {
                out += '\\';
                out += code;
            } else {
                i = end;
            }
        }
        }
    }
    return out;
}

}  // namespace stelmar
