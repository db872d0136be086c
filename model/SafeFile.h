#pragma once

// Writing files so that a failure never leaves a half-written file behind:
// the data goes to a temporary file in the same folder, which is renamed
// over the target only when everything was written.
//
// What a path names decides how it is written:
// - a symbolic link is written through: the file it ends in is replaced (or
//   created) and the link stays;
// - a regular file that may not be written (no write permission, or no
//   write bit at all, which stops even the superuser) is refused, never
//   replaced;
// - a character device or a pipe (/dev/null, a terminal, a FIFO another
//   program reads) is written in place and never renamed over; a pipe
//   that nobody reads is refused after two seconds, never waited for;
// - a folder, a block device or a socket is refused.
// Failures are returned as the reason in Russian (FileErrorText).

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace stelmar {

// The file a write failed on and the error number (errno, or
// kNotRegularFile of FileErrors.h).
struct FileSetFailure {
    std::string Path;
    int Error = 0;
};

// Writes every (path, contents) pair as one set: after a failure, or a kill
// at any moment followed by RemoveStaleTemporaries of these paths (which
// every opening and saving of a project does), either all the old files
// stand or all the new ones, never a mix. All temporaries are written and
// synced first; then, when more than one file is renamed, a journal naming
// the set is written and synced beside the last file ("<file>.journal-" +
// process id); then the temporaries are renamed over their targets in the
// order given (so put the file that refers to the others last) and the
// journal is removed. Devices and pipes are written at their turn in that
// order and are no part of the journal. Returns the reason on failure
// (temporaries removed); `failure`, when given, gets the file and the error
// number.
std::optional<std::string> WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files,
                                                FileSetFailure* failure = nullptr);

class DescriptorBuffer;

// Selects the AtomicFileWriter that writes to standard output.
struct StandardOutputTag {};
inline constexpr StandardOutputTag kStandardOutput;

// A file written as a stream and put in place by Commit.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    // Writes in place to standard output, which stays open.
    explicit AtomicFileWriter(StandardOutputTag);
    ~AtomicFileWriter();  // removes the temporary unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    std::ostream& Stream() { return stream_; }
    // Flushes, syncs and renames (or finishes writing in place); returns the
    // reason on failure.
    std::optional<std::string> Commit();

private:
    std::string path_;      // the file that is replaced
    std::string tempPath_;  // empty when written in place
    int fd_ = -1;
    bool ownsFd_ = true;
    int error_ = 0;  // errno when the file could not be opened
    std::unique_ptr<DescriptorBuffer> buffer_;
    std::ostream stream_{nullptr};
    bool committed_ = false;
};

// The file a chain of symbolic links starting at `path` ends in, existing
// or not; `path` itself when it is no link or the chain cannot be followed.
std::string FileBehindLinks(const std::string& path);

// Finishes and cleans up what writers of the files `paths` (or of the
// files their links end in) left when they were stopped, once their
// process no longer runs: a set whose journal is complete is rolled
// forward (its remaining temporaries renamed into place, so the whole new
// set stands), then the temporaries named exactly as this writer names
// them are removed, together with incomplete journals.
void RemoveStaleTemporaries(const std::vector<std::string>& paths);

}  // namespace stelmar
