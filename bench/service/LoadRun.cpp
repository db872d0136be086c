// Load run of the calculation service: stelmar-service as a child process
// on a free loopback port, concurrent clients posting a generated 200-area
// project (full report, precision 2), throughput, latency percentiles, the
// count of failed requests and the memory of the server process.
//
//     service_load [keep-alive|new-connection|attack] [REQUESTS [CLIENTS [SERVER OPTIONS...]]]
//
// keep-alive (default): each client sends its requests on one connection;
// new-connection: a connection per request; attack: keep-alive clients
// while 300 connections trickle a request one byte every 2 s and 4 send
// endless header lines, both reconnecting whenever the server closes them.
// Defaults: 10000 requests, 64 clients; further arguments go to
// stelmar-service. Exits non-zero on any failure.

#include <fcntl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "bench/service/ServiceClient.h"

using namespace stelmar;
using namespace stelmar::bench;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

constexpr int kAreas = 200;
constexpr auto kDeadline = std::chrono::minutes(5);
constexpr int kSlowConnections = 300;
constexpr auto kTrickleEvery = std::chrono::seconds(2);
constexpr int kEndlessConnections = 4;

int Argument(int argc, char** argv, int i, int fallback, int high)
{
    if (argc <= i) return fallback;
    const int value = std::atoi(argv[i]);
    return value >= 1 && value <= high ? value : fallback;
}

struct Run {
    std::vector<double> Latencies;  // ms, sorted
    int Failures = 0;
    double Seconds = 0;
};

// `requests` requests spread over `clients` threads.
Run Load(int port, const std::string& request, const std::string& resultLine, int requests, int clients,
         bool keepAlive)
{
    std::atomic<int> next{0};
    std::atomic<int> failures{0};
    std::vector<std::vector<double>> latencies(static_cast<std::size_t>(clients));
    const auto started = Clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&, c] {
            int fd = -1;
            std::string pending;
            std::string answer;
            while (next.fetch_add(1) < requests && Clock::now() - started < kDeadline) {
                const auto sent = Clock::now();
                if (fd < 0) {
                    fd = Connect(port);
                    pending.clear();
                }
                const bool ok = fd >= 0 && SendAll(fd, request) && ReadAnswer(fd, pending, answer) &&
                                answer.rfind("HTTP/1.1 200 ", 0) == 0 && answer.find(resultLine) != std::string::npos &&
                                answer.find("/report.rtf\"") != std::string::npos;
                latencies[c].push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
                if (!ok) ++failures;
                if (!ok || !keepAlive) {
                    if (fd >= 0) ::close(fd);
                    fd = -1;
                }
            }
            if (fd >= 0) ::close(fd);
        });
    for (std::thread& t : threads) t.join();
    Run run;
    run.Seconds = std::chrono::duration<double>(Clock::now() - started).count();
    for (const auto& l : latencies) run.Latencies.insert(run.Latencies.end(), l.begin(), l.end());
    std::sort(run.Latencies.begin(), run.Latencies.end());
    run.Failures = failures;
    return run;
}

// The hostile connections of the attack mode, until `stop`.
class Attack {
public:
    Attack(int port) : port_(port) {}

    void Begin()
    {
        threads_.emplace_back([this] { Trickle(); });
        for (int i = 0; i < kEndlessConnections; ++i) threads_.emplace_back([this] { Endless(); });
    }

    void End()
    {
        stop_ = true;
        for (std::thread& t : threads_) t.join();
    }

    int Reconnects() const { return reconnects_; }

private:
    // 300 connections, one byte of a request each every 2 s; a connection
    // the server closes is opened again.
    void Trickle()
    {
        const std::string request = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: " + std::string(200, 's') + "\r\n\r\n";
        std::vector<int> fds(kSlowConnections, -1);
        std::vector<std::size_t> sent(kSlowConnections, 0);
        while (!stop_) {
            const auto round = Clock::now();
            for (int i = 0; i < kSlowConnections; ++i) {
                if (fds[i] < 0) {
                    fds[i] = Connect(port_);
                    if (fds[i] >= 0) ::fcntl(fds[i], F_SETFL, O_NONBLOCK);
                    sent[i] = 0;
                    ++reconnects_;
                }
                if (fds[i] < 0) continue;
                char discard[4096];
                const bool closed = ::recv(fds[i], discard, sizeof discard, 0) == 0 ||
                                    ::send(fds[i], request.data() + sent[i] % request.size(), 1, MSG_NOSIGNAL) < 0;
                if (closed) {
                    ::close(fds[i]);
                    fds[i] = -1;
                }
                ++sent[i];
            }
            while (!stop_ && Clock::now() - round < kTrickleEvery) std::this_thread::sleep_for(milliseconds(50));
        }
        for (const int fd : fds)
            if (fd >= 0) ::close(fd);
    }

    // A header line that never ends, sent as fast as the server takes it.
    void Endless()
    {
        const std::string filler(16384, 'a');
        while (!stop_) {
            const int fd = Connect(port_);
            if (fd < 0) continue;
            ++reconnects_;
            bool ok = SendAll(fd, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Endless: ");
            while (ok && !stop_) ok = SendAll(fd, filler);
            ::close(fd);
        }
    }

    const int port_;
    std::atomic<bool> stop_{false};
    std::atomic<int> reconnects_{0};
    std::vector<std::thread> threads_;
};

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 && argv[1][0] >= 'a' ? argv[1] : "keep-alive";
    const int shift = argc > 1 && argv[1][0] >= 'a' ? 1 : 0;
    const int requests = Argument(argc, argv, 1 + shift, 10000, 10'000'000);
    const int clients = Argument(argc, argv, 2 + shift, 64, 1000);
    if (mode != "keep-alive" && mode != "new-connection" && mode != "attack") {
        std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 64;
    }

    const bool keepAlive = mode != "new-connection";
    const GeneratedForm upload = MakeGeneratedForm(kAreas, keepAlive);
    const std::string& request = upload.Request;
    const std::string& resultLine = upload.ResultLine;

    const std::vector<std::string> options(argv + std::min(argc, 3 + shift), argv + argc);
    const Server server = StartServer(options);
    if (server.Port <= 0) {
        std::fprintf(stderr, "stelmar-service did not start\n");
        return 1;
    }
    std::printf("project: %d areas, %zu bytes; full report, prec 2; mode %s\n", kAreas, upload.ProjectBytes,
                mode.c_str());

    double before = 0;
    double peak = 0;
    double after = 0;
    Run run;
    if (mode == "attack") {
        // Fill the report store first, so that only the attack changes the
        // memory between the measurements.
        Load(server.Port, request, resultLine, 200, 8, true);
        before = ResidentMb(server.Pid);
        Attack attack(server.Port);
        attack.Begin();
        std::atomic<bool> measuring{true};
        std::thread sampler([&] {
            while (measuring) {
                peak = std::max(peak, ResidentMb(server.Pid));
                std::this_thread::sleep_for(milliseconds(100));
            }
        });
        // The slow connections are all open before the run begins.
        std::this_thread::sleep_for(std::chrono::seconds(3));
        run = Load(server.Port, request, resultLine, requests, clients, true);
        attack.End();
        measuring = false;
        sampler.join();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        after = ResidentMb(server.Pid);
        std::printf("attack: %d slow and %d endless connections, %d connections opened in all\n", kSlowConnections,
                    kEndlessConnections, attack.Reconnects());
    } else {
        const double serverCpu = CpuSeconds(server.Pid);
        const double clientCpu = OwnCpuSeconds();
        run = Load(server.Port, request, resultLine, requests, clients, keepAlive);
        peak = ResidentMb(server.Pid);
        const double n = std::max<std::size_t>(1, run.Latencies.size());
        std::printf("cpu per request: server %.2f ms, clients %.2f ms\n", (CpuSeconds(server.Pid) - serverCpu) * 1e3 / n,
                    (OwnCpuSeconds() - clientCpu) * 1e3 / n);
    }
    StopServer(server);

    const std::vector<double>& all = run.Latencies;
    std::printf("requests: %zu of %d, clients: %d\n", all.size(), requests, clients);
    std::printf("time: %.2f s, throughput: %.1f requests/s\n", run.Seconds, all.size() / run.Seconds);
    std::printf("latency ms: p50 %.2f, p90 %.2f, p99 %.2f, max %.2f\n", Percentile(all, 0.50), Percentile(all, 0.90),
                Percentile(all, 0.99), all.empty() ? 0.0 : all.back());
    if (mode == "attack")
        std::printf("server memory MB: before %.1f, peak %.1f, after %.1f\n", before, peak, after);
    else
        std::printf("server memory MB: %.1f\n", peak);
    std::printf("failures: %d\n", run.Failures);
    return run.Failures == 0 && static_cast<int>(all.size()) == requests ? 0 : 1;
}
