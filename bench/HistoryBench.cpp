// The edit history on a scheme of 100,000 nodes and areas: the cost of one
// snapshot, of a snapshot followed by an undo, and the memory of a full
// history of 50 snapshots after one-node edits and after edits that change
// every node.

#include <benchmark/benchmark.h>

#include <random>

#include "bench/GeneratedSchemes.h"
#include "model/EditHistory.h"

namespace {

using namespace stelmar;

constexpr int kAreas = 100000;

const TPipeLine& BigScheme()
{
    static const TPipeLine s = bench::GeneratedTree(kAreas);
    return s;
}

// Range 0: moves one random node; range 1: moves every node and lengthens
// every area, so that no part of a snapshot can be shared.
void Edit(TPipeLine& s, bool everything, std::mt19937& rng)
{
    if (everything) {
        for (TNode& n : s.Nodes) ++n.X;
        for (TArea& a : s.Areas) a.Length += 1;
    } else {
        s.Nodes[1 + rng() % NodeCount(s)].X += 5;
    }
}

void SetSchemeCounters(benchmark::State& state, const TPipeLine& s)
{
    state.counters["nodes"] = NodeCount(s);
    state.counters["areas"] = AreaCount(s);
}

void BM_PushHistory(benchmark::State& state)
{
    TPipeLine s = BigScheme();
    EditHistory h;
    h.Reset();
    std::mt19937 rng(1);
    for (auto _ : state) {
        state.PauseTiming();
        Edit(s, state.range(0) != 0, rng);
        state.ResumeTiming();
        h.Push(s);
    }
    SetSchemeCounters(state, s);
    state.counters["history_MB"] = static_cast<double>(h.MemoryBytes()) / 1e6;
}
BENCHMARK(BM_PushHistory)->ArgName("all_nodes")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PushAndUndo(benchmark::State& state)
{
    TPipeLine s = BigScheme();
    EditHistory h;
    h.Reset();
    std::mt19937 rng(2);
    for (auto _ : state) {
        state.PauseTiming();
        Edit(s, state.range(0) != 0, rng);
        state.ResumeTiming();
        h.Push(s);
        if (!h.Undo(s)) state.SkipWithError("nothing restored");
    }
    SetSchemeCounters(state, s);
}
BENCHMARK(BM_PushAndUndo)->ArgName("all_nodes")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A full history: 50 snapshots, each after an edit.
void BM_FullHistoryMemory(benchmark::State& state)
{
    TPipeLine s = BigScheme();
    EditHistory h;
    std::mt19937 rng(3);
    for (auto _ : state) {
        h.Reset();
        for (int i = 0; i < EditHistory::kSteps; ++i) {
            Edit(s, state.range(0) != 0, rng);
            h.Push(s);
        }
    }
    SetSchemeCounters(state, s);
    state.counters["history_MB"] = static_cast<double>(h.MemoryBytes()) / 1e6;
    state.counters["snapshots"] = h.UndoSteps();
}
BENCHMARK(BM_FullHistoryMemory)->ArgName("all_nodes")->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
