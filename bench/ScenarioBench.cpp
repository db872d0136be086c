// Checking and calculating every fire scenario of a project, as the one
// command of the calculation dialogs, stelmar-calc --scenario all and the
// service do: 20 scenarios over a generated tree with a second exit, each
// excluding that exit and one room of its own.

#include <benchmark/benchmark.h>

#include <algorithm>

#include "bench/GeneratedSchemes.h"
#include "calc/ScenarioCalculation.h"
#include "calc/ScenarioChecks.h"

namespace {

using namespace stelmar;

TPipeLine WithScenarios(int areas, int scenarios)
{
    TPipeLine s = bench::GeneratedTree(areas);
    SchemeBuilder b(s);
    const int exit2 = b.Exit({.X = 10, .Y = 10});
    b.Area(2, exit2, 12, 2);
    std::vector<int> inputs;
    for (int n = 1; n <= NodeCount(s); ++n)
        if (s.Nodes[n].Kind == kInput) inputs.push_back(n);
    for (int i = 0; i < scenarios; ++i) {
        TScenario sc{.Name = "Сценарий " + std::to_string(i + 1), .StartDelay = 1, .BlockTime = 10};
        sc.ExcludedNodes = {inputs[static_cast<std::size_t>(i) * inputs.size() / scenarios], exit2};
        std::sort(sc.ExcludedNodes.begin(), sc.ExcludedNodes.end());
        s.Scenarios.push_back(std::move(sc));
    }
    return s;
}

void BM_CheckAndCalculateScenarios(benchmark::State& state)
{
    const TPipeLine s = WithScenarios(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        if (!CheckScenarios(s).empty()) state.SkipWithError("a scenario did not pass");
        benchmark::DoNotOptimize(CalculateScenarios(s, ','));
    }
}

BENCHMARK(BM_CheckAndCalculateScenarios)->Args({10'000, 20})->Args({10'000, 1})->Unit(benchmark::kMillisecond)->MinTime(1);

}  // namespace
