// Whole processes on generated project files: stelmar-calc opening,
// checking and calculating a scheme (no report), against bare_walk doing
// the essential work on the same file (BareWalk.cpp). Each iteration runs
// both, one after the other, so that the ratio holds within the run; the
// time is the wall time of stelmar-calc from start to exit, peak memory is
// the children's maximum resident set. On a shared machine wall times
// stretch with other programs' load, so the ratio of the processor times
// (user and system) is given as well. How long each runs is left to
// --benchmark_min_time.

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "bench/GeneratedSchemes.h"

extern char** environ;

namespace {

using namespace stelmar;

struct Run {
    double Seconds = 0;
    double CpuSeconds = 0;  // user and system
    double PeakBytes = 0;
    bool Ok = false;
};

Run Spawn(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Run run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid) {
            run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            run.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                             static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
            run.PeakBytes = usage.ru_maxrss * 1024.0;
            run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// Arguments: scheme kind (0 tree, 1 building), areas, RazVr.
void BM_OpenCheckCalculate(benchmark::State& state)
{
    const auto kind = state.range(0) == 0 ? bench::Generated::Tree : bench::Generated::Building;
    const int areas = static_cast<int>(state.range(1));
    const std::string path = bench::GeneratedProjectFile(areas, kind);
    const std::string razVr = state.range(2) ? "on" : "off";
    double bare = 0, calc = 0, bareCpu = 0, calcCpu = 0, bareBytes = 0, calcBytes = 0;
    for (auto _ : state) {
        const Run reference = Spawn({STELMAR_BARE_WALK, path});
        const Run run = Spawn({STELMAR_CALC_BINARY, path, "--raz-vr", razVr, "--decimal-separator", ","});
        if (!reference.Ok || !run.Ok) {
            state.SkipWithError("a process failed");
            break;
        }
        state.SetIterationTime(run.Seconds);
        bare += reference.Seconds;
        calc += run.Seconds;
        bareCpu += reference.CpuSeconds;
        calcCpu += run.CpuSeconds;
        bareBytes = std::max(bareBytes, reference.PeakBytes);
        calcBytes = std::max(calcBytes, run.PeakBytes);
    }
    state.counters["bare_ms"] = benchmark::Counter(bare * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = calc / bare;
    state.counters["ratio_cpu"] = calcCpu / bareCpu;
    state.counters["calc_MB"] = calcBytes / 1e6;
    state.counters["bare_MB"] = bareBytes / 1e6;
    state.counters["calc_B_per_area"] = calcBytes / areas;
}

BENCHMARK(BM_OpenCheckCalculate)
    ->ArgNames({"building", "areas", "razvr"})
    ->Args({0, 100'000, 0})
    ->Args({1, 100'000, 0})
    ->Args({1, 100'000, 1})
    ->Args({0, 1'000'000, 0})
    ->Args({1, 1'000'000, 0})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
