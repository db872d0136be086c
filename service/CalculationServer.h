#pragma once

// The calculation web service: the form's address, the report downloads
// and the start page, served in the background: two I/O threads read
// requests and write answers for all connections, a fixed number of
// calculation threads calculate, and a quarter as many (at least one) make
// the PDF reports. The desktop program runs it in-process on
// a loopback port; the stelmar-service program runs it on its own.

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "service/CalculationService.h"
#include "service/ReportStore.h"

namespace stelmar {

struct ServerSettings {
    std::size_t MaxUpload = std::size_t{32} << 20;  // bytes of a request body
    int Threads = 4;                                // calculation threads
    // The request line or one header field (answered 414 or 431 past it),
    // and all of them together (431).
    std::size_t MaxLineBytes = 8 << 10;
    std::size_t MaxHeaderBytes = 64 << 10;
    // From the start of waiting for a request to its last byte, however
    // slowly it trickles (answered 408 and closed); also the longest wait
    // for a client to take each part of an answer.
    std::chrono::milliseconds RequestTimeout{10'000};
    // Open connections; more are answered 503 at once and closed.
    int MaxConnections = 512;
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
    // Stops listening, closes idle connections and those still sending,
    // drops the calculations and PDF reports not yet started and waits for
    // those running and for the answers being written (a few seconds at
    // most, unless a PDF report is being made).
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace stelmar
