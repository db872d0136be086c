// Load run of the calculation service: the server in-process on a free
// loopback port, concurrent clients posting a generated 200-area project,
// throughput and latency percentiles, and the count of failed requests.
//
//     service_load [REQUESTS [CLIENTS]]      (default 10000 requests, 8 clients)

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/GeneratedSchemes.h"
#include "calc/FlowCalculation.h"
#include "service/CalculationServer.h"

using namespace stelmar;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kAreas = 200;
constexpr auto kDeadline = std::chrono::minutes(5);

int Argument(int argc, char** argv, int i, int fallback, int high)
{
    if (argc <= i) return fallback;
    const int value = std::atoi(argv[i]);
    return value >= 1 && value <= high ? value : fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    const int requests = Argument(argc, argv, 1, 10000, 10'000'000);
    const int clients = Argument(argc, argv, 2, 8, 256);

    TPipeLine scheme = bench::GeneratedTree(kAreas);
    std::string error;
    const std::string project = ProjectText(scheme, ',', &error).value();
    scheme.Precision = 2;
    const std::string resultLine = Calculate(scheme, kServiceSeparator);

    CalculationServer server;
    if (const auto failure = server.Start("127.0.0.1", 0)) {
        std::fprintf(stderr, "%s\n", failure->c_str());
        return 1;
    }
    const int port = server.Port();
    const httplib::MultipartFormDataItems form = {{"userfile", project, "load.stm", "application/octet-stream"},
                                                  {"raz_vr", "0", "", ""},
                                                  {"vr_sk", "0", "", ""},
                                                  {"full_report", "1", "", ""},
                                                  {"prec", "2", "", ""}};

    std::atomic<int> next{0};
    std::atomic<int> failures{0};
    std::vector<std::vector<double>> latencies(clients);
    const auto started = Clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", port);
            client.set_read_timeout(30, 0);
            while (next.fetch_add(1) < requests && Clock::now() - started < kDeadline) {
                const auto sent = Clock::now();
                const auto answer = client.Post("/obe/StelmarCalc_3000.php", form);
                latencies[c].push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
                if (!answer || answer->status != 200 || answer->body.find(resultLine) == std::string::npos ||
                    answer->body.find("/report.rtf\"") == std::string::npos)
                    ++failures;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    server.Stop();

    std::vector<double> all;
    for (const auto& l : latencies) all.insert(all.end(), l.begin(), l.end());
    std::sort(all.begin(), all.end());
    const auto percentile = [&](double p) {
        return all.empty() ? 0.0 : all[std::min(all.size() - 1, static_cast<std::size_t>(p * all.size()))];
    };
    std::printf("project: %d areas, %zu bytes; full report, prec 2\n", kAreas, project.size());
    std::printf("requests: %zu of %d, clients: %d, server threads: %d\n", all.size(), requests, clients,
                ServerSettings{}.Threads);
    std::printf("time: %.2f s, throughput: %.1f requests/s\n", seconds, all.size() / seconds);
    std::printf("latency ms: p50 %.2f, p90 %.2f, p99 %.2f, max %.2f\n", percentile(0.50), percentile(0.90),
                percentile(0.99), all.empty() ? 0.0 : all.back());
    std::printf("failures: %d\n", failures.load());
    return failures == 0 && static_cast<int>(all.size()) == requests ? 0 : 1;
}
