#include "model/TextCodec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iconv.h>
#include <utility>

namespace stelmar {
namespace {

// The code page as two lookup tables, filled once from the system's iconv
// so that converting long texts costs a table lookup per character.
class Cp1251Table {
public:
    static const Cp1251Table& Get()
    {
        static const Cp1251Table table;
        return table;
    }

    // Code point of a byte; 0 for a byte the code page leaves undefined.
    char32_t ToUnicode(unsigned char byte) const { return toUnicode_[byte]; }

    // Byte of a code point; 0 when the code page has none.
    unsigned char FromUnicode(char32_t code) const
    {
        if (code < 0x80) return static_cast<unsigned char>(code);
        return code < fromUnicode_.size() ? fromUnicode_[code] : 0;
    }

private:
    Cp1251Table()
    {
        for (unsigned b = 0; b < 0x80; ++b) toUnicode_[b] = b;
        const iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1251");
        if (cd == reinterpret_cast<iconv_t>(-1)) return;
        for (unsigned b = 0x80; b < 0x100; ++b) {
            char in = static_cast<char>(b);
            std::array<unsigned char, 4> out{};
            char* inPtr = &in;
            std::size_t inLeft = 1;
            char* outPtr = reinterpret_cast<char*>(out.data());
            std::size_t outLeft = out.size();
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) continue;
            const char32_t code = out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
            toUnicode_[b] = code;
            if (code < fromUnicode_.size()) fromUnicode_[code] = static_cast<unsigned char>(b);
        }
        iconv_close(cd);
    }

    std::array<char32_t, 256> toUnicode_{};
    std::array<unsigned char, 0x2200> fromUnicode_{};  // the code page's characters all lie below U+2200
};

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

// The ASCII bytes a converted text keeps as they are: every one, or for
// the body of an RTF document all but its control characters "\\", "{"
// and "}", which are escaped.
using KeptBytes = std::array<bool, 256>;

constexpr KeptBytes KeptAscii(bool escapeControls)
{
    KeptBytes kept{};
    for (int c = 0; c < 0x80; ++c)
        kept[static_cast<std::size_t>(c)] = !escapeControls || (c != '\\' && c != '{' && c != '}');
    return kept;
}

constexpr KeptBytes kEveryAscii = KeptAscii(false);
constexpr KeptBytes kPlainRtf = KeptAscii(true);

// Whether the two bytes `lead`, `next` are one of the letters А…я
// (U+0410…U+044F, D0 90…D1 8F in UTF-8), which Windows-1251 has in the same
// order at C0…FF.
bool IsCyrillicLetter(unsigned char lead, unsigned char next)
{
    return (lead == 0xD0 && next >= 0x90 && next <= 0xBF) || (lead == 0xD1 && next >= 0x80 && next <= 0x8F);
}

unsigned char CyrillicLetterByte(unsigned char lead, unsigned char next)
{
    return static_cast<unsigned char>(lead == 0xD0 ? 0xC0 + (next - 0x90) : 0xF0 + (next - 0x80));
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendUnicodeEscape(std::string& out, char32_t unit)
{
    out += "\\u";
    out += std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(unit)));
    out += "\\'3f";
}

// The character at the start of `utf8`, neither ASCII nor a letter А…я,
// in Windows-1251 or as "\\u" escapes; "?" for a byte that does not start
// a valid UTF-8 sequence. Returns the bytes it took.
std::size_t AppendOtherCharacter(std::string& out, std::string_view utf8)
{
    const auto [code, length] = DecodeUtf8(utf8);
    if (length == 0) {
        out += '?';
        return 1;
    }
    if (const unsigned char byte = Cp1251Table::Get().FromUnicode(code)) {
        out += static_cast<char>(byte);
    } else if (code >= 0x10000) {
        AppendUnicodeEscape(out, 0xD800 + ((code - 0x10000) >> 10));
        AppendUnicodeEscape(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
        AppendUnicodeEscape(out, code);
    }
    return length;
}

// ASCII and the letters А…я, nearly all of a report, are handled in one
// pass through a buffer on the stack; any other character takes the
// general conversion. ASCII bytes not `kept` get a backslash before them.
void AppendConverted(std::string& out, std::string_view utf8, const KeptBytes& kept)
{
    std::array<char, 512> buffer;
    std::size_t used = 0;
    const auto flush = [&] {
        out.append(buffer.data(), used);
        used = 0;
    };
    std::size_t i = 0;
    while (i < utf8.size()) {
        // Each byte of text makes at most two in the buffer.
        if (buffer.size() - used < 2) flush();
        const std::size_t stop = std::min(utf8.size(), i + (buffer.size() - used) / 2);
        while (i < stop) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (kept[c]) {
                buffer[used++] = static_cast<char>(c);
                ++i;
            } else if (c < 0x80) {
                buffer[used++] = '\\';
                buffer[used++] = static_cast<char>(c);
                ++i;
            } else if (i + 1 < utf8.size() && IsCyrillicLetter(c, static_cast<unsigned char>(utf8[i + 1]))) {
                buffer[used++] = static_cast<char>(CyrillicLetterByte(c, static_cast<unsigned char>(utf8[i + 1])));
                i += 2;
            } else {
                flush();
                i += AppendOtherCharacter(out, utf8.substr(i));
            }
        }
    }
    flush();
}

}  // namespace

std::optional<std::string> Utf8ToCp1251(std::string_view utf8)
{
    const Cp1251Table& table = Cp1251Table::Get();
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto [code, length] = DecodeUtf8(utf8);
        if (length == 0) return std::nullopt;
        const unsigned char byte = table.FromUnicode(code);
        if (byte == 0 && code != 0) return std::nullopt;
        out += static_cast<char>(byte);
        utf8.remove_prefix(length);
    }
    return out;
}

std::optional<std::string> Cp1251ToUtf8(std::string_view cp1251)
{
    const Cp1251Table& table = Cp1251Table::Get();
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (const char c : cp1251) {
        const auto byte = static_cast<unsigned char>(c);
        const char32_t code = table.ToUnicode(byte);
        if (code == 0 && byte != 0) return std::nullopt;
        AppendUtf8(out, code);
    }
    return out;
}

void AppendCp1251Rtf(std::string& out, std::string_view utf8) { AppendConverted(out, utf8, kEveryAscii); }

void AppendRtfText(std::string& out, std::string_view utf8) { AppendConverted(out, utf8, kPlainRtf); }

std::string Utf8ToCp1251Rtf(std::string_view utf8)
{
    std::string out;
    AppendCp1251Rtf(out, utf8);
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        // Two-byte characters, Cyrillic among them, need no decoding.
        if (c >= 0xC2 && c <= 0xDF && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            i += 2;
            continue;
        }
        const std::size_t length = DecodeUtf8(text.substr(i)).second;
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool FitsCp1251(std::string_view utf8) { return Utf8ToCp1251(utf8).has_value(); }

}  // namespace stelmar
