#pragma once

// INI files (sections in square brackets, key=value lines) in the Windows
// Cyrillic code page, read and written key by key. Section and key names
// are matched without regard to case (ASCII letters); setting an existing
// key replaces its value where it stands, a new key is added at the end of
// its section, a new section at the end of the file.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stelmar {

class IniFile {
public:
    // The file's contents; a missing or unreadable file gives an empty one.
    // Lines end in CR LF or LF; blanks around names and values are dropped,
    // lines that are neither a section header nor a key=value pair are
    // skipped, as are keys before the first section.
    static IniFile Load(const std::string& path);

    // Whether `value` comes back unchanged from a file: every character has
    // a Windows-1251 code, and there is no line break and no blank at either
    // end.
    static bool Representable(const std::string& value);

    // Value as UTF-8 text, or nullopt when the key is missing. With
    // duplicate sections or keys the first one counts.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);

    // Text of the file (Windows-1251, CR LF). Characters without a
    // Windows-1251 code become "?", line breaks inside a value blanks.
    std::string Text() const;
    // Writes through a temporary file; returns the system's error text on failure.
    std::optional<std::string> Save(const std::string& path) const;

private:
    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Keys;
    };
    std::vector<Section> sections_;
};

}  // namespace stelmar
