#pragma once

// Reading files that must be regular files: a pipe, a device or a folder in
// place of a project, a picture or a settings file is refused at once
// instead of being read or waited for.

#include <cstdint>
#include <string>

namespace stelmar {

// A descriptor open for reading (close-on-exec, blocking) when `path` is a
// regular file, else -1 with `error` set: the errno of the failure, EISDIR
// for a folder, kNotRegularFile for anything else. Opening never waits: a
// pipe without a writer or a device is not opened for real.
int OpenRegularFile(const std::string& path, int& error);

// The whole regular file `path` in `out`; 0, or the error number (EFBIG when
// it is larger than `maxSize` bytes).
int ReadRegularFile(const std::string& path, std::int64_t maxSize, std::string& out);

}  // namespace stelmar
