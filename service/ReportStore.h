#pragma once

// Reports waiting to be downloaded, held in memory under random ids for a
// limited time. The count and the total size are bounded: storing a report
// drops the oldest ones when there is no room. Safe to use from several
// threads.

#include <chrono>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

namespace stelmar {

struct ReportStoreLimits {
    std::size_t MaxCount = 64;
    std::size_t MaxBytes = std::size_t{512} << 20;
    std::chrono::seconds Lifetime{600};
};

class ReportStore {
public:
    using Clock = std::chrono::steady_clock;

    explicit ReportStore(ReportStoreLimits limits = {}) : limits_(limits) {}

    // Keeps `report` under `id`. False when the report alone is larger than
    // the store may hold.
    bool Put(const std::string& id, std::string report, Clock::time_point now = Clock::now());
    // The report, or null when the id is unknown or the report has expired.
    std::shared_ptr<const std::string> Get(const std::string& id, Clock::time_point now = Clock::now());

    std::size_t Count() const;
    std::size_t Bytes() const;

private:
    struct Entry {
        std::string Id;
        std::shared_ptr<const std::string> Report;
        Clock::time_point Expires;
    };

    void DropExpired(Clock::time_point now);
    void DropOldest();

    const ReportStoreLimits limits_;
    mutable std::mutex mutex_;
    std::deque<Entry> entries_;  // oldest first
    std::size_t bytes_ = 0;
};

// 32 hexadecimal digits from the system's random source.
std::string NewReportId();

}  // namespace stelmar
