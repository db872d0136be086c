// The RTF report writer against the disk: each iteration writes the report
// of a calculated scheme through the program's own durable writer, timing
// the writing of the text (composed and handed to the file) apart from the
// commit (the last buffer, fsync and the rename), then writes the same
// bytes with fwrite in 64 KB chunks to a file beside it, without fsync, five
// times. Counters: the report's size, its writing rate, the median fwrite
// rate, their ratio, and the commit's time. The machine may be shared, so
// the ratio is also given by the processor time of the writing thread
// (user and system), which other programs' load does not stretch.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <vector>

#include "bench/GeneratedSchemes.h"
#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "model/SafeFile.h"

namespace {

using namespace stelmar;

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Processor time of this thread, in seconds.
double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Times {
    double Wall = 0;
    double Cpu = 0;
};

constexpr const char* kReport = "/tmp/stelmar-bench-write.rtf";
constexpr const char* kCopy = "/tmp/stelmar-bench-fwrite.rtf";

std::string ReadWhole(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes `bytes` with fwrite in 64 KB chunks and closes the file.
Times Fwrite(const std::string& bytes)
{
    constexpr std::size_t kChunk = 1 << 16;
    const auto start = Clock::now();
    const double cpu = ThreadSeconds();
    std::FILE* f = std::fopen(kCopy, "wb");
    if (!f) return {};
    for (std::size_t at = 0; at < bytes.size(); at += kChunk)
        std::fwrite(bytes.data() + at, 1, std::min(kChunk, bytes.size() - at), f);
    std::fclose(f);
    return {Since(start), ThreadSeconds() - cpu};
}

// The median of five runs, wall and processor time each.
Times MedianFwrite(const std::string& bytes)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < 5; ++i) {
        const Times t = Fwrite(bytes);
        wall.push_back(t.Wall);
        cpu.push_back(t.Cpu);
    }
    std::nth_element(wall.begin(), wall.begin() + 2, wall.end());
    std::nth_element(cpu.begin(), cpu.begin() + 2, cpu.end());
    return {wall[2], cpu[2]};
}

// Arguments: areas, 1 for the full report (else the summary one).
void BM_RtfWrite(benchmark::State& state)
{
    ProjectReadResult read = ReadProjectFile(bench::GeneratedProjectFile(static_cast<int>(state.range(0))), false);
    if (!read.Scheme) std::abort();
    TPipeLine& s = *read.Scheme;
    s.FullReport = state.range(1) != 0;
    Calculate(s, ',');
    Times written, copied;
    double committed = 0, bytes = 0;
    for (auto _ : state) {
        std::remove(kReport);
        std::remove(kCopy);
        auto start = Clock::now();
        const double cpu = ThreadSeconds();
        AtomicFileWriter file(kReport);
        BuildReport(s, ',', file.Stream());
        const double writing = Since(start);
        written.Cpu += ThreadSeconds() - cpu;
        start = Clock::now();
        if (file.Commit()) state.SkipWithError("report not written");
        const double commit = Since(start);
        state.SetIterationTime(writing);

        state.PauseTiming();
        const std::string text = ReadWhole(kReport);
        const Times reference = MedianFwrite(text);
        state.ResumeTiming();

        written.Wall += writing;
        committed += commit;
        copied.Wall += reference.Wall;
        copied.Cpu += reference.Cpu;
        bytes = static_cast<double>(text.size());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["MB"] = bytes / 1e6;
    state.counters["report_MBps"] = bytes * n / written.Wall / 1e6;
    state.counters["fwrite_MBps"] = bytes * n / copied.Wall / 1e6;
    state.counters["share"] = copied.Wall / written.Wall;
    state.counters["share_cpu"] = copied.Cpu / written.Cpu;
    state.counters["commit_ms"] = committed / n * 1e3;
    std::remove(kReport);
    std::remove(kCopy);
}

BENCHMARK(BM_RtfWrite)
    ->ArgNames({"areas", "full"})
    ->Args({10'000, 0})
    ->Args({10'000, 1})
    ->Args({100'000, 0})
    ->Args({100'000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
