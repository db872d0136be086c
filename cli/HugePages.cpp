#include "cli/HugePages.h"

#include <cstdlib>
#include <fstream>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stelmar {

namespace {

constexpr off_t kLargeProject = 4 << 20;
constexpr const char* kTunable = "glibc.malloc.hugetlb";

// "never" among the choices, in brackets when chosen.
bool HugePagesOff()
{
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string choices;
    return !std::getline(setting, choices) || choices.find("[never]") != std::string::npos;
}

}  // namespace

void RestartWithHugePages(char** argv, const std::string& project)
{
    struct stat file {};
    if (::stat(project.c_str(), &file) != 0 || !S_ISREG(file.st_mode) || file.st_size < kLargeProject) return;
    const char* given = std::getenv("GLIBC_TUNABLES");
    const std::string before = given ? given : "";
    // A program running with raised privileges gets no tunables from its
    // environment, and would start itself again and again.
    if (before.find(kTunable) != std::string::npos || ::getauxval(AT_SECURE) != 0 || HugePagesOff()) return;
    const std::string tunables = before + (before.empty() ? "" : ":") + kTunable + "=1";
    ::setenv("GLIBC_TUNABLES", tunables.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    if (given)
        ::setenv("GLIBC_TUNABLES", before.c_str(), 1);
    else
        ::unsetenv("GLIBC_TUNABLES");
}

}  // namespace stelmar
