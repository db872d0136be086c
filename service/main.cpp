// stelmar-service: the calculation web service on its own. Runs until
// SIGINT or SIGTERM.

#include <algorithm>
#include <csignal>
#include <iostream>

#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>

#include <thread>

#include "service/CalculationServer.h"
#include "service/ServicePdf.h"
#include "service/ServiceCommandLine.h"

using namespace stelmar;

namespace {

// Each connection takes a descriptor: raise the soft limit towards the hard
// one when the connection limit needs more (the server still pauses
// accepting, rather than failing, when descriptors run out).
void AllowDescriptors(int connections)
{
    constexpr rlim_t kSpare = 64;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    const rlim_t wanted = static_cast<rlim_t>(connections) + kSpare;
    if (limit.rlim_cur >= wanted) return;
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
    setrlimit(RLIMIT_NOFILE, &limit);
}

// Reports stay in memory for minutes and are freed by other threads than
// made them; with a heap per thread the memory they leave behind adds up to
// a hundred megabytes beyond the report store. One heap for every two cores.
void ShareHeaps()
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    mallopt(M_ARENA_MAX, static_cast<int>(std::max(1u, cores / 2)));
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    const auto options = ParseServiceCommandLine(argc, argv, error);
    if (!options) {
        std::cerr << "stelmar-service: " << error << "\n\n" << kServiceUsage;
        return 64;
    }
    if (options->Help) {
        std::cout << kServiceUsage;
        return 0;
    }

    // The signals are taken by sigwait below; the server's threads inherit
    // the mask and never see them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    AllowDescriptors(options->Settings.MaxConnections);
    ShareHeaps();
    // The PDF reports need Qt's graphical part; its threads, like the
    // server's, inherit the mask.
    const PdfSupport pdf(argc, argv);

    CalculationServer server(options->Settings);
    if (const auto failure = server.Start(options->Host, options->Port)) {
        std::cerr << "stelmar-service: " << *failure << '\n';
        return 1;
    }
    const bool v6 = options->Host.find(':') != std::string::npos;
    std::cout << "Сервис расчета времени эвакуации принимает запросы по адресу http://"
              << (v6 ? "[" + options->Host + "]" : options->Host) << ':' << server.Port() << "/" << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    server.Stop();
    std::cout << "Сервис остановлен." << std::endl;
    return 0;
}
