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
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench/GeneratedSchemes.h"
#include "calc/FlowCalculation.h"
#include "service/CalculationService.h"

using namespace stelmar;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

constexpr int kAreas = 200;
constexpr auto kDeadline = std::chrono::minutes(5);
constexpr int kSlowConnections = 300;
constexpr auto kTrickleEvery = std::chrono::seconds(2);
constexpr int kEndlessConnections = 4;
constexpr const char* kBoundary = "load-run-boundary";

int Argument(int argc, char** argv, int i, int fallback, int high)
{
    if (argc <= i) return fallback;
    const int value = std::atoi(argv[i]);
    return value >= 1 && value <= high ? value : fallback;
}

int Connect(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    timeval timeout{30, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool SendAll(int fd, std::string_view bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads one answer into `answer`; false when the connection ends first.
bool ReadAnswer(int fd, std::string& pending, std::string& answer)
{
    char buffer[65536];
    for (;;) {
        const std::size_t end = pending.find("\r\n\r\n");
        if (end != std::string::npos) {
            const std::size_t field = pending.find("Content-Length: ");
            if (field == std::string::npos || field > end) return false;
            const std::size_t total = end + 4 + std::strtoul(pending.c_str() + field + 16, nullptr, 10);
            if (pending.size() >= total) {
                answer.assign(pending, 0, total);
                pending.erase(0, total);
                return true;
            }
        }
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        pending.append(buffer, static_cast<std::size_t>(n));
    }
}

// The server's resident memory in MB, from /proc.
double ResidentMb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// CPU seconds the server process has used, from /proc.
double CpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    // After the command: state, then 10 fields before utime and stime.
    const char* p = text.c_str() + close + 2;
    for (int field = 0; field < 11 && p; ++field) p = std::strchr(p, ' ') + 1;
    char* end = nullptr;
    const double user = std::strtod(p, &end);
    const double system = std::strtod(end, nullptr);
    return (user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double OwnCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Server {
    pid_t Pid = -1;
    int Port = 0;
};

// Starts stelmar-service on a free port and reads the port from the line
// it prints.
Server StartServer(const std::vector<std::string>& options)
{
    int out[2];
    if (::pipe(out) != 0) return {};
    Server server;
    server.Pid = ::fork();
    if (server.Pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        std::vector<const char*> argv{"stelmar-service", "--listen", "127.0.0.1:0"};
        for (const std::string& o : options) argv.push_back(o.c_str());
        argv.push_back(nullptr);
        ::execv(STELMAR_SERVICE_BINARY, const_cast<char* const*>(argv.data()));
        std::_Exit(127);
    }
    ::close(out[1]);
    std::string line;
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(out[0]);
    const std::size_t colon = line.rfind(':');
    if (colon != std::string::npos) server.Port = std::atoi(line.c_str() + colon + 1);
    return server;
}

void StopServer(const Server& server)
{
    ::kill(server.Pid, SIGTERM);
    ::waitpid(server.Pid, nullptr, 0);
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

double Percentile(const std::vector<double>& sorted, double p)
{
    return sorted.empty() ? 0.0 : sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(p * sorted.size()))];
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

    TPipeLine scheme = bench::GeneratedTree(kAreas);
    std::string error;
    const std::string project = ProjectText(scheme, ',', &error).value();
    scheme.Precision = 2;
    const std::string resultLine = Calculate(scheme, kServiceSeparator);
    const std::string b = kBoundary;
    auto field = [&](const std::string& name, const std::string& extra, const std::string& value) {
        return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"" + extra + "\r\n\r\n" + value +
               "\r\n";
    };
    const std::string body = field("userfile", "; filename=\"load.stm\"", project) + field("raz_vr", "", "0") +
                             field("vr_sk", "", "0") + field("full_report", "", "1") + field("prec", "", "2") + "--" +
                             b + "--\r\n";
    const bool keepAlive = mode != "new-connection";
    const std::string request = std::string("POST /obe/StelmarCalc_3000.php HTTP/1.1\r\nHost: 127.0.0.1\r\n") +
                                (keepAlive ? "" : "Connection: close\r\n") +
                                "Content-Type: multipart/form-data; boundary=" + b +
                                "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;

    const std::vector<std::string> options(argv + std::min(argc, 3 + shift), argv + argc);
    const Server server = StartServer(options);
    if (server.Port <= 0) {
        std::fprintf(stderr, "stelmar-service did not start\n");
        return 1;
    }
    std::printf("project: %d areas, %zu bytes; full report, prec 2; mode %s\n", kAreas, project.size(), mode.c_str());

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
