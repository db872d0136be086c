#pragma once

// Writes the recovery copy on a thread of its own, so that editing never
// waits for the disk. The editor hands over what the project file would
// hold; a copy handed over while an older one still waits replaces it.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "model/RecoveryCopy.h"

namespace stelmar {

// What a project file holds of `s`, and nothing else (no calculation
// results, flow states, clipboard or editor state), cheap to take on the
// thread that edits the scheme.
std::shared_ptr<const TPipeLine> ProjectPartOf(const TPipeLine& s);

class RecoveryWriter {
public:
    RecoveryWriter(RecoverySlot slot, char separator);
    // Waits for the write in progress, drops a waiting copy, and removes
    // the slot with its copy: the end of a program that closed cleanly.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Writes `project` (taken at `time`, seconds since 1970) as the copy.
    void Submit(std::shared_ptr<const TPipeLine> project, std::int64_t time);
    // Drops a waiting copy and removes the written one; returns once done,
    // so that no write of an older copy can follow.
    void Remove();
    // Returns once every copy handed over is written.
    void Flush();
    // The message of the last write that failed, until one succeeds.
    std::optional<std::string> LastFailure() const;

    const std::string& Folder() const { return slot_.Folder(); }

private:
    void Run();

    RecoverySlot slot_;
    const char separator_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::shared_ptr<const TPipeLine> waiting_;
    std::int64_t waitingTime_ = 0;
    bool removeWaiting_ = false;
    bool busy_ = false;
    bool stop_ = false;
    std::optional<std::string> failure_;
    std::thread thread_;
};

}  // namespace stelmar
