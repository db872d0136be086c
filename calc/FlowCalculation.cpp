#include "calc/FlowCalculation.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "calc/MovementTables.h"
#include "calc/Rounding.h"
#include "calc/SchemeGraph.h"
#include "model/NumberText.h"

namespace stelmar {

namespace {

// One step of a walk: a flow over an area towards its downstream node.
struct Step {
    std::int32_t Area;
    std::int32_t Down;
    std::int32_t Flow;
};

int OtherEnd(const TArea& a, int node) { return a.Node2 == node ? a.Node1 : a.Node2; }

class FlowCalculator {
public:
    explicit FlowCalculator(TPipeLine& s) : s_(s), graph_(s), precision_(s.Precision)
    {
        for (int i = 1; i <= NodeCount(s); ++i)
            if (s.Nodes[i].Kind == kInput && s.Nodes[i].Mobility != 0) groups_ = true;
    }

    void Run(const std::function<void()>& processEvents)
    {
        s_.Reports.clear();
        for (TNode& n : s_.Nodes) SetFlowCount(n, 0);
        s_.Reports.reserve(s_.Areas.size());
        s_.Reports.emplace_back();
        counter_ = 0;

        for (int i = 1; i <= AreaCount(s_); ++i) {
            if (i > 5307 && processEvents) processEvents();
            const TArea& a = s_.Areas[i];
            int exitNode = 0;
            if (s_.Nodes[a.Node1].Kind == kExit) exitNode = a.Node1;
            else if (s_.Nodes[a.Node2].Kind == kExit) exitNode = a.Node2;
            if (exitNode == 0) continue;
            Walk(i, exitNode, ++counter_);
            for (auto step = walk_.rbegin(); step != walk_.rend(); ++step) Process(*step);
        }
        CollectExitTimes();
        s_.FlowCounter = counter_;
    }

private:
    // A node of the walk whose upstream areas are being visited.
    struct WalkFrame {
        std::int32_t Up;
        std::int32_t Via;    // the area by which the walk reached Up
        std::int32_t Flow;
        std::uint32_t Next;  // next entry of Up's adjacency to look at
        bool Branches;       // two or more upstream areas: each takes a new flow number
    };

    double R(double x) const { return RoundTo(x, precision_); }

    int GroupOf(const TNode& n, int state) const { return groups_ ? n.FlowGroups[state] : 0; }

    // Depth-first from the exit area towards the inputs. Every branch of a
    // node with two or more upstream areas takes a new flow number, in the
    // order a recursive walk would hand them out.
    void Walk(int area, int down, int flow)
    {
        std::vector<WalkFrame>& stack = walkStack_;
        walk_.clear();
        auto enter = [&](int a, int d, int n) {
            walk_.push_back({a, d, n});
            const int u = OtherEnd(s_.Areas[a], d);
            int upstream = 0;
            int last = 0;
            for (const AreaEnd& e : graph_.At(u))
                if (e.Area != a && e.Area != last) {
                    ++upstream;
                    last = e.Area;
                }
            stack.push_back({u, a, n, 0, upstream >= 2});
        };
        enter(area, down, flow);
        while (!stack.empty()) {
            WalkFrame& f = stack.back();
            const auto ends = graph_.At(f.Up);
            while (f.Next < ends.size() &&
                   (ends[f.Next].Area == f.Via || (f.Next > 0 && ends[f.Next].Area == ends[f.Next - 1].Area)))
                ++f.Next;
            if (f.Next == ends.size()) {
                stack.pop_back();
                continue;
            }
            const AreaEnd e = ends[f.Next++];
            const int n = f.Branches ? ++counter_ : f.Flow;
            enter(e.Area, f.Up, n);
        }
    }

    void Process(const Step& step)
    {
        const int u = OtherEnd(s_.Areas[step.Area], step.Down);
        if (s_.Nodes[step.Down].Kind == kInput || s_.Nodes[u].Kind == kInput)
            FirstArea(step.Area, u, step.Down, step.Flow);
        else if (s_.Nodes[u].FlowCount == 0)
            return;  // nothing arrives (cannot happen in a validated scheme)
        else if (groups_)
            ContinueByGroups(step.Area, u, step.Down);
        else
            Continue(step.Area, u, step.Down);
    }

    TReport& NewReport(int area, int u, int d, int arriving)
    {
        TReport& r = s_.Reports.emplace_back();
        SetReportSize(r, arriving);
        r.Area = area;
        r.Downstream = d;
        r.PathKind = s_.Areas[area].Kind;
        r.FromNode = NodeLabel(s_, u);
        r.ToNode = NodeLabel(s_, d);
        return r;
    }

    TNodeFlow& NewState(TNode& node)
    {
        SetFlowCount(node, node.FlowCount + 1);
        return node.Flows.back();
    }

    static void CopyToReport(const TNodeFlow& st, TReport& r)
    {
        r.FlowNo = st.FlowNo;
        r.People = st.People;
        r.ProjArea = st.ProjArea;
        r.Intensity = st.Intensity;
        r.DelayTime = st.DelayTime;
        r.AccumTime = st.AccumTime;
        r.Speed = st.Speed;
        r.AreaTime = st.AreaTime;
        r.TotalTime = st.TotalTime;
        r.Width = st.Width;
        r.Length = st.Length;
    }

    // The first area of a flow: density from the people at the input.
    void FirstArea(int area, int u, int d, int flow)
    {
        const TArea& a = s_.Areas[area];
        TNode& up = s_.Nodes[u];
        TNode& down = s_.Nodes[d];
        TReport& r = NewReport(area, u, d, up.FlowCount);
        TNodeFlow& st = NewState(down);
        const int group = groups_ ? up.Mobility : 0;
        down.FlowGroups.back() = static_cast<std::uint8_t>(group);

        r.StartsFlow = true;
        r.FirstArea = true;
        r.GroupCode = static_cast<std::uint8_t>(group + 1);
        st.FlowNo = flow;
        st.ProjArea = up.F;
        st.People = up.People;
        st.Width = a.Width;
        st.Length = a.Length;
        st.Density = R(up.People * up.F / (a.Length * a.Width));
        st.Intensity = R(IntensityByDensity(group, st.Density));
        st.Speed = R(SpeedByDensity(group, st.Density));
        st.AreaTime = R(a.Length / st.Speed);
        if (up.FlowCount >= 1 && up.Flows[1].FlowNo == flow)
            st.TotalTime = R(up.Flows[1].TotalTime + st.AreaTime);
        else
            st.TotalTime = st.AreaTime;
        CopyToReport(st, r);
        r.Density = st.Density;
    }

    // Time at the downstream end for each arriving state if it went on alone.
    std::vector<double> TrialTimes(const TArea& a, const TNode& up) const
    {
        std::vector<double> times(up.FlowCount + 1, 0.0);
        for (int j = 1; j <= up.FlowCount; ++j) {
            const TNodeFlow& in = up.Flows[j];
            const int group = GroupOf(up, j);
            double q = R(in.Intensity * in.Width / a.Width);
            double v = R(SpeedByIntensity(a.Kind, group, q));
            double delay = 0;
            if (v == 0) {
                q = LimitIntensity(a.Kind, group, a.Width);
                delay = R(in.People * in.ProjArea * (1 / (q * a.Width) - 1 / (in.Intensity * in.Width)));
                v = LimitSpeed(a.Kind, group);
            }
            times[j] = R(in.TotalTime + R(a.Length / v + delay));
        }
        return times;
    }

    // Group label 1..G of every arriving state: flows that arrive together,
    // or of which the later catches up with the earlier on this area, merge.
    // Without different arrival times every arriving flow merges.
    std::vector<int> MergeLabels(const TArea& a, const TNode& up) const
    {
        const int count = up.FlowCount;
        std::vector<int> label(count + 1, 1);
        if (!s_.RazVr || count < 2) return label;

        const std::vector<double> trial = TrialTimes(a, up);
        for (int j = 1; j <= count; ++j) label[j] = j;
        for (int i = 1; i <= count; ++i)
            for (int j = i + 1; j <= count; ++j) {
                const double ti = up.Flows[i].TotalTime;
                const double tj = up.Flows[j].TotalTime;
                const bool merge = (ti >= tj && trial[i] <= trial[j]) || (tj >= ti && trial[j] <= trial[i]);
                if (!merge) continue;
                if (label[j] == j) label[j] = label[i];
                else if (label[i] == i) label[i] = label[j];
            }
        std::vector<int> renumbered(count + 1, 0);
        int groups = 0;
        for (int j = 1; j <= count; ++j) {
            if (renumbered[label[j]] == 0) renumbered[label[j]] = ++groups;
            label[j] = renumbered[label[j]];
        }
        return label;
    }

    // Speed, intensity limit, delay and accumulation on the area for a
    // stream whose summed q·δ is `sum`; `people` and `f` describe the stream.
    void Move(const TArea& a, int group, double sum, double people, double f, TNodeFlow& st, TReport& r) const
    {
        r.StreamPeople = static_cast<std::int32_t>(people);
        r.StreamProjArea = f;
        double q = R(sum / a.Width);
        r.RawIntensity = q;
        double v = R(SpeedByIntensity(a.Kind, group, q));
        double delay = 0;
        double accumulation = 0;
        if (v == 0) {
            q = LimitIntensity(a.Kind, group, a.Width);
            delay = R(people * f * (1 / (q * a.Width) - 1 / sum));
            if (s_.VrSk) accumulation = R(people * f / (q * a.Width));
            v = LimitSpeed(a.Kind, group);
        }
        st.Intensity = q;
        st.Speed = v;
        st.DelayTime = delay;
        st.AccumTime = accumulation;
        st.AreaTime = R(a.Length / v + delay);
        st.Width = a.Width;
        st.Length = a.Length;
    }

    void Continue(int area, int u, int d)
    {
        const TArea& a = s_.Areas[area];
        TNode& up = s_.Nodes[u];
        TNode& down = s_.Nodes[d];
        const std::vector<int> label = MergeLabels(a, up);
        const int groups = *std::max_element(label.begin(), label.end());
        for (int m = 1; m <= groups; ++m) {
            TReport& r = NewReport(area, u, d, up.FlowCount);
            TNodeFlow& st = NewState(down);
            int members = 0;
            double peopleArea = 0;
            for (int j = 1; j <= up.FlowCount; ++j) {
                if (label[j] != m) continue;
                const TNodeFlow& in = up.Flows[j];
                ++members;
                r.MergedFlows[members] = in.FlowNo;
                r.MergedIntensity[members] = in.Intensity;
                r.MergedWidth[members] = in.Width;
                st.People += in.People;
                peopleArea += in.People * in.ProjArea;
                st.Intensity = R(in.Intensity * in.Width + st.Intensity);
                st.TotalTime = std::max(st.TotalTime, in.TotalTime);
                if (members == 1) st.FlowNo = in.FlowNo;
            }
            r.StartsFlow = members >= 2;
            if (r.StartsFlow) st.FlowNo = ++counter_;
            st.ProjArea = R(peopleArea / st.People);
            Move(a, 0, st.Intensity, st.People, st.ProjArea, st, r);
            st.TotalTime = R(st.TotalTime + st.AreaTime);
            r.GroupCode = 1;
            CopyToReport(st, r);
        }
    }

    // With mobility groups, flows of different groups that merge share the
    // stream (its intensity, delay and accumulation) but stay separate flows.
    void ContinueByGroups(int area, int u, int d)
    {
        const TArea& a = s_.Areas[area];
        TNode& up = s_.Nodes[u];
        TNode& down = s_.Nodes[d];
        const int count = up.FlowCount;
        const std::vector<int> label = MergeLabels(a, up);
        std::vector<std::uint8_t> consumed(count + 1, 0);
        for (int k = 1; k <= count; ++k) {
            if (consumed[k]) continue;
            const int group = up.FlowGroups[k];
            TReport& r = NewReport(area, u, d, count);
            TNodeFlow& st = NewState(down);
            down.FlowGroups.back() = static_cast<std::uint8_t>(group);
            int members = 0;
            int position = 0;
            double peopleAll = 0;
            double peopleAreaAll = 0;
            for (int j = 1; j <= count; ++j) {
                if (label[j] != label[k]) continue;
                const TNodeFlow& in = up.Flows[j];
                ++position;
                r.MergedIntensity[position] = in.Intensity;
                r.MergedWidth[position] = in.Width;
                peopleAll += in.People;
                peopleAreaAll += in.People * in.ProjArea;
                st.Intensity = R(in.Intensity * in.Width + st.Intensity);
                st.TotalTime = std::max(st.TotalTime, in.TotalTime);
                if (up.FlowGroups[j] != group) continue;
                consumed[j] = 1;
                r.MergedFlows[position] = in.FlowNo;
                st.People += in.People;
                st.ProjArea += in.People * in.ProjArea;
                ++members;
            }
            const double fAll = R(peopleAreaAll / peopleAll);
            r.StartsFlow = members >= 2;
            if (r.StartsFlow) {
                st.FlowNo = ++counter_;
                st.ProjArea = R(st.ProjArea / st.People);
            } else {
                st.FlowNo = up.Flows[k].FlowNo;
                st.People = up.Flows[k].People;
                st.ProjArea = up.Flows[k].ProjArea;
            }
            Move(a, group, st.Intensity, peopleAll, fAll, st, r);
            st.TotalTime = st.TotalTime + st.AreaTime;
            r.GroupCode = static_cast<std::uint8_t>(group + 1);
            CopyToReport(st, r);
        }
    }

    void CollectExitTimes()
    {
        s_.ExitTimes.assign(1, 0.0);
        for (int i = 1; i <= NodeCount(s_); ++i) {
            const TNode& n = s_.Nodes[i];
            if (n.Kind != kExit) continue;
            for (int j = 1; j <= n.FlowCount; ++j) s_.ExitTimes.push_back(n.Flows[j].TotalTime);
        }
        double total = 0;
        if (s_.ExitTimes.size() > 1) total = *std::max_element(s_.ExitTimes.begin() + 1, s_.ExitTimes.end());
        s_.EvacuationTime = R(total);
    }

    TPipeLine& s_;
    SchemeGraph graph_;
    int precision_;
    bool groups_ = false;
    std::int32_t counter_ = 0;
    std::vector<Step> walk_;
    std::vector<WalkFrame> walkStack_;
};

}  // namespace

std::string Calculate(TPipeLine& s, char separator, const std::function<void()>& processEvents)
{
    FlowCalculator calculator(s);
    calculator.Run(processEvents);
    return "Итак, общее расчетное время эвакуации = " + FormatReal(s.EvacuationTime, separator) + " мин.";
}

}  // namespace stelmar
