#pragma once

// Reports waiting to be downloaded, held in memory under random ids for a
// fixed time: each calculation's RTF report, what its PDF report is made
// from, and that PDF once it has been made. The memory they take together
// is bounded; only when it runs out are reports dropped before their time,
// taken from the client address that holds the most bytes, its oldest
// first, so that a busy client drops its own reports before anyone else's.
// Safe to use from several threads.

#include <chrono>
#include <cstddef>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

namespace stelmar {

// How long a report stays available for download.
inline constexpr std::chrono::seconds kReportLifetime{600};

struct ReportStoreLimits {
    std::size_t MaxBytes = std::size_t{512} << 20;
    std::chrono::seconds Lifetime = kReportLifetime;
};

enum class ReportFile { Rtf, PdfSource, Pdf };

// What a calculation leaves for download.
struct ReportFiles {
    std::string Rtf;
    // What the PDF report is made from; empty when none is offered.
    std::string PdfSource{};
    // The memory making the PDF report takes, charged while it is made.
    std::size_t PdfWork = 0;
};

// A file of a stored report, shared with the store: it stays whole while
// it is being sent, even if the store drops it meanwhile.
struct StoredFile {
    std::shared_ptr<const std::string> Bytes;
    // The entity tag of the file, quoted: the file under one id never
    // changes.
    std::string ETag;
};

class ReportStore {
public:
    using Clock = std::chrono::steady_clock;

    explicit ReportStore(ReportStoreLimits limits = {}) : limits_(limits) {}

    // Keeps the files of a calculation under `id` for the store's lifetime
    // from `now`; `owner` is the client address that asked for it. False
    // when they alone are larger than the store may hold.
    bool Put(const std::string& id, const std::string& owner, ReportFiles files, Clock::time_point now = Clock::now());
    // Charges report `id` with the memory its PDF report takes while it is
    // made (as much of it as the store may hold), making room as for a new
    // report.
    void BeginPdf(const std::string& id, Clock::time_point now = Clock::now());
    // Ends that charge and adds the PDF made for report `id` (null when it
    // could not be made), charged to the report's owner. Nullopt when the
    // report is gone, has its PDF already or does not fit with it.
    std::optional<StoredFile> EndPdf(const std::string& id, std::shared_ptr<const std::string> pdf,
                                     Clock::time_point now = Clock::now());
    // The file, or nullopt when the id is unknown, the report has expired
    // or it has no such file.
    std::optional<StoredFile> Get(const std::string& id, ReportFile kind, Clock::time_point now = Clock::now());

    std::chrono::seconds Lifetime() const { return limits_.Lifetime; }
    std::size_t Count() const;
    // Memory taken by the reports, as charged against the limit.
    std::size_t Bytes() const;
    std::size_t BytesOf(const std::string& owner) const;

private:
    struct Entry {
        std::string Id;
        std::string Owner;
        std::shared_ptr<const std::string> Rtf;
        std::shared_ptr<const std::string> PdfSource;
        std::shared_ptr<const std::string> Pdf;
        std::size_t PdfWork = 0;
        std::size_t Making = 0;  // charged for the PDF being made
        std::size_t Bytes = 0;
        Clock::time_point Expires;
    };
    using Position = std::list<Entry>::iterator;
    struct Holder {
        std::size_t Bytes = 0;
        std::deque<Position> Reports;  // oldest first
    };

    static std::optional<StoredFile> FileOf(const Entry& entry, ReportFile kind);
    void Charge(Position entry, std::size_t bytes);
    void MakeRoom(Position keep);
    void DropExpired(Clock::time_point now);
    void Drop(Position entry);

    const ReportStoreLimits limits_;
    mutable std::mutex mutex_;
    std::list<Entry> entries_;  // in the order stored, so also of expiry
    std::unordered_map<std::string, Position> byId_;
    std::unordered_map<std::string, Holder> holders_;
    std::set<std::pair<std::size_t, std::string>> byBytes_;  // the holders, fewest bytes first
    std::size_t bytes_ = 0;
};

// 32 hexadecimal digits from the system's random source.
std::string NewReportId();

}  // namespace stelmar
