#include "service/ReportStore.h"

#include <algorithm>
#include <random>

#include <sys/random.h>

namespace stelmar {

namespace {

// What a report costs besides its files: the entry, its id and owner, the
// index and the shared pointers' blocks.
constexpr std::size_t kEntryOverhead = 512;

// The memory a file takes: its buffer may be larger than its text.
std::size_t Footprint(const std::shared_ptr<const std::string>& file) { return file ? file->capacity() : 0; }

// A report is written piece by piece into a growing buffer, up to twice
// its size: kept at its size, the memory charged is the memory it takes.
std::shared_ptr<const std::string> Shared(std::string text)
{
    if (text.empty()) return nullptr;
    if (text.capacity() - text.size() > text.size() / 16) text.shrink_to_fit();
    return std::make_shared<const std::string>(std::move(text));
}

}  // namespace

bool ReportStore::Put(const std::string& id, const std::string& owner, ReportFiles files, Clock::time_point now)
{
    Entry entry{id, owner, Shared(std::move(files.Rtf)), Shared(std::move(files.PdfSource)), nullptr,
                files.PdfWork, 0, 0, now + limits_.Lifetime};
    const std::size_t bytes = Footprint(entry.Rtf) + Footprint(entry.PdfSource) + kEntryOverhead;
    if (bytes > limits_.MaxBytes) return false;
    const std::lock_guard lock(mutex_);
    DropExpired(now);
    if (byId_.contains(id)) return false;
    const Position stored = entries_.insert(entries_.end(), std::move(entry));
    byId_.emplace(id, stored);
    holders_[owner].Reports.push_back(stored);
    Charge(stored, bytes);
    MakeRoom(stored);
    return true;
}

void ReportStore::BeginPdf(const std::string& id, Clock::time_point now)
{
    const std::lock_guard lock(mutex_);
    DropExpired(now);
    const auto found = byId_.find(id);
    if (found == byId_.end() || found->second->Pdf || found->second->Making) return;
    const Position entry = found->second;
    entry->Making = std::min(entry->PdfWork, limits_.MaxBytes - entry->Bytes);
    Charge(entry, entry->Bytes + entry->Making);
    MakeRoom(entry);
}

std::optional<StoredFile> ReportStore::EndPdf(const std::string& id, std::shared_ptr<const std::string> pdf,
                                              Clock::time_point now)
{
    const std::lock_guard lock(mutex_);
    DropExpired(now);
    const auto found = byId_.find(id);
    if (found == byId_.end()) return std::nullopt;
    const Position entry = found->second;
    Charge(entry, entry->Bytes - entry->Making);
    entry->Making = 0;
    if (!pdf || entry->Pdf || entry->Bytes + Footprint(pdf) > limits_.MaxBytes) return std::nullopt;
    entry->Pdf = std::move(pdf);
    Charge(entry, entry->Bytes + Footprint(entry->Pdf));
    MakeRoom(entry);
    return FileOf(*entry, ReportFile::Pdf);
}

std::optional<StoredFile> ReportStore::Get(const std::string& id, ReportFile kind, Clock::time_point now)
{
    const std::lock_guard lock(mutex_);
    DropExpired(now);
    const auto found = byId_.find(id);
    if (found == byId_.end() || found->second->Expires <= now) return std::nullopt;
    return FileOf(*found->second, kind);
}

std::optional<StoredFile> ReportStore::FileOf(const Entry& entry, ReportFile kind)
{
    const std::shared_ptr<const std::string>& file = kind == ReportFile::Rtf         ? entry.Rtf
                                                     : kind == ReportFile::PdfSource ? entry.PdfSource
                                                                                     : entry.Pdf;
    const char* suffix = kind == ReportFile::Rtf ? "rtf" : kind == ReportFile::PdfSource ? "source" : "pdf";
    if (!file) return std::nullopt;
    return StoredFile{file, "\"" + entry.Id + "-" + suffix + "\""};
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

std::size_t ReportStore::BytesOf(const std::string& owner) const
{
    const std::lock_guard lock(mutex_);
    const auto found = holders_.find(owner);
    return found == holders_.end() ? 0 : found->second.Bytes;
}

// Sets what `entry` is charged, in its holder's total and in all.
void ReportStore::Charge(Position entry, std::size_t bytes)
{
    Holder& holder = holders_[entry->Owner];
    byBytes_.erase({holder.Bytes, entry->Owner});
    holder.Bytes = holder.Bytes - entry->Bytes + bytes;
    bytes_ = bytes_ - entry->Bytes + bytes;
    entry->Bytes = bytes;
    if (holder.Bytes > 0) byBytes_.emplace(holder.Bytes, entry->Owner);
}

// Drops reports until all fit, never `keep`: the oldest of the holder
// with the most bytes first.
void ReportStore::MakeRoom(Position keep)
{
    while (bytes_ > limits_.MaxBytes) {
        std::optional<Position> oldest;
        for (auto h = byBytes_.rbegin(); h != byBytes_.rend() && !oldest; ++h) {
            const std::deque<Position>& reports = holders_[h->second].Reports;
            const auto other = std::find_if(reports.begin(), reports.end(), [&](Position p) { return p != keep; });
            if (other != reports.end()) oldest = *other;
        }
        if (!oldest) return;
        Drop(*oldest);
    }
}

void ReportStore::DropExpired(Clock::time_point now)
{
    // All reports live equally long, so the expired ones are at the front.
    while (!entries_.empty() && entries_.front().Expires <= now) Drop(entries_.begin());
}

void ReportStore::Drop(Position entry)
{
    Charge(entry, 0);
    const auto holder = holders_.find(entry->Owner);
    std::deque<Position>& reports = holder->second.Reports;
    reports.erase(std::find(reports.begin(), reports.end(), entry));
    if (reports.empty()) holders_.erase(holder);
    byId_.erase(entry->Id);
    entries_.erase(entry);
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
