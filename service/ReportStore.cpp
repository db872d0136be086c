#include "service/ReportStore.h"

#include <algorithm>
#include <random>

#include <sys/random.h>

namespace stelmar {

bool ReportStore::Put(const std::string& id, std::string report, Clock::time_point now)
{
    if (report.size() > limits_.MaxBytes || limits_.MaxCount == 0) return false;
    auto shared = std::make_shared<const std::string>(std::move(report));
    const std::lock_guard lock(mutex_);
    DropExpired(now);
    while (!entries_.empty() &&
           (entries_.size() >= limits_.MaxCount || bytes_ + shared->size() > limits_.MaxBytes))
        DropOldest();
    bytes_ += shared->size();
    entries_.push_back({id, std::move(shared), now + limits_.Lifetime});
    return true;
}

std::shared_ptr<const std::string> ReportStore::Get(const std::string& id, Clock::time_point now)
{
    const std::lock_guard lock(mutex_);
    DropExpired(now);
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.Id == id; });
    return it == entries_.end() ? nullptr : it->Report;
}

std::size_t ReportStore::Count() const
{
    const std::lock_guard lock(mutex_);
    return entries_.size();
}

std::size_t ReportStore::Bytes() const
{
    const std::lock_guard lock(mutex_);
    return bytes_;
}

void ReportStore::DropExpired(Clock::time_point now)
{
    // Entries are kept in the order they were stored and all live equally
    // long, so the expired ones are at the front.
    while (!entries_.empty() && entries_.front().Expires <= now) DropOldest();
}

void ReportStore::DropOldest()
{
    bytes_ -= entries_.front().Report->size();
    entries_.pop_front();
}

std::string NewReportId()
{
    static constexpr char kHex[] = "0123456789abcdef";
    // Straight from the kernel: a std::random_device opened for each
    // report cost as much as a twentieth of a small calculation.
    unsigned char bytes[16];
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        std::random_device source;
        for (unsigned char& b : bytes) b = static_cast<unsigned char>(source());
    }
    std::string id;
    id.reserve(2 * sizeof bytes);
    for (const unsigned char b : bytes) {
        id += kHex[b >> 4];
        id += kHex[b & 0xF];
    }
    return id;
}

}  // namespace stelmar
