#pragma once

// INI files (sections in square brackets, key=value lines) in the Windows
// Cyrillic code page, read and written key by key. Section and key names
// are matched without regard to case (ASCII letters); setting an existing
// key replaces its value where it stands, a new key is added at the end of
// its section, a new section at the end of the file.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace stelmar {

class IniFile {
public:
    // Largest file Load reads; Save never writes a larger one.
    static constexpr std::size_t kMaxSize = 1 << 20;

    // The file's contents; a missing or unreadable file gives an empty one,
    // as does anything but a regular file of at most kMaxSize bytes.
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
    // Sets a key, which from then on counts as one of the program's own.
    void Set(const std::string& section, const std::string& key, const std::string& value);

    // Text of the file (Windows-1251, CR LF). Characters without a
    // Windows-1251 code become "?", line breaks inside a value blanks.
    std::string Text() const;
    // Writes Text() through a temporary file, so that Load reads it back:
    // when it would exceed kMaxSize, keys read from the file and not Set
    // since are left out, the last in the file first, with the sections they
    // leave empty. Returns the reason on failure (too large even then, or
    // the file cannot be written).
    std::optional<std::string> Save(const std::string& path) const;

private:
    struct Key {
        std::string Name;
        std::string Value;
        bool Own = false;  // Set by the program, never left out
    };
    struct Section {
        std::string Name;
        std::vector<Key> Keys;
    };
    static std::string Header(const Section& s);
    static std::string Line(const Key& k);
    std::vector<Section> sections_;
};

}  // namespace stelmar
