#include "model/UserFolders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stelmar {
namespace {

constexpr int kFallbackFolders = 100;

std::string AbsoluteEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string HomeFolder()
{
    std::string home = AbsoluteEnv("HOME");
    if (home.empty())
        if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_dir != nullptr) home = pw->pw_dir;
    return home.empty() ? "/tmp" : home;
}

// mkdir -p with mode 0700 for every folder it creates; failures are left
// for the first write into the folder to report.
void MakeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        ::mkdir(part.c_str(), 0700);
        if (slash == std::string::npos) break;
    }
}

bool IsPrivateFolder(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

// `path` itself, created when missing, if it is a private folder of the
// user; empty otherwise.
std::string PrivateFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return IsPrivateFolder(path) ? path : std::string();
}

}  // namespace

std::string ConfigFolder()
{
    std::string base = AbsoluteEnv("XDG_CONFIG_HOME");
    if (base.empty()) base = HomeFolder() + "/.config";
    const std::string folder = WithoutTrailingSlash(base) + "/stelmar";
    MakeFolders(folder);
    return folder + "/";
}

std::string RecoveryFolder()
{
    std::string base = AbsoluteEnv("XDG_STATE_HOME");
    if (base.empty()) base = HomeFolder() + "/.local/state";
    return WithoutTrailingSlash(base) + "/stelmar/recovery/";
}

std::string TempFolder()
{
    const std::string runtime = WithoutTrailingSlash(AbsoluteEnv("XDG_RUNTIME_DIR"));
    struct stat st {};
    if (!runtime.empty() && ::stat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        const std::string folder = PrivateFolder(runtime + "/stelmar");
        if (!folder.empty()) return folder + "/";
    }

    std::string tmp = WithoutTrailingSlash(AbsoluteEnv("TMPDIR"));
    if (tmp.empty()) tmp = "/tmp";
    const std::string shared = tmp + "/stelmar-" + std::to_string(::geteuid());
    if (const std::string folder = PrivateFolder(shared); !folder.empty()) return folder + "/";

    // The shared name is taken by something unsafe: the first of the
    // numbered names beside it that is, or can be made, a private folder of
    // ours (the same one at every call while it stays so), or else the
    // private configuration folder.
    for (int n = 1; n <= kFallbackFolders; ++n)
        if (const std::string folder = PrivateFolder(shared + "-" + std::to_string(n)); !folder.empty())
            return folder + "/";
    return ConfigFolder();
}

}  // namespace stelmar
