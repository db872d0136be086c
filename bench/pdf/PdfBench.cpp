// The PDF report of generated tree schemes (bench/GeneratedSchemes.h),
// full and summary, on one floor or spread over three, written to a file
// under /tmp: both layout passes, the drawings with their results (the
// trial placement of their labels, overview and detail pages) and the
// writing of the document; the pages and the size of the document written.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "bench/GeneratedSchemes.h"
#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/Validation.h"
#include "pdf/HeadlessGui.h"
#include "pdf/PdfReport.h"

namespace {

using namespace stelmar;

constexpr const char* kPdfPath = "/tmp/stelmar-bench-report.pdf";

// The pages of the PDF file: its page objects ("/Type /Page", not the
// "/Type /Pages" of the page tree).
int PdfPages(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string_view page = "/Type /Page";
    int pages = 0;
    for (std::size_t at = pdf.find(page); at != std::string::npos; at = pdf.find(page, at + 1))
        if (at + page.size() < pdf.size() && pdf[at + page.size()] != 's') ++pages;
    return pages;
}

void BM_PdfReport(benchmark::State& state)
{
    TPipeLine s = bench::GeneratedTree(static_cast<int>(state.range(0)), 1, static_cast<int>(state.range(2)));
    s.FullReport = state.range(1) != 0;
    if (!ValidateScheme(s).empty()) state.SkipWithError("scheme did not pass");
    Calculate(s, ',');
    for (auto _ : state)
        if (WritePdfReport(s, {"01.01.2025 12:00"}, ',', kPdfPath)) state.SkipWithError("report not written");
    state.counters["steps"] = ReportCount(s);
    state.counters["pages"] = PdfPages(kPdfPath);
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(kPdfPath)) / 1e6;
}

BENCHMARK(BM_PdfReport)
    ->ArgNames({"areas", "full", "floors"})
    ->Args({1'000, 1, 1})
    ->Args({1'000, 0, 1})
    ->Args({1'000, 1, 3})
    ->Args({10'000, 1, 1})
    ->Args({10'000, 0, 1})
    ->Args({100'000, 1, 1})
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
