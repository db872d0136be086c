#pragma once

// The PDF reports of the service, each made once: the first download of a
// report's PDF starts its build, downloads asked for meanwhile wait for
// that one build, and later ones take the PDF from the report store. The
// builds run on threads of their own, never on the calculation threads,
// and each client address has at most one build running at a time, so
// that nobody can fill the machine with PDF layouts.

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "service/ReportStore.h"
#include "service/WorkPool.h"

namespace stelmar {

struct PdfFetch {
    enum class Outcome {
        Ready,    // File holds the PDF
        Missing,  // the report is unknown, has expired or offers no PDF
        Busy,     // the client already has another build running
    };
    Outcome Result = Outcome::Missing;
    // The PDF; its ETag is empty when the store could not keep it.
    StoredFile File;
};

class PdfBuilds {
public:
    // Makes the PDF from its stored source; nullopt when it cannot.
    using Maker = std::function<std::optional<std::string>(std::string_view source)>;
    using Done = std::function<void(PdfFetch)>;

    PdfBuilds(ReportStore& store, int threads, Maker make);
    ~PdfBuilds();
    PdfBuilds(const PdfBuilds&) = delete;
    PdfBuilds& operator=(const PdfBuilds&) = delete;

    // Calls `done` with the PDF of report `id` for `client`: at once when
    // the store holds it or it cannot be built now, otherwise when its one
    // build has finished (then on a build thread).
    void Fetch(const std::string& id, const std::string& client, Done done);
    // Drops the builds not yet started and the downloads waiting for them,
    // and waits for those running (their downloads are still answered).
    void Stop();

private:
    struct Build {
        std::string Client;
        std::vector<Done> Waiting;
    };

    void Run(const std::string& id, const std::string& source);

    ReportStore& store_;
    const Maker make_;
    mutable std::mutex mutex_;
    std::map<std::string, Build> builds_;  // by report id
    std::set<std::string> clients_;        // with a build running
    WorkPool pool_;
};

}  // namespace stelmar
