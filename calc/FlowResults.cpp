#include "calc/FlowResults.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "calc/MovementTables.h"
#include "calc/ReportCommon.h"

namespace stelmar {
namespace {

// The speed of free movement of a step: the speed at a density or an
// intensity near nothing, for its path kind and mobility group.
double FreeSpeed(const TReport& r)
{
    const int group = std::max(0, r.GroupCode - 1);
    return r.FirstArea ? SpeedByDensity(group, 1e-9) : SpeedByIntensity(r.PathKind, group, 1e-9);
}

Movement MovementOf(const TReport& r, double tolerance)
{
    if (r.AccumTime > 0) return Movement::Accumulation;
    if (r.DelayTime > 0) return Movement::Bottleneck;
    return r.Speed < FreeSpeed(r) - tolerance ? Movement::Slowed : Movement::Free;
}

// The steps whose flows make up the flow of step `k`: for every flow it
// merged, the latest step before it that brought that flow to the node
// it starts from.
void TraceUpstream(const TPipeLine& s, int k, std::vector<int>& areas)
{
    std::vector<int> pending{k};
    std::vector<char> seen(s.Reports.size(), 0);
    while (!pending.empty()) {
        const int step = pending.back();
        pending.pop_back();
        if (seen[step]) continue;
        seen[step] = 1;
        const TReport& r = s.Reports[step];
        areas.push_back(r.Area);
        if (r.FirstArea || r.Area < 1 || r.Area > AreaCount(s)) continue;
        const int up = r.Upstream;
        for (int m = 0; m < ArrivingEntries(r); ++m) {
            const std::int32_t flow = r.Merged[m].FlowNo;
            if (flow == 0) continue;
            for (int j = step - 1; j >= 1; --j)
                if (s.Reports[j].Downstream == up && s.Reports[j].FlowNo == flow) {
                    pending.push_back(j);
                    break;
                }
        }
    }
}

}  // namespace

FlowResults ResultsOf(const TPipeLine& s)
{
    FlowResults results;
    if (ReportCount(s) < 1) return results;
    results.EvacuationTime = s.EvacuationTime;
    results.Areas.resize(s.Areas.size());
    const double tolerance = 0.5 * std::pow(10.0, -std::clamp<int>(s.Precision, 1, 9));
    for (int k = 1; k <= ReportCount(s); ++k) {
        const TReport& r = s.Reports[k];
        if (r.Area < 1 || r.Area > AreaCount(s)) continue;
        AreaResult& a = results.Areas[r.Area];
        const bool first = a.Steps.empty();
        a.Steps.push_back(k);
        a.How = std::max(a.How, MovementOf(r, tolerance));
        a.People += r.People;
        a.Density = std::max(a.Density, r.Density);
        a.Intensity = std::max(a.Intensity, r.Intensity);
        a.Speed = first ? r.Speed : std::min(a.Speed, r.Speed);
        a.AreaTime = std::max(a.AreaTime, r.AreaTime);
        a.DelayTime = std::max(a.DelayTime, r.DelayTime);
        a.AccumTime = std::max(a.AccumTime, r.AccumTime);
        a.TotalTime = std::max(a.TotalTime, r.TotalTime);
    }

    results.ExitTimes.assign(s.Nodes.size(), -1);
    int latest = 0;  // the step that ends latest at an exit
    for (int k = 1; k <= ReportCount(s); ++k) {
        const TReport& r = s.Reports[k];
        if (r.Downstream < 1 || r.Downstream > NodeCount(s) || s.Nodes[r.Downstream].Kind != kExit) continue;
        results.ExitTimes[r.Downstream] = std::max(results.ExitTimes[r.Downstream], r.TotalTime);
        if (latest == 0 || r.TotalTime > s.Reports[latest].TotalTime) latest = k;
    }
    if (latest != 0) TraceUpstream(s, latest, results.CriticalAreas);
    const FlowOrder order(s);
    results.FlowNumbers.assign(s.Reports.size(), 0);
    for (int k = 1; k <= ReportCount(s); ++k) results.FlowNumbers[k] = order.Number(s.Reports[k].FlowNo);
    return results;
}

std::vector<FlowSummary> FlowSummaries(const TPipeLine& s)
{
    const FlowOrder order(s);
    std::vector<FlowSummary> flows;
    flows.reserve(static_cast<std::size_t>(order.Count()));
    for (int k = 1; k <= order.Count(); ++k) {
        FlowSummary flow{.Number = k};
        for (const int i : order.Steps(k)) {
            const TReport& r = s.Reports[i];
            if (r.StartsFlow) {
                flow.People = r.People;
                flow.F = r.ProjArea;
                flow.Length = 0;
            }
            flow.Length += r.Length;
            flow.Time = r.TotalTime;
            const bool exit = r.Downstream >= 1 && r.Downstream <= NodeCount(s) && s.Nodes[r.Downstream].Kind == kExit;
            flow.Exit = exit ? r.Downstream : 0;
        }
        flows.push_back(flow);
    }
    return flows;
}

}  // namespace stelmar
