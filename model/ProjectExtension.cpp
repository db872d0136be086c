#include "model/ProjectExtension.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "model/ExtensionSections.h"
#include "model/ProjectFileTexts.h"
#include "model/TextCodec.h"

namespace stelmar {
namespace {

constexpr const char* kBlockLabel = "Дополнительные данные:";
constexpr std::string_view kVersionPrefix = "Версия: ";

bool IsKey(std::string_view key)
{
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
               c == '-';
    });
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The code point at the start of `text` and its length in bytes; a byte
// that starts no valid UTF-8 sequence is U+FFFD of length 1.
std::pair<char32_t, std::size_t> DecodeCharacter(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4                                ? 4
                                                                                             : 0;
    if (length == 0 || text.size() < length) return {0xFFFD, 1};
    char32_t code = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[k]);
        if ((c & 0xC0) != 0x80) return {0xFFFD, 1};
        code = code << 6 | (c & 0x3F);
    }
    return {code, length};
}

void AppendUnit(std::string& out, char32_t unit)
{
    constexpr const char* kHex = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

std::optional<char32_t> HexUnit(std::string_view text)
{
    if (text.size() < 4) return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + 4, value, 16);
    if (error != std::errc() || end != text.data() + 4) return std::nullopt;
    return value;
}

std::string Warning(const std::string& path, std::int64_t line, const std::string& what)
{
    return "Файл \"" + path + "\", строка " + std::to_string(line) + ": " + what +
           "; эти данные пропущены, схема прочитана.";
}
}  // namespace

std::string EscapeExtensionValue(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto [code, length] = DecodeCharacter(utf8.substr(i));
        const std::string_view character = utf8.substr(i, length);
        i += length;
        if (character == "\\") {
            out += "\\\\";
        } else if (character == "\n") {
            out += "\\n";
        } else if (character == "\r") {
            out += "\\r";
        } else if (std::optional<std::string> byte = Utf8ToCp1251(character)) {
            out += *byte;
        } else if (code >= 0x10000) {
            AppendUnit(out, 0xD800 + ((code - 0x10000) >> 10));
            AppendUnit(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            AppendUnit(out, code);
        }
    }
    return out;
}

std::optional<std::string> UnescapeExtensionValue(std::string_view escaped)
{
    std::string out;
    std::size_t plainStart = 0;
    auto flushPlain = [&](std::size_t end) {
        if (end <= plainStart) return true;
        std::optional<std::string> text = Cp1251ToUtf8(escaped.substr(plainStart, end - plainStart));
        if (!text) return false;
        out += *text;
        return true;
    };
    for (std::size_t i = 0; i < escaped.size();) {
        if (escaped[i] != '\\') {
            ++i;
            continue;
        }
        if (!flushPlain(i) || i + 1 >= escaped.size()) return std::nullopt;
        const char what = escaped[i + 1];
        if (what == '\\' || what == 'n' || what == 'r') {
            out += what == '\\' ? '\\' : what == 'n' ? '\n' : '\r';
            i += 2;
        } else if (what == 'u') {
            const std::optional<char32_t> unit = HexUnit(escaped.substr(i + 2));
            if (!unit || (*unit >= 0xDC00 && *unit <= 0xDFFF)) return std::nullopt;
            i += 6;
            char32_t code = *unit;
            if (code >= 0xD800 && code <= 0xDBFF) {
                if (escaped.substr(i, 2) != "\\u") return std::nullopt;
                const std::optional<char32_t> low = HexUnit(escaped.substr(i + 2));
                if (!low || *low < 0xDC00 || *low > 0xDFFF) return std::nullopt;
                code = 0x10000 + ((code - 0xD800) << 10) + (*low - 0xDC00);
                i += 6;
            }
            AppendUtf8(out, code);
        } else {
            return std::nullopt;
        }
        plainStart = i;
    }
    if (!flushPlain(escaped.size())) return std::nullopt;
    return out;
}

std::string ExtensionBlockText(const std::vector<TExtensionEntry>& entries)
{
    if (entries.empty()) return {};
    std::string out = FileTexts::Encoded(kBlockLabel) + "\r\n" + FileTexts::Encoded(kVersionPrefix.data()) +
                      std::to_string(kExtensionVersion) + "\r\n";
    for (const TExtensionEntry& entry : entries) {
        out += entry.Key;
        out += '=';
        out += EscapeExtensionValue(entry.Value);
        out += "\r\n";
    }
    return out;
}

ExtensionBlock ParseExtensionBlock(std::string_view rest, std::int64_t lineNo, const std::string& path)
{
    ExtensionBlock block;
    const std::string label = FileTexts::Encoded(kBlockLabel);
    const std::string versionPrefix = FileTexts::Encoded(kVersionPrefix.data());
    bool started = false;
    bool versionRead = false;
    for (std::int64_t line = lineNo; !rest.empty(); ++line) {
        const std::size_t end = rest.find('\n');
        std::string_view text = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (text.empty()) continue;
        if (!started) {
            if (text != label) {
                block.Warnings.push_back(Warning(path, line, "после данных по участкам стоят нераспознанные строки"));
                return block;
            }
            started = true;
            continue;
        }
        if (!versionRead) {
            versionRead = true;
            int version = 0;
            const std::string_view number = text.substr(std::min(text.size(), versionPrefix.size()));
            const auto [at, error] = std::from_chars(number.data(), number.data() + number.size(), version);
            if (text.substr(0, versionPrefix.size()) != versionPrefix || error != std::errc() ||
                at != number.data() + number.size() || version < 1) {
                block.Warnings.push_back(Warning(path, line, "ожидалась версия дополнительных данных"));
                return block;
            }
            block.Version = version;
            continue;
        }
        const std::size_t equals = text.find('=');
        const std::string_view key = text.substr(0, equals);
        std::optional<std::string> value =
            equals == std::string_view::npos ? std::nullopt : UnescapeExtensionValue(text.substr(equals + 1));
        if (!IsKey(key) || !value) {
            block.Warnings.push_back(Warning(path, line, "поврежденная строка дополнительных данных"));
            continue;
        }
        block.Entries.push_back({std::string(key), std::move(*value)});
    }
    return block;
}

std::vector<TExtensionEntry> ExtensionEntries(const TPipeLine& s)
{
    std::vector<TExtensionEntry> entries;
    for (const ExtensionSection& section : ExtensionSections()) section.Write(s, entries);
    entries.insert(entries.end(), s.KeptExtension.begin(), s.KeptExtension.end());
    return entries;
}

void ApplyExtensionEntries(TPipeLine& s, std::vector<TExtensionEntry> entries, const std::string& path,
                           std::vector<std::string>& warnings)
{
    s.KeptExtension.clear();
    for (TExtensionEntry& entry : entries) {
        ExtensionRead read = ExtensionRead::Unknown;
        std::string error;
        for (const ExtensionSection& section : ExtensionSections()) {
            if (!entry.Key.starts_with(section.Prefix)) continue;
            read = section.Read(s, entry, error);
            if (read != ExtensionRead::Unknown) break;
        }
        if (read == ExtensionRead::Unknown) {
            s.KeptExtension.push_back(std::move(entry));
        } else if (read == ExtensionRead::Damaged) {
            warnings.push_back("Файл \"" + path + "\": дополнительные данные «" + entry.Key + "» повреждены (" + error +
                               "); они пропущены, схема прочитана.");
        }
    }
}

}  // namespace stelmar
