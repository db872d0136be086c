#include "model/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "model/FileErrors.h"
#include "model/RegularFile.h"
#include "model/SafeFile.h"
#include "model/TextCodec.h"

namespace stelmar {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// Windows-1251 text as UTF-8; the one undefined code (0x98) becomes "?".
std::string FromFile(std::string_view cp1251)
{
    std::string bytes(cp1251);
    std::replace(bytes.begin(), bytes.end(), '\x98', '?');
    return *Cp1251ToUtf8(bytes);
}

// Length of the UTF-8 sequence at the start of `text`: the length its lead
// byte announces when the continuation bytes are there, otherwise 1.
std::size_t SequenceLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xF8 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
    return length;
}

// UTF-8 text as Windows-1251, each character without a code (or byte that
// is not valid UTF-8) as "?", line breaks as blanks.
std::string ToFile(std::string_view utf8)
{
    std::string out;
    if (auto whole = Utf8ToCp1251(utf8)) {
        out = std::move(*whole);
    } else {
        out.reserve(utf8.size());
        for (std::size_t i = 0; i < utf8.size();) {
            const std::size_t length = SequenceLength(utf8.substr(i));
            const auto one = Utf8ToCp1251(utf8.substr(i, length));
            out += one ? *one : "?";
            i += length;
        }
    }
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return out;
}

}  // namespace

IniFile IniFile::Load(const std::string& path)
{
    IniFile ini;
    std::string text;
    if (ReadRegularFile(path, kMaxSize, text) != 0) return ini;

    Section* current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = Trim(line);

        if (!line.empty() && line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) continue;
            current = &ini.sections_.emplace_back();
            current->Name = FromFile(Trim(line.substr(1, close - 1)));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (current == nullptr || eq == std::string_view::npos) continue;
        current->Keys.push_back({FromFile(Trim(line.substr(0, eq))), FromFile(Trim(line.substr(eq + 1)))});
    }
    return ini;
}

bool IniFile::Representable(const std::string& value)
{
    if (!value.empty() && (Blank(value.front()) || Blank(value.back()))) return false;
    return value.find_first_of("\r\n") == std::string::npos && FitsCp1251(value);
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const
{
    for (const Section& s : sections_) {
        if (!SameName(s.Name, section)) continue;
        for (const Key& k : s.Keys)
            if (SameName(k.Name, key)) return k.Value;
        return std::nullopt;
    }
    return std::nullopt;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value)
{
    auto s = std::find_if(sections_.begin(), sections_.end(),
                          [&section](const Section& x) { return SameName(x.Name, section); });
    if (s == sections_.end()) {
        sections_.push_back(Section{section, {}});
        s = sections_.end() - 1;
    }
    for (Key& k : s->Keys)
        if (SameName(k.Name, key)) {
            k.Value = value;
            k.Own = true;
            return;
        }
    s->Keys.push_back({key, value, true});
}

std::string IniFile::Header(const Section& s) { return '[' + ToFile(s.Name) + "]\r\n"; }

std::string IniFile::Line(const Key& k) { return ToFile(k.Name) + '=' + ToFile(k.Value) + "\r\n"; }

std::string IniFile::Text() const
{
    std::string out;
    for (const Section& s : sections_) {
        out += Header(s);
        for (const Key& k : s.Keys) out += Line(k);
    }
    return out;
}

std::optional<std::string> IniFile::Save(const std::string& path) const
{
    std::string text = Text();
    if (text.size() > kMaxSize) {
        IniFile fitting = *this;
        std::vector<Section>& sections = fitting.sections_;
        std::size_t size = text.size();
        for (std::size_t i = sections.size(); i-- > 0 && size > kMaxSize;) {
            std::vector<Key>& keys = sections[i].Keys;
            const bool hadKeys = !keys.empty();
            for (std::size_t j = keys.size(); j-- > 0 && size > kMaxSize;) {
                if (keys[j].Own) continue;
                size -= Line(keys[j]).size();
                keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(j));
            }
            // A section goes with the last of its keys, an empty one only
            // while the text is still too large.
            if (keys.empty() && (hadKeys || size > kMaxSize)) {
                size -= Header(sections[i]).size();
                sections.erase(sections.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        if (size > kMaxSize) return FileErrorText(EFBIG);
        text = fitting.Text();
    }
    return WriteFilesAtomically({{path, std::move(text)}});
}

}  // namespace stelmar
