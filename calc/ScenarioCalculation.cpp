#include "calc/ScenarioCalculation.h"

#include "calc/FlowCalculation.h"
#include "model/Scenarios.h"

namespace stelmar {

namespace {

// Accumulation times that VrSk off would not have computed.
void ForgetAccumulation(TPipeLine& s)
{
    for (TReport& r : s.Reports) r.AccumTime = 0;
}

// Calculates the run's scheme and, when `check`, checks the condition of
// safe evacuation.
void CalculateBuilt(ScenarioRun& run, const TScenario& scenario, char separator,
                    const std::function<void()>& processEvents, bool check = true)
{
    TPipeLine& scheme = run.Built.Scheme;
    const bool accumulation = scheme.VrSk;
    scheme.VrSk = true;
    run.ResultLine = Calculate(scheme, separator, processEvents);
    if (check) run.Check = CheckSafeEvacuation(run.Built, scenario);
    scheme.VrSk = accumulation;
    if (!accumulation) ForgetAccumulation(scheme);
}

std::vector<int> Identity(std::size_t size)
{
    std::vector<int> numbers(size);
    for (std::size_t i = 0; i < size; ++i) numbers[i] = static_cast<int>(i);
    return numbers;
}

}  // namespace

ScenarioRun CalculateScenario(const TPipeLine& s, int index, char separator,
                              const std::function<void()>& processEvents)
{
    const TScenario& scenario = ScenarioAt(s, index);
    ScenarioRun run{.Index = index, .Name = ScenarioName(s, index), .Built = BuildScenarioScheme(s, scenario)};
    CalculateBuilt(run, scenario, separator, processEvents);
    return run;
}

ScenarioRun CalculateWholeScheme(TPipeLine&& s, char separator, bool check)
{
    const TScenario scenario = ScenarioAt(s, 0);
    ScenarioRun run{.Index = 0, .Name = ScenarioName(s, 0), .Built = {}};
    ScenarioScheme& built = run.Built;
    built.NodeOrigin = built.NodeNumber = Identity(s.Nodes.size());
    built.AreaOrigin = built.AreaNumber = Identity(s.Areas.size());
    built.Scheme = std::move(s);
    CalculateBuilt(run, scenario, separator, {}, check);
    return run;
}

std::vector<ScenarioRun> CalculateScenarios(const TPipeLine& s, char separator,
                                            const std::function<void()>& processEvents)
{
    std::vector<ScenarioRun> runs;
    const int count = ScenarioCount(s);
    runs.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) runs.push_back(CalculateScenario(s, i, separator, processEvents));
    return runs;
}

int WorstScenario(const std::vector<ScenarioRun>& runs)
{
    int worst = -1;
    for (int i = 0; i < static_cast<int>(runs.size()); ++i) {
        const SafetyCheck& c = runs[i].Check;
        if (c.Inputs.empty() && c.Points.empty()) continue;
        if (c.Result == Verdict::NotChecked && c.Load == 0) continue;
        if (worst < 0 || c.Load > runs[worst].Check.Load) worst = i;
    }
    return worst;
}

void ShowScenarioResults(TPipeLine& drawn, const ScenarioRun& run)
{
    const ScenarioScheme& built = run.Built;
    const TPipeLine& s = built.Scheme;
    drawn.Reports = s.Reports;
    for (std::size_t k = 1; k < drawn.Reports.size(); ++k) {
        TReport& r = drawn.Reports[k];
        r.Area = built.AreaOrigin[r.Area];
        r.Upstream = built.NodeOrigin[r.Upstream];
        r.Downstream = built.NodeOrigin[r.Downstream];
    }
    for (TNode& n : drawn.Nodes) n.FlowCount = 0;
    for (int n = 1; n <= NodeCount(s); ++n) drawn.Nodes[built.NodeOrigin[n]].FlowCount = s.Nodes[n].FlowCount;
    drawn.ExitTimes = s.ExitTimes;
    drawn.EvacuationTime = s.EvacuationTime;
    drawn.FlowCounter = s.FlowCounter;
}

std::string ScenarioResultLine(const TPipeLine& s, const ScenarioRun& run)
{
    if (s.Scenarios.empty()) return run.ResultLine;
    return "Сценарий «" + run.Name + "»: " + run.ResultLine + " Условие безопасной эвакуации " +
           VerdictText(run.Check.Result) + ".";
}

int RunOf(const std::vector<ScenarioRun>& runs, int index)
{
    for (int i = 0; i < static_cast<int>(runs.size()); ++i)
        if (runs[i].Index == index) return i;
    return -1;
}

}  // namespace stelmar
