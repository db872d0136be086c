// The edit history on a scheme of 100,000 nodes and areas: the history's
// cost of one edit (the state before, then the comparison and the state
// after), of an edit followed by an undo, and the memory of a full history
// of 50 steps after one-node edits and after edits that change every node.

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

// The history's part of one edit: the state recorded before it and the
// comparison and record after it; the edit itself is not timed.
void BM_RecordEdit(benchmark::State& state)
{
    TPipeLine s = BigScheme();
    EditHistory h;
    h.Reset();
    std::mt19937 rng(1);
    for (auto _ : state) {
        h.Begin(s);
        state.PauseTiming();
        Edit(s, state.range(0) != 0, rng);
        state.ResumeTiming();
        if (!h.End(s, "правка")) state.SkipWithError("no step recorded");
    }
    SetSchemeCounters(state, s);
    state.counters["history_MB"] = static_cast<double>(h.MemoryBytes()) / 1e6;
}
BENCHMARK(BM_RecordEdit)->ArgName("all_nodes")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RecordEditAndUndo(benchmark::State& state)
{
    TPipeLine s = BigScheme();
    EditHistory h;
    h.Reset();
    std::mt19937 rng(2);
    for (auto _ : state) {
        h.Begin(s);
        state.PauseTiming();
        Edit(s, state.range(0) != 0, rng);
        state.ResumeTiming();
        h.End(s, "правка");
        if (!h.Undo(s)) state.SkipWithError("nothing restored");
    }
    SetSchemeCounters(state, s);
}
BENCHMARK(BM_RecordEditAndUndo)->ArgName("all_nodes")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A full history: 50 steps.
void BM_FullHistoryMemory(benchmark::State& state)
{
    TPipeLine s = BigScheme();
    EditHistory h;
    std::mt19937 rng(3);
    for (auto _ : state) {
        h.Reset();
        for (int i = 0; i < EditHistory::kSteps; ++i) {
            h.Begin(s);
            Edit(s, state.range(0) != 0, rng);
            h.End(s, "правка");
        }
    }
    SetSchemeCounters(state, s);
    state.counters["history_MB"] = static_cast<double>(h.MemoryBytes()) / 1e6;
    state.counters["snapshots"] = h.UndoSteps();
}
BENCHMARK(BM_FullHistoryMemory)->ArgName("all_nodes")->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
