#include "service/PdfBuilds.h"

#include <exception>
#include <memory>

namespace stelmar {

PdfBuilds::PdfBuilds(ReportStore& store, int threads, Maker make)
    : store_(store), make_(std::move(make)), pool_(threads)
{
}

PdfBuilds::~PdfBuilds() { Stop(); }

void PdfBuilds::Fetch(const std::string& id, const std::string& client, Done done)
{
    PdfFetch now;
    {
        // The store is asked under the lock, so that a build finishing
        // meanwhile is either still found here or its PDF in the store.
        const std::lock_guard lock(mutex_);
        if (std::optional<StoredFile> pdf = store_.Get(id, ReportFile::Pdf)) {
            now = {PdfFetch::Outcome::Ready, std::move(*pdf)};
        } else if (const auto build = builds_.find(id); build != builds_.end()) {
            build->second.Waiting.push_back(std::move(done));
            return;
        } else if (const std::optional<StoredFile> source = store_.Get(id, ReportFile::PdfSource); !source) {
            now.Result = PdfFetch::Outcome::Missing;
        } else if (clients_.contains(client)) {
            now.Result = PdfFetch::Outcome::Busy;
        } else {
            Build& started = builds_[id];
            started.Client = client;
            started.Waiting.push_back(std::move(done));
            clients_.insert(client);
            if (pool_.Submit([this, id, bytes = source->Bytes] { Run(id, *bytes); })) return;
            // The service is stopping.
            done = std::move(started.Waiting.front());
            builds_.erase(id);
            clients_.erase(client);
            now.Result = PdfFetch::Outcome::Busy;
        }
    }
    done(std::move(now));
}

void PdfBuilds::Run(const std::string& id, const std::string& source)
{
    store_.BeginPdf(id);
    std::optional<std::string> made;
    try {
        made = make_(source);
    } catch (const std::exception&) {
    }
    PdfFetch result;
    std::vector<Done> waiting;
    {
        const std::lock_guard lock(mutex_);
        auto pdf = made ? std::make_shared<const std::string>(std::move(*made)) : nullptr;
        std::optional<StoredFile> stored = store_.EndPdf(id, pdf);
        if (pdf) result = {PdfFetch::Outcome::Ready, stored ? std::move(*stored) : StoredFile{std::move(pdf), {}}};
        const auto build = builds_.find(id);
        waiting = std::move(build->second.Waiting);
        clients_.erase(build->second.Client);
        builds_.erase(build);
    }
    for (Done& done : waiting) done(result);
}

void PdfBuilds::Stop()
{
    pool_.Stop();
    std::map<std::string, Build> dropped;
    {
        const std::lock_guard lock(mutex_);
        dropped.swap(builds_);
        clients_.clear();
    }
    // The waiting downloads are destroyed here, outside the lock: they may
    // own the last reference to a connection.
}

}  // namespace stelmar
