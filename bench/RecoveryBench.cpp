// The recovery copy of a 10,000-area project: what the editing thread
// spends handing it over (taking the project part of the scheme and giving
// it to the writer), and the writing itself on the writer's thread.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "bench/GeneratedSchemes.h"
#include "model/RecoveryWriter.h"

namespace {

using namespace stelmar;

std::string BenchFolder()
{
    return (std::filesystem::temp_directory_path() / "stelmar-bench-recovery").string();
}

TPipeLine Edited(int areas)
{
    TPipeLine s = bench::GeneratedTree(areas);
    s.FileName = "/tmp/stelmar-bench-recovered.stm";
    s.Reports.resize(static_cast<std::size_t>(areas) * 2);  // results of a calculation, not copied
    return s;
}

void BM_RecoveryHandOver(benchmark::State& state)
{
    const TPipeLine s = Edited(static_cast<int>(state.range(0)));
    std::optional<RecoverySlot> slot = RecoverySlot::Claim(BenchFolder());
    if (!slot) {
        state.SkipWithError("no recovery slot");
        return;
    }
    RecoveryWriter writer(std::move(*slot), ',');
    for (auto _ : state) writer.Submit(ProjectPartOf(s), 1);
    writer.Flush();
}
BENCHMARK(BM_RecoveryHandOver)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_RecoveryWrite(benchmark::State& state)
{
    const TPipeLine s = Edited(static_cast<int>(state.range(0)));
    std::optional<RecoverySlot> slot = RecoverySlot::Claim(BenchFolder());
    if (!slot) {
        state.SkipWithError("no recovery slot");
        return;
    }
    for (auto _ : state)
        if (slot->Write(*ProjectPartOf(s), 1, ',')) state.SkipWithError("copy not written");
}
BENCHMARK(BM_RecoveryWrite)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
