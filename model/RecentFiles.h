#pragma once

// reopen.ini in the configuration folder: the ten most recently used
// project files, keys path_1 (the newest) .. path_10 of section PATH; "none"
// marks an unused entry. Both updates leave the list alone when `path`
// cannot be stored in the file unchanged (IniFile::Representable), since it
// would come back as a different path.

#include <array>
#include <optional>
#include <string>

namespace stelmar {

inline constexpr int kRecentCount = 10;

// path_1 .. path_10 (index 0 .. 9), "none" where unused or missing.
std::array<std::string, kRecentCount> ReadRecent(const std::string& folder);

// Puts `path` first; an older entry of the same path is removed and at most
// ten remain. Returns kConfigWriteFailed when reopen.ini cannot be written.
std::optional<std::string> AddRecent(const std::string& folder, const std::string& path);

// The shorter update used when a project is named on the command line:
// every entry moves down one place and `path` becomes path_1, without
// removing an older entry of the same path.
std::optional<std::string> PushRecent(const std::string& folder, const std::string& path);

}  // namespace stelmar
