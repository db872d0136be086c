#pragma once

// The extension block of a project file: data that the fixed layout has no
// line for (floor scales, plans, marks on areas, fire scenarios ...). It
// follows the last fixed line (VrSk), where earlier readers stop reading,
// so every earlier reader still reads the scheme of a file that has it:
//
//     Дополнительные данные:
//     Версия: 1
//     key=value
//     ...
//
// Keys are ASCII (letters, digits, ".", "_", "-"), named by what they
// belong to ("floor.2.scale", "area.17.drawn"); a value is the rest of
// the line, in Windows-1251 like the rest of the file, with "\\" for a
// backslash, "\n" and "\r" for line breaks and "\uXXXX" (UTF-16, a pair
// for a character beyond U+FFFF) for a character the code page lacks.
// Entries that this version does not know are kept and written back.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// The version of the block that this program writes.
inline constexpr int kExtensionVersion = 1;

// The block's lines for `entries` (none when there are no entries), each
// ending in CR LF.
std::string ExtensionBlockText(const std::vector<TExtensionEntry>& entries);

struct ExtensionBlock {
    int Version = 0;  // 0 when the file has no block
    std::vector<TExtensionEntry> Entries;
    // Damaged lines, each named with the file and its line; they are left
    // out of Entries.
    std::vector<std::string> Warnings;
};

// Reads the block from `rest`, what follows the fixed lines of a file;
// `lineNo` is the number of its first line and `path` names the file in
// warnings. Empty lines are skipped; text that is no block gives one
// warning.
ExtensionBlock ParseExtensionBlock(std::string_view rest, std::int64_t lineNo, const std::string& path);

// The entries for the scheme's extension data: every known kind of data,
// then the kept unknown entries.
std::vector<TExtensionEntry> ExtensionEntries(const TPipeLine& s);

// Hands the entries of a read block to the scheme: each known entry to the
// data it belongs to, unknown ones to KeptExtension. An entry whose value
// is damaged is left out with a warning naming the file.
void ApplyExtensionEntries(TPipeLine& s, std::vector<TExtensionEntry> entries, const std::string& path,
                           std::vector<std::string>& warnings);

// Value text: UTF-8 to the escaped Windows-1251 form and back (nullopt for
// a damaged escape or a byte the code page leaves undefined).
std::string EscapeExtensionValue(std::string_view utf8);
std::optional<std::string> UnescapeExtensionValue(std::string_view escaped);

}  // namespace stelmar
