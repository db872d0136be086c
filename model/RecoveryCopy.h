#pragma once

// Recovery copies of unsaved work, so that a crash, a killed program or a
// power cut loses at most the last seconds of editing.
//
// Every running program owns one slot: a private folder under the recovery
// folder holding a lock file, locked while the program runs, and, while
// its project has unsaved changes, the copy: the project written as
// "project.stm" with its floor pictures and plan files, and "copy.info" naming the
// project's own file and the time of the copy. A slot whose lock nobody
// holds belongs to a program that is gone; its copy is offered at the next
// start. A second running program never takes over a live slot.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// A copy left by a program that is gone.
struct OrphanedCopy {
    std::string Slot;          // the slot folder, with a trailing separator
    std::string ProjectFile;   // the copy's project file inside it
    std::string OriginalFile;  // the file the project had ("Новый" when never saved)
    std::int64_t Time = 0;     // when the copy was written, seconds since 1970 (UTC)
};

class RecoverySlot {
public:
    // Makes and locks a new slot under `recoveryFolder` (created when
    // missing, private to the user); nullopt when that is impossible, and
    // the program then runs without recovery copies.
    static std::optional<RecoverySlot> Claim(const std::string& recoveryFolder);

    RecoverySlot(RecoverySlot&& other) noexcept;
    RecoverySlot& operator=(RecoverySlot&& other) noexcept;
    RecoverySlot(const RecoverySlot&) = delete;
    RecoverySlot& operator=(const RecoverySlot&) = delete;
    // Removes the copy and the slot (a clean end of the program).
    ~RecoverySlot();

    // Writes the copy of `s` through temporary files renamed into place, so
    // that the previous copy stays whole until the new one is complete;
    // `time` is the moment the scheme was taken. Returns the message for
    // the user on failure.
    std::optional<std::string> Write(const TPipeLine& s, std::int64_t time, char separator);
    // Removes the copy; the slot stays locked.
    void RemoveCopy();
    bool HasCopy() const;

    const std::string& Folder() const { return folder_; }

private:
    RecoverySlot(std::string folder, int lockFd);
    void Release();

    std::string folder_;  // with a trailing separator
    int lockFd_ = -1;
    // The pictures the copy holds now, by floor.
    std::array<std::weak_ptr<const Bitmap>, kMaxFloors + 1> written_;
    // The plan files the copy holds now, by floor.
    std::array<std::weak_ptr<const TPlanSource>, kMaxFloors + 1> writtenPlans_;
};

// The copies in `recoveryFolder` whose program is gone, newest first. Each
// returned slot is locked by this process until Release or Discard, so that
// another program starting at the same time does not offer it too.
class OrphanedCopies {
public:
    explicit OrphanedCopies(const std::string& recoveryFolder);
    ~OrphanedCopies();
    OrphanedCopies(const OrphanedCopies&) = delete;
    OrphanedCopies& operator=(const OrphanedCopies&) = delete;

    const std::vector<OrphanedCopy>& List() const { return copies_; }
    // Deletes copy i with its slot.
    void Discard(std::size_t i);
    // Deletes the copies of `originalFile` (it was just saved).
    void DiscardCopiesOf(const std::string& originalFile);

private:
    std::vector<OrphanedCopy> copies_;
    std::vector<int> locks_;  // parallel to copies_; -1 once discarded
};

}  // namespace stelmar
