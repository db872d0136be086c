#pragma once

// The calculation web service: the form's address, the report downloads
// and the start page, served by a pool of worker threads in the
// background. The desktop program runs it in-process on a loopback port;
// the stelmar-service program runs it on its own.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "service/CalculationService.h"
#include "service/ReportStore.h"

namespace stelmar {

struct ServerSettings {
    std::size_t MaxUpload = std::size_t{32} << 20;  // bytes of a request body
    int Threads = 4;
    ServiceLimits Limits;
    ReportStoreLimits Store;
};

class CalculationServer {
public:
    explicit CalculationServer(ServerSettings settings = {});
    ~CalculationServer();
    CalculationServer(const CalculationServer&) = delete;
    CalculationServer& operator=(const CalculationServer&) = delete;

    // Listens on host:port (port 0: a free port chosen by the system) and
    // serves until Stop. Returns the reason in Russian when the address
    // cannot be used or the server is already running.
    std::optional<std::string> Start(const std::string& host, int port);
    // The port listened on; 0 when not running.
    int Port() const;
    // Stops listening and waits for the requests in progress. Idle
    // keep-alive connections are closed within about a second.
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace stelmar
