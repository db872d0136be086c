#include "calc/AreaResults.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "calc/MovementTables.h"
#include "calc/Rounding.h"
#include "calc/SchemeGraph.h"

namespace stelmar {

namespace {

bool ValidArea(const TPipeLine& s, std::int32_t area) { return area >= 1 && area <= AreaCount(s); }

AreaMovement MovementOf(const TReport& r, int precision)
{
    if (r.DelayTime > 0) return r.AccumTime > 0 ? AreaMovement::Accumulation : AreaMovement::Bottleneck;
    // Speeds are stored rounded, so the free speed is compared rounded too.
    const double free = FreeSpeed(r.PathKind, r.GroupCode - 1);
    if (free > 0 && r.Speed < RoundTo(free, precision)) return AreaMovement::Slowed;
    return AreaMovement::Free;
}

// The steps of each area: steps of area a are order[start[a] … start[a + 1]).
struct StepsByArea {
    std::vector<int> start;
    std::vector<int> order;

    explicit StepsByArea(const TPipeLine& s)
    {
        const int areas = AreaCount(s);
        start.assign(areas + 2, 0);
        for (int i = 1; i <= ReportCount(s); ++i)
            if (ValidArea(s, s.Reports[i].Area)) ++start[s.Reports[i].Area + 1];
        for (int a = 1; a <= areas + 1; ++a) start[a] += start[a - 1];
        order.resize(start[areas + 1]);
        std::vector<int> fill(start.begin(), start.end() - 1);
        for (int i = 1; i <= ReportCount(s); ++i)
            if (ValidArea(s, s.Reports[i].Area)) order[fill[s.Reports[i].Area]++] = i;
    }
};

bool Arrives(const TReport& from, const TReport& into)
{
    if (!into.StartsFlow) return from.FlowNo == into.FlowNo;
    const std::size_t n = std::min<std::size_t>(into.MergedFlows.size(), into.ArrivingCount + 1);
    for (std::size_t j = 1; j < n; ++j)
        if (into.MergedFlows[j] != 0 && into.MergedFlows[j] == from.FlowNo) return true;
    return false;
}

// Follows the flow that reaches an exit last back to its input: at each
// node the flow whose arrival set the time of the step after it (a step's
// time is the latest arrival of its stream plus the time on its area; with
// mobility groups the stream holds the other groups' flows too).
void MarkCriticalPath(const TPipeLine& s, std::vector<AreaResult>& results)
{
    const StepsByArea steps(s);
    int step = 0;
    int down = 0;
    for (int i = 1; i <= ReportCount(s); ++i) {
        const TReport& r = s.Reports[i];
        if (!ValidArea(s, r.Area)) continue;
        const TArea& a = s.Areas[r.Area];
        const int exit = s.Nodes[a.Node2].Kind == kExit ? a.Node2 : s.Nodes[a.Node1].Kind == kExit ? a.Node1 : 0;
        if (exit != 0 && (step == 0 || r.TotalTime > s.Reports[step].TotalTime)) {
            step = i;
            down = exit;
        }
    }
    const SchemeGraph graph(s);
    // Times are rounded to `Precision` decimals, each step once.
    const double tolerance = std::pow(10.0, -s.Precision);
    for (int guard = 0; step != 0 && guard <= ReportCount(s); ++guard) {
        const TReport& r = s.Reports[step];
        results[r.Area].Critical = true;
        if (r.FirstArea) return;
        const TArea& a = s.Areas[r.Area];
        const int up = a.Node1 == down ? a.Node2 : a.Node1;
        const double arrival = r.TotalTime - r.AreaTime + tolerance;
        int next = 0;
        bool member = false;
        for (const AreaEnd& e : graph.At(up)) {
            if (e.Area == r.Area) continue;
            for (int k = steps.start[e.Area]; k < steps.start[e.Area + 1]; ++k) {
                const TReport& c = s.Reports[steps.order[k]];
                if (c.TotalTime > arrival) continue;
                const bool arrives = Arrives(c, r);
                const double best = next ? s.Reports[next].TotalTime : -1;
                if (next == 0 || c.TotalTime > best + tolerance ||
                    (std::abs(c.TotalTime - best) <= tolerance && arrives && !member)) {
                    next = steps.order[k];
                    member = arrives;
                }
            }
        }
        step = next;
        down = up;
    }
}

}  // namespace

std::vector<AreaResult> AreaResults(const TPipeLine& s)
{
    std::vector<AreaResult> results(AreaCount(s) + 1);
    for (int i = 1; i <= ReportCount(s); ++i) {
        const TReport& r = s.Reports[i];
        if (!ValidArea(s, r.Area)) continue;
        AreaResult& a = results[r.Area];
        const AreaMovement movement = MovementOf(r, s.Precision);
        if (a.Steps == 0 || movement > a.Movement || (movement == a.Movement && r.TotalTime > a.TotalTime)) {
            a.Movement = movement;
            a.Intensity = r.Intensity;
            a.Speed = r.Speed;
            a.Density = r.FirstArea ? r.Density : 0;
        }
        ++a.Steps;
        a.People += r.People;
        a.TotalTime = std::max(a.TotalTime, r.TotalTime);
        a.DelayTime = std::max(a.DelayTime, r.DelayTime);
        a.AccumTime = std::max(a.AccumTime, r.AccumTime);
    }
    MarkCriticalPath(s, results);
    return results;
}

std::string_view MovementName(AreaMovement movement)
{
    static constexpr std::array<std::string_view, kMovementCount> kNames = {
        "Участок не используется", "Свободное движение", "Движение замедлено плотностью потока",
        "Узкое место (задержка)", "Скопление людей перед участком",
    };
    return kNames[static_cast<int>(movement)];
}

}  // namespace stelmar
