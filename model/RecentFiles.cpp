#include "model/RecentFiles.h"

#include "model/IniFile.h"
#include "model/Settings.h"

namespace stelmar {
namespace {

constexpr const char* kFileName = "reopen.ini";
constexpr const char* kSection = "PATH";
constexpr const char* kUnused = "none";

std::string Key(int index) { return "path_" + std::to_string(index + 1); }

std::array<std::string, kRecentCount> ListOf(const IniFile& ini)
{
    std::array<std::string, kRecentCount> list;
    for (int i = 0; i < kRecentCount; ++i) list[i] = ini.Get(kSection, Key(i)).value_or(kUnused);
    return list;
}

// Reads the list, lets `update` change it and writes all ten keys back.
template <class Update>
std::optional<std::string> Rewrite(const std::string& folder, const std::string& path, Update update)
{
    // A path the file cannot hold would come back as another path and push
    // a good entry off the list; it is not recorded.
    if (!IniFile::Representable(path)) return std::nullopt;
    const std::string file = folder + kFileName;
    IniFile ini = IniFile::Load(file);
    std::array<std::string, kRecentCount> list = ListOf(ini);
    update(list);
    for (int i = 0; i < kRecentCount; ++i) ini.Set(kSection, Key(i), list[i]);
    if (ini.Save(file)) return std::string(kConfigWriteFailed);
    return std::nullopt;
}

}  // namespace

std::array<std::string, kRecentCount> ReadRecent(const std::string& folder)
{
    return ListOf(IniFile::Load(folder + kFileName));
}

std::optional<std::string> AddRecent(const std::string& folder, const std::string& path)
{
    return Rewrite(folder, path, [&path](std::array<std::string, kRecentCount>& list) {
        for (int k = 0; k < kRecentCount; ++k) {
            if (list[k] != path) continue;
            list[k] = kUnused;
            for (int i = k; i < kRecentCount - 1; ++i) list[i] = list[i + 1];
            break;
        }
        list[kRecentCount - 1] = kUnused;
        for (int i = kRecentCount - 1; i > 0; --i) list[i] = list[i - 1];
        list[0] = path;
    });
}

std::optional<std::string> PushRecent(const std::string& folder, const std::string& path)
{
    return Rewrite(folder, path, [&path](std::array<std::string, kRecentCount>& list) {
        for (int i = kRecentCount - 1; i > 0; --i) list[i] = list[i - 1];
        list[0] = path;
    });
}

}  // namespace stelmar
