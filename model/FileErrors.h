#pragma once

// Reasons why a file could not be read or written, as the user reads them:
// the system's error numbers in Russian.

#include <string>

namespace stelmar {

// Not an error number of the system: the path names something other than a
// regular file (a device, a pipe, a socket), which the program neither reads
// nor replaces.
inline constexpr int kNotRegularFile = -1;

// The reason for an error number (errno or kNotRegularFile), without the
// file's name and without a final full stop: "нет прав доступа к файлу или
// папке", "недостаточно места на диске" ... Numbers without their own text
// give a general one with the number.
std::string FileErrorText(int error);

}  // namespace stelmar
