// The PDF report of generated tree schemes (bench/GeneratedSchemes.h),
// full and summary, written to a file under /tmp: both layout passes, the
// drawing with its results and the writing of the document.

#include <benchmark/benchmark.h>

#include "bench/GeneratedSchemes.h"
#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/Validation.h"
#include "pdf/HeadlessGui.h"
#include "pdf/PdfReport.h"

namespace {

using namespace stelmar;

void BM_PdfReport(benchmark::State& state)
{
    TPipeLine s = bench::GeneratedTree(static_cast<int>(state.range(0)));
    s.FullReport = state.range(1) != 0;
    if (!ValidateScheme(s).empty()) state.SkipWithError("scheme did not pass");
    Calculate(s, ',');
    for (auto _ : state)
        if (WritePdfReport(s, {"01.01.2025 12:00"}, ',', "/tmp/stelmar-bench-report.pdf"))
            state.SkipWithError("report not written");
    state.counters["steps"] = ReportCount(s);
}

BENCHMARK(BM_PdfReport)
    ->ArgNames({"areas", "full"})
    ->Args({1'000, 1})
    ->Args({1'000, 0})
    ->Args({10'000, 1})
    ->Args({10'000, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

// The RTF report of the same schemes, for comparison.
void BM_RtfFullReport(benchmark::State& state)
{
    TPipeLine s = bench::GeneratedTree(static_cast<int>(state.range(0)));
    Calculate(s, ',');
    for (auto _ : state)
        if (WriteReport(s, "/tmp/stelmar-bench-report.rtf", ',')) state.SkipWithError("report not written");
}

BENCHMARK(BM_RtfFullReport)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

int main(int argc, char** argv)
{
    static char name[] = "pdf_bench";
    static char* args[] = {name, nullptr};
    int count = 1;
    const auto app = stelmar::StartHeadlessGui(count, args);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
