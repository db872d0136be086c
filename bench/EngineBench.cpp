// Phases of a calculation run on generated tree schemes: open, validate,
// calculate, summary report (with its size), and all four together.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <malloc.h>

#include "bench/GeneratedSchemes.h"
#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/Validation.h"

namespace {

using namespace stelmar;

TPipeLine Open(int areas, bench::Generated kind = bench::Generated::Tree)
{
    ProjectReadResult read = ReadProjectFile(bench::GeneratedProjectFile(areas, kind), false);
    if (!read.Scheme) std::abort();
    return std::move(*read.Scheme);
}

void BM_Open(benchmark::State& state)
{
    const std::string path = bench::GeneratedProjectFile(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(ReadProjectFile(path, false));
}

void BM_Validate(benchmark::State& state)
{
    const TPipeLine s = Open(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(ValidateScheme(s));
}

// Arguments: areas, RazVr, and 1 for the building with mobility groups
// (else the tree). Counters per calculation step (one TReport): the time
// and the memory the results hold.
void BM_Calculate(benchmark::State& state)
{
    TPipeLine s = Open(static_cast<int>(state.range(0)),
                       state.range(2) != 0 ? bench::Generated::Building : bench::Generated::Tree);
    s.RazVr = state.range(1) != 0;
    // Small blocks and the large ones the allocator maps on their own.
    const auto inUse = [] { return static_cast<double>(mallinfo2().uordblks + mallinfo2().hblkhd); };
    const double before = inUse();
    Calculate(s, ',');
    const double held = inUse() - before;
    const double steps = ReportCount(s);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(Calculate(s, ','));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["steps"] = steps;
    state.counters["ns_per_step"] = seconds * 1e9 / static_cast<double>(state.iterations()) / steps;
    state.counters["bytes_per_step"] = held / steps;
}

constexpr const char* kReportPath = "/tmp/stelmar-bench-report.rtf";

// The size of the report last written, in MB.
void SetReportSize(benchmark::State& state)
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(kReportPath, error);
    state.counters["report_MB"] = error ? -1.0 : static_cast<double>(bytes) / 1e6;
}

void BM_SummaryReport(benchmark::State& state)
{
    TPipeLine s = Open(static_cast<int>(state.range(0)));
    s.FullReport = false;
    Calculate(s, ',');
    for (auto _ : state)
        if (WriteReport(s, kReportPath, ',')) state.SkipWithError("report not written");
    SetReportSize(state);
}

void BM_Total(benchmark::State& state)
{
    const std::string path = bench::GeneratedProjectFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ProjectReadResult read = ReadProjectFile(path, false);
        TPipeLine& s = *read.Scheme;
        s.RazVr = state.range(1) != 0;
        s.FullReport = false;
        if (!ValidateScheme(s).empty()) state.SkipWithError("scheme did not pass");
        Calculate(s, ',');
        if (WriteReport(s, kReportPath, ',')) state.SkipWithError("report not written");
    }
    SetReportSize(state);
}

// How long each runs is left to --benchmark_min_time.
void Sizes(benchmark::internal::Benchmark* b)
{
    for (int n : {1'000, 10'000, 100'000, 1'000'000}) b->Args({n, 0});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Open)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Validate)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
// Every size on the tree, then RazVr off and on, per step, on both kinds of
// schemes.
BENCHMARK(BM_Calculate)
    ->ArgNames({"areas", "razvr", "building"})
    ->Args({1'000, 0, 0})
    ->Args({10'000, 0, 0})
    ->Args({100'000, 0, 0})
    ->Args({1'000'000, 0, 0})
    ->Args({10'000, 1, 0})
    ->Args({100'000, 1, 0})
    ->Args({100'000, 0, 1})
    ->Args({100'000, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummaryReport)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Total)->Apply(Sizes)->Args({10'000, 1});

}  // namespace
