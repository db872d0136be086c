#pragma once

#include <string>

namespace stelmar {

// A large project's scheme and calculation steps take hundreds of megabytes
// of heap, and on a virtual machine the page faults of touching it cost
// more than the calculation. glibc backs its heap with transparent huge
// pages (a fault per 2 MB instead of per 4 KB) only when told so at start
// (GLIBC_TUNABLES=glibc.malloc.hugetlb=1). For a project file of at least
// a few megabytes this starts the program again with the tunable added,
// unless it is there already or the system gives no huge pages; when the
// start fails the run goes on as it is.
void RestartWithHugePages(char** argv, const std::string& project);

}  // namespace stelmar
