#include "calc/SafetyCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "calc/ReportCommon.h"
#include "model/NumberText.h"
#include "model/Scenarios.h"

namespace stelmar {

namespace {

// Sums and the allowed times are kept to the ninth decimal, the finest
// rounding of the calculation, so that 0,8 · 6 is 4,8 and a sum of two
// times that equals the allowed time is not taken for more by its last bit.
double Clean(double x) { return std::nearbyint(x * 1e9) / 1e9; }
bool NotAbove(double x, double limit) { return Clean(x) <= Clean(limit); }

// The latest step that brought a flow to a node, by (node, flow): open
// addressing over one array sized for every step, so that recording a
// step allocates nothing. Nodes are numbered from 1, so key 0 is free.
class ArrivalIndex {
public:
    explicit ArrivalIndex(int steps)
    {
        std::size_t size = 16;
        while (size < static_cast<std::size_t>(steps) + static_cast<std::size_t>(steps) / 2) size *= 2;
        slots_.assign(size, Slot{});
    }

    void Record(int node, std::int32_t flow, int step)
    {
        if (node != 0) Find(Key(node, flow)).Step = step;
    }

    // 0 when no step brought the flow there.
    int Latest(int node, std::int32_t flow) const
    {
        const std::uint64_t key = Key(node, flow);
        for (std::size_t i = Hash(key);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i].Key == key) return slots_[i].Step;
            if (slots_[i].Key == 0) return 0;
        }
    }

private:
    struct Slot {
        std::uint64_t Key = 0;
        int Step = 0;
    };

    static std::uint64_t Key(int node, std::int32_t flow)
    {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(node)) << 32) |
               static_cast<std::uint32_t>(flow);
    }
    std::size_t Hash(std::uint64_t key) const
    {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 32) & (slots_.size() - 1);
    }
    Slot& Find(std::uint64_t key)
    {
        for (std::size_t i = Hash(key);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i].Key == key) return slots_[i];
            if (slots_[i].Key == 0) {
                slots_[i].Key = key;
                return slots_[i];
            }
        }
    }

    std::vector<Slot> slots_;
};

// How the steps of a calculation pass their flows on: for each step the
// step its flow goes on by (0 at an exit), and, following the flow to its
// exit, the time it leaves there and the longest accumulation on the way.
// Every step comes after the steps that bring its flows, so one pass in
// list order links them and one in reverse order sums them up.
struct StepChain {
    std::vector<int> Next;
    std::vector<double> ExitTime;  // NaN when the flow reaches no exit
    std::vector<double> AccumDown;
    std::vector<int> FirstStepOf;  // by node: the first step of an input's flow, 0 if none
    std::vector<double> StartDelay;  // by step: the largest t_нэ of the people in its flow

    StepChain(const TPipeLine& s, const std::vector<double>& inputDelay)
    {
        const int steps = ReportCount(s);
        Next.assign(steps + 1, 0);
        FirstStepOf.assign(s.Nodes.size(), 0);
        StartDelay.assign(steps + 1, 0);
        ArrivalIndex arrived(steps);
        for (int k = 1; k <= steps; ++k) {
            const TReport& r = s.Reports[k];
            if (r.Area < 1 || r.Area > AreaCount(s)) continue;
            const int up = r.Upstream;
            if (r.FirstArea) {
                if (s.Nodes[up].Kind == kInput && FirstStepOf[up] == 0) {
                    FirstStepOf[up] = k;
                    StartDelay[k] = inputDelay[up];
                }
            } else {
                const int entries = ArrivingEntries(r);
                for (int m = 0; m < entries; ++m) {
                    const std::int32_t flow = r.Merged[m].FlowNo;
                    if (flow == 0) continue;
                    const int from = arrived.Latest(up, flow);
                    if (from == 0) continue;
                    Next[from] = k;
                    StartDelay[k] = std::max(StartDelay[k], StartDelay[from]);
                }
            }
            arrived.Record(r.Downstream, r.FlowNo, k);
        }

        ExitTime.assign(steps + 1, std::nan(""));
        AccumDown.assign(steps + 1, 0);
        for (int k = steps; k >= 1; --k) {
            const TReport& r = s.Reports[k];
            const int next = Next[k];
            AccumDown[k] = r.AccumTime;
            if (next > k) {
                ExitTime[k] = ExitTime[next];
                AccumDown[k] = std::max(r.AccumTime, AccumDown[next]);
            } else if (r.Downstream >= 1 && r.Downstream <= NodeCount(s) &&
                       s.Nodes[r.Downstream].Kind == kExit) {
                ExitTime[k] = r.TotalTime;
            }
        }
    }
};

std::string Minutes(double x, char separator) { return FormatReal(x, separator) + " мин"; }

std::string AllowedName(char separator) { return FormatReal(0.8, separator) + "·t_бл"; }

}  // namespace

SafetyCheck CheckSafeEvacuation(const ScenarioScheme& built, const TScenario& scenario)
{
    const TPipeLine& s = built.Scheme;
    std::vector<double> delay(s.Nodes.size(), 0);
    for (int n = 1; n <= NodeCount(s); ++n) {
        const TNodeTimes* own = NodeTimesOf(scenario, built.NodeOrigin[n]);
        delay[n] = own && own->StartDelay ? *own->StartDelay : scenario.StartDelay;
    }
    const StepChain chain(s, delay);

    SafetyCheck check;
    bool unchecked = false;
    bool failed = false;
    const auto load = [&](double used, double allowed) {
        if (allowed > 0) check.Load = std::max(check.Load, used / allowed);
    };
    for (int n = 1; n <= NodeCount(s); ++n) {
        const TNode& node = s.Nodes[n];
        if (node.Kind != kInput) continue;
        const int origin = built.NodeOrigin[n];
        const TNodeTimes* own = NodeTimesOf(scenario, origin);
        InputCheck c;
        c.Node = origin;
        c.Label = NodeLabel(s, n);
        c.People = node.People;
        c.StartDelay = delay[n];
        c.BlockTime = own && own->BlockTime ? own->BlockTime : scenario.BlockTime;
        const int first = chain.FirstStepOf[n];
        if (first != 0) {
            c.EvacuationTime = chain.ExitTime[first];
            c.AccumTime = chain.AccumDown[first];
        }
        c.Total = Clean(c.EvacuationTime + c.StartDelay);
        c.AccumulationMet = NotAbove(c.AccumTime, kMaxAccumulationTime);
        load(c.AccumTime, kMaxAccumulationTime);
        if (c.BlockTime && first != 0 && std::isfinite(c.EvacuationTime)) {
            c.Allowed = Clean(0.8 * *c.BlockTime);
            c.TimeMet = NotAbove(c.Total, c.Allowed);
            load(c.Total, c.Allowed);
            c.Result = c.TimeMet && c.AccumulationMet ? Verdict::Met : Verdict::Failed;
        } else {
            c.Result = c.AccumulationMet ? Verdict::NotChecked : Verdict::Failed;
        }
        unchecked |= c.Result == Verdict::NotChecked;
        failed |= c.Result == Verdict::Failed;
        check.Inputs.push_back(std::move(c));
    }

    std::optional<FlowOrder> order;  // made for the first check point
    for (const TNodeTimes& times : scenario.NodeTimes) {
        const int origin = times.Node;
        if (!times.BlockTime || origin >= static_cast<int>(built.NodeNumber.size())) continue;
        const int n = built.NodeNumber[origin];
        if (n == 0 || s.Nodes[n].Kind == kInput) continue;
        if (!order) order.emplace(s);
        for (int k = 1; k <= ReportCount(s); ++k) {
            const TReport& r = s.Reports[k];
            if (r.Downstream != n) continue;
            PointCheck p;
            p.Node = times.Node;
            p.Label = NodeLabel(s, n);
            p.Flow = order->Number(r.FlowNo);
            p.People = r.People;
            p.PassTime = r.TotalTime;
            p.StartDelay = chain.StartDelay[k];
            p.BlockTime = *times.BlockTime;
            p.Allowed = Clean(0.8 * p.BlockTime);
            p.Total = Clean(p.PassTime + p.StartDelay);
            p.Result = NotAbove(p.Total, p.Allowed) ? Verdict::Met : Verdict::Failed;
            load(p.Total, p.Allowed);
            failed |= p.Result == Verdict::Failed;
            check.Points.push_back(std::move(p));
        }
    }
    check.Result = failed ? Verdict::Failed : unchecked ? Verdict::NotChecked : Verdict::Met;
    return check;
}

std::string ReasonText(const InputCheck& c, char separator)
{
    const std::string accumulation = "t_ск = " + Minutes(c.AccumTime, separator) +
                                     (c.AccumulationMet ? " ≤ " : " > ") +
                                     Minutes(kMaxAccumulationTime, separator);
    if (!c.BlockTime || c.Result == Verdict::NotChecked) return "t_бл не задано; " + accumulation;
    return "t_р + t_нэ = " + Minutes(c.Total, separator) + (c.TimeMet ? " ≤ " : " > ") + AllowedName(separator) +
           " = " + Minutes(c.Allowed, separator) + "; " + accumulation;
}

std::string ReasonText(const PointCheck& c, char separator)
{
    return "t + t_нэ = " + Minutes(c.Total, separator) + (c.Result == Verdict::Met ? " ≤ " : " > ") +
           AllowedName(separator) + " = " + Minutes(c.Allowed, separator);
}

const char* VerdictText(Verdict v)
{
    switch (v) {
    case Verdict::Met: return "выполняется";
    case Verdict::Failed: return "не выполняется";
    default: return "не проверяется";
    }
}

}  // namespace stelmar
