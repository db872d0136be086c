// Download run of the calculation service: stelmar-service as a child
// process on a free loopback port, its reports downloaded while other
// clients load it.
//
//     service_downloads links [CALCULATIONS [SERVER OPTIONS...]]
//     service_downloads pdf [SERVER OPTIONS...]
//
// links: a client at 127.0.0.2 calculates a generated 200-area project
// (full report, precision 2) and keeps its links; 8 keep-alive clients at
// 127.0.0.1 then make CALCULATIONS (default 1000) calculations of it; then
// the first client downloads its RTF and PDF reports, and the busy clients
// their first and last ones.
// pdf: a generated 9,000-area project (full report): one client downloads
// its PDF twice (time and server CPU of each); then it is calculated again,
// and 10 clients download the new PDF at once and 5 times each, while 4
// keep-alive clients at other addresses post the 200-area project back to
// back until the downloads end.
// Both print the server's peak memory; further arguments go to
// stelmar-service. Exits non-zero on any failure.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

#include "bench/service/ServiceClient.h"

using namespace stelmar;
using namespace stelmar::bench;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

constexpr int kSmallAreas = 200;
constexpr int kLargeAreas = 9'000;
constexpr int kBusyClients = 8;
constexpr int kPdfClients = 10;
constexpr int kPdfDownloads = 5;
constexpr int kPosters = 4;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int StatusOf(const std::string& answer)
{
    return answer.rfind("HTTP/1.1 ", 0) == 0 && answer.size() > 12 ? std::atoi(answer.c_str() + 9) : 0;
}

std::string BodyOf(const std::string& answer)
{
    const std::size_t end = answer.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : answer.substr(end + 4);
}

// A keep-alive connection that sends a request and reads its answer.
class Client {
public:
    Client(int port, const char* from) : fd_(Connect(port, from)) {}
    ~Client()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // The whole answer, or empty when the connection fails.
    std::string Exchange(const std::string& request)
    {
        std::string answer;
        if (fd_ < 0 || !SendAll(fd_, request) || !ReadAnswer(fd_, pending_, answer)) return {};
        return answer;
    }

    std::string Get(const std::string& target)
    {
        return Exchange("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    }

private:
    int fd_;
    std::string pending_;
};

// The address of the RTF report the answer page links, or empty.
std::string RtfLink(const std::string& page)
{
    std::smatch link;
    if (!std::regex_search(page, link, std::regex("href=\"(report/[0-9a-f]{32}/report\\.rtf)\""))) return {};
    return "/obe/" + link[1].str();
}

std::string PdfOf(const std::string& rtfLink) { return rtfLink.substr(0, rtfLink.size() - 3) + "pdf"; }

// Samples the server's resident memory every 50 ms while it lives.
class MemoryPeak {
public:
    explicit MemoryPeak(pid_t pid)
        : thread_([this, pid] {
              while (!stop_) {
                  const double now = ResidentMb(pid);
                  double seen = peak_;
                  while (now > seen && !peak_.compare_exchange_weak(seen, now)) {
                  }
                  std::this_thread::sleep_for(milliseconds(50));
              }
          })
    {
    }
    ~MemoryPeak() { End(); }
    double End()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return peak_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<double> peak_{0};
    std::thread thread_;
};

int Links(const Server& server, int calculations)
{
    const GeneratedForm upload = MakeGeneratedForm(kSmallAreas);
    Client victim(server.Port, "127.0.0.2");
    const std::string victimLink = RtfLink(victim.Exchange(upload.Request));
    if (victimLink.empty()) {
        std::fprintf(stderr, "the victim's calculation failed\n");
        return 1;
    }

    std::atomic<int> next{0};
    std::atomic<int> failures{0};
    std::atomic<long long> reportBytes{0};
    std::mutex linksMutex;
    std::string firstBusy;
    std::string lastBusy;
    const auto started = Clock::now();
    std::vector<std::thread> busy;
    for (int c = 0; c < kBusyClients; ++c)
        busy.emplace_back([&] {
            Client client(server.Port, "127.0.0.1");
            for (int i = next++; i < calculations; i = next++) {
                const std::string answer = client.Exchange(upload.Request);
                const std::string link = RtfLink(answer);
                if (StatusOf(answer) != 200 || link.empty()) {
                    ++failures;
                    continue;
                }
                const std::lock_guard lock(linksMutex);
                if (i == 0) firstBusy = link;
                if (i == calculations - 1) lastBusy = link;
            }
        });
    for (std::thread& t : busy) t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    {
        Client measure(server.Port, "127.0.0.1");
        reportBytes = static_cast<long long>(BodyOf(measure.Get(lastBusy)).size());
    }

    const int rtf = StatusOf(victim.Get(victimLink));
    const std::string pdf = victim.Get(PdfOf(victimLink));
    Client busyClient(server.Port, "127.0.0.1");
    const int first = StatusOf(busyClient.Get(firstBusy));
    const int last = StatusOf(busyClient.Get(lastBusy));
    std::printf("project: %d areas, full report %lld bytes\n", kSmallAreas, reportBytes.load());
    std::printf("busy address: %d calculations in %.1f s, %.1f MB of reports, %d failed\n", calculations, seconds,
                calculations * reportBytes / 1048576.0, failures.load());
    std::printf("victim's links: report.rtf %d, report.pdf %d (%zu bytes)\n", rtf, StatusOf(pdf), BodyOf(pdf).size());
    std::printf("busy address's links: first %d, last %d\n", first, last);
    const bool pdfOk = StatusOf(pdf) == 200 && BodyOf(pdf).rfind("%PDF-", 0) == 0;
    return failures == 0 && rtf == 200 && pdfOk && last == 200 ? 0 : 1;
}

int Pdf(const Server& server)
{
    const GeneratedForm large = MakeGeneratedForm(kLargeAreas);
    const GeneratedForm small = MakeGeneratedForm(kSmallAreas);
    int failures = 0;

    // The first download makes the PDF, the second takes it from memory.
    Client one(server.Port, "127.0.0.1");
    const std::string link = RtfLink(one.Exchange(large.Request));
    if (link.empty()) {
        std::fprintf(stderr, "the %d-area calculation failed\n", kLargeAreas);
        return 1;
    }
    double cost[2][2];  // ms and server CPU ms of each download
    std::size_t bytes = 0;
    for (auto& c : cost) {
        const double cpu = CpuSeconds(server.Pid);
        const auto sent = Clock::now();
        const std::string answer = one.Get(PdfOf(link));
        c[0] = Ms(Clock::now() - sent);
        c[1] = (CpuSeconds(server.Pid) - cpu) * 1e3;
        failures += StatusOf(answer) != 200;
        bytes = BodyOf(answer).size();
    }
    std::printf("project: %d areas, %zu bytes; PDF %zu bytes\n", kLargeAreas, large.ProjectBytes, bytes);
    std::printf("first download %.0f ms (server CPU %.0f ms), second %.1f ms (server CPU %.1f ms): %.2f %% of the first\n",
                cost[0][0], cost[0][1], cost[1][0], cost[1][1], 100 * cost[1][0] / cost[0][0]);

    // Ten clients download a PDF not made yet, four post meanwhile.
    const std::string fresh = RtfLink(one.Exchange(large.Request));
    std::atomic<int> downloadsLeft{kPdfClients};
    std::atomic<int> failed{0};
    std::mutex mutex;
    std::vector<double> firsts;
    std::vector<double> laters;
    std::vector<double> posts;
    std::set<std::size_t> sizes;  // of the documents downloaded: one
    std::vector<std::thread> threads;
    for (int c = 0; c < kPdfClients; ++c)
        threads.emplace_back([&] {
            Client client(server.Port, "127.0.0.1");
            for (int i = 0; i < kPdfDownloads; ++i) {
                const auto sent = Clock::now();
                const std::string answer = client.Get(PdfOf(fresh));
                const double ms = Ms(Clock::now() - sent);
                const std::string body = BodyOf(answer);
                if (StatusOf(answer) != 200 || body.rfind("%PDF-", 0) != 0) ++failed;
                const std::lock_guard lock(mutex);
                sizes.insert(body.size());
                (i == 0 ? firsts : laters).push_back(ms);
            }
            --downloadsLeft;
        });
    std::atomic<int> postFailures{0};
    for (int c = 0; c < kPosters; ++c)
        threads.emplace_back([&, c] {
            const std::string from = "127.0.0." + std::to_string(10 + c);
            Client client(server.Port, from.c_str());
            while (downloadsLeft > 0) {
                const auto sent = Clock::now();
                const std::string answer = client.Exchange(small.Request);
                const double ms = Ms(Clock::now() - sent);
                if (StatusOf(answer) != 200 || answer.find(small.ResultLine) == std::string::npos) ++postFailures;
                const std::lock_guard lock(mutex);
                posts.push_back(ms);
            }
        });
    for (std::thread& t : threads) t.join();
    for (auto* v : {&firsts, &laters, &posts}) std::sort(v->begin(), v->end());
    std::printf("%d clients, first download (one build, waited for): %.0f .. %.0f ms; later %d: p50 %.1f, max %.1f ms; "
                "failed %d\n",
                kPdfClients, firsts.front(), firsts.back(), kPdfClients * (kPdfDownloads - 1), Percentile(laters, 0.5),
                laters.back(), failed.load());
    std::printf("%d keep-alive clients posting %d areas meanwhile: %zu requests, p50 %.1f, p90 %.1f, p99 %.1f, max %.1f ms; "
                "failed %d\n",
                kPosters, kSmallAreas, posts.size(), Percentile(posts, 0.5), Percentile(posts, 0.9),
                Percentile(posts, 0.99), posts.back(), postFailures.load());
    if (sizes.size() != 1) std::printf("the clients got %zu different documents\n", sizes.size());
    return failures == 0 && failed == 0 && sizes.size() == 1 && postFailures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "links" && mode != "pdf") {
        std::fprintf(stderr, "usage: service_downloads links [CALCULATIONS [OPTIONS...]] | pdf [OPTIONS...]\n");
        return 64;
    }
    int first = 2;
    int calculations = 1000;
    if (mode == "links" && argc > 2 && argv[2][0] != '-') {
        calculations = std::max(1, std::atoi(argv[2]));
        first = 3;
    }
    const Server server = StartServer(std::vector<std::string>(argv + std::min(argc, first), argv + argc));
    if (server.Port <= 0) {
        std::fprintf(stderr, "stelmar-service did not start\n");
        return 1;
    }
    MemoryPeak memory(server.Pid);
    const int result = mode == "links" ? Links(server, calculations) : Pdf(server);
    std::printf("server memory MB: peak %.1f, at the end %.1f\n", memory.End(), ResidentMb(server.Pid));
    StopServer(server);
    return result;
}
