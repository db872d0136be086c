#pragma once

// Writing files so that a failure never leaves a half-written file behind:
// the data goes to a temporary file in the same folder, which is renamed
// over the target only when everything was written.

#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stelmar {

// Writes every (path, contents) pair. All temporaries are written and
// synced first; only when all succeeded are they renamed over their targets,
// in the order given (so put the file that refers to the others last).
// Returns the system's error text on failure (temporaries removed).
std::optional<std::string> WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files);

// A file written as a stream and put in place by Commit.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();  // removes the temporary unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    std::ostream& Stream() { return stream_; }
    // Flushes, closes and renames; returns the system's error text on failure.
    std::optional<std::string> Commit();

private:
    std::string path_;
    std::string tempPath_;
    std::ofstream stream_;
    int createError_ = 0;  // errno when the temporary could not be created
    bool committed_ = false;
};

}  // namespace stelmar
