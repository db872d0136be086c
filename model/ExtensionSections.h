#pragma once

// The kinds of data the extension block of a project file holds, each with
// its own key prefix. A new kind of data adds its section to the list in
// ExtensionSections.cpp.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

enum class ExtensionRead {
    Taken,    // the entry was read into the scheme
    Unknown,  // this version does not know the key: the entry is kept as it is
    Damaged,  // the key is known but its value cannot be read
};

struct ExtensionSection {
    std::string_view Prefix;  // e.g. "floor."
    // Reads one entry whose key starts with Prefix; sets `error` (in
    // Russian, what is wrong with the value) when it returns Damaged.
    ExtensionRead (*Read)(TPipeLine& s, const TExtensionEntry& entry, std::string& error);
    // Appends the section's entries for the scheme.
    void (*Write)(const TPipeLine& s, std::vector<TExtensionEntry>& out);
};

std::span<const ExtensionSection> ExtensionSections();

}  // namespace stelmar
