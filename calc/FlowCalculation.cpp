#include "calc/FlowCalculation.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "calc/MergePairs.h"
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

// A flow state at the upstream node of the area being processed: what the
// continuation reads of it.
struct Arriving {
    std::int32_t FlowNo;
    std::int32_t People;
    double ProjArea;
    double Intensity;
    double Width;
    double TotalTime;
    int Group;
};

// The flow states of a node are the steps that end at it, in the order
// they were made: each state is made together with its step and holds the
// same values. The calculator chains the steps of each node instead of
// keeping the states apart.
class FlowCalculator {
public:
    explicit FlowCalculator(TPipeLine& s)
        : s_(s), graph_(s), R(s.Precision), firstStep_(s.Nodes.size(), 0), lastStep_(s.Nodes.size(), 0)
    {
        for (int i = 1; i <= NodeCount(s); ++i)
            if (s.Nodes[i].Kind == kInput && s.Nodes[i].Mobility != 0) groups_ = true;
    }

    void Run(const std::function<void()>& processEvents)
    {
        s_.Reports.clear();
        for (TNode& n : s_.Nodes) n.FlowCount = 0;
        s_.Reports.reserve(s_.Areas.size());
        s_.Reports.emplace_back();
        nextStep_.reserve(s_.Areas.size());
        nextStep_.push_back(0);
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
        ++processed_;
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

    // A new step, and with it a new flow state at `d`; room for `members`
    // merged flows. The step is the last of Reports: references to steps
    // do not survive the next one.
    TReport& NewReport(int area, int u, int d, int arriving, int members)
    {
        const auto k = static_cast<std::int32_t>(s_.Reports.size());
        if (s_.Reports.size() == s_.Reports.capacity()) MakeRoomForSteps();
        TReport& r = s_.Reports.emplace_back();
        r.ArrivingCount = arriving;
        r.Merged.reserve(members);
        r.Area = area;
        r.Upstream = u;
        r.Downstream = d;
        r.PathKind = s_.Areas[area].Kind;
        nextStep_.push_back(0);
        if (lastStep_[d] != 0)
            nextStep_[lastStep_[d]] = k;
        else
            firstStep_[d] = k;
        lastStep_[d] = k;
        ++s_.Nodes[d].FlowCount;
        return r;
    }

    // Room for the steps still to come, estimated from those per area so
    // far: a calculation whose flows stay apart makes more steps than
    // areas, and moving all steps at every doubling costs more than the
    // steps themselves.
    void MakeRoomForSteps()
    {
        const double perArea = static_cast<double>(s_.Reports.size()) / std::max(processed_, 1);
        const auto expected = static_cast<std::size_t>(perArea * AreaCount(s_) * 1.05) + 64;
        s_.Reports.reserve(std::max(expected, s_.Reports.size() + s_.Reports.size() / 4));
    }

    // The flow states at node `u` into in_[1 …].
    void GatherArriving(int u)
    {
        in_.resize(1);
        for (std::int32_t k = firstStep_[u]; k != 0; k = nextStep_[k]) {
            const TReport& r = s_.Reports[k];
            in_.push_back({r.FlowNo, r.People, r.ProjArea, r.Intensity, r.Width, r.TotalTime, r.GroupCode - 1});
        }
    }

    // The first area of a flow: density from the people at the input.
    void FirstArea(int area, int u, int d, int flow)
    {
        const TArea& a = s_.Areas[area];
        const TNode& up = s_.Nodes[u];
        const int group = groups_ ? up.Mobility : 0;
        TReport& r = NewReport(area, u, d, up.FlowCount, 0);
        r.StartsFlow = true;
        r.FirstArea = true;
        r.GroupCode = static_cast<std::uint8_t>(group + 1);
        r.FlowNo = flow;
        r.ProjArea = up.F;
        r.People = up.People;
        r.Width = a.Width;
        r.Length = a.Length;
        r.Density = R(up.People * up.F / (a.Length * a.Width));
        r.Intensity = R(IntensityByDensity(group, r.Density));
        r.Speed = R(SpeedByDensity(group, r.Density));
        r.AreaTime = R(a.Length / r.Speed);
        const std::int32_t upFirst = firstStep_[u];
        if (upFirst != 0 && s_.Reports[upFirst].FlowNo == flow)
            r.TotalTime = R(s_.Reports[upFirst].TotalTime + r.AreaTime);
        else
            r.TotalTime = r.AreaTime;
    }

    // Intensity, speed (trialIntensity_, trialSpeed_) and time at the
    // downstream end (trial_) of each arriving state if it went on alone.
    // Each pass goes over every state, so that the divisions of different
    // states overlap instead of waiting on one another.
    void TrialTimes(const TArea& a)
    {
        const int count = static_cast<int>(in_.size()) - 1;
        trial_.resize(count + 1);
        trialIntensity_.resize(count + 1);
        for (int j = 1; j <= count; ++j) trialIntensity_[j] = R(in_[j].Intensity * in_[j].Width / a.Width);
        trialSpeed_.resize(count + 1);
        for (int j = 1; j <= count; ++j) trialSpeed_[j] = R(SpeedByIntensity(a.Kind, in_[j].Group, trialIntensity_[j]));
        for (int j = 1; j <= count; ++j) {
            const Arriving& in = in_[j];
            double v = trialSpeed_[j];
            double delay = 0;
            if (v == 0) {
                const double q = LimitIntensity(a.Kind, in.Group, a.Width);
                delay = R(in.People * in.ProjArea * (1 / (q * a.Width) - 1 / (in.Intensity * in.Width)));
                v = LimitSpeed(a.Kind, in.Group);
            }
            trial_[j] = R(in.TotalTime + R(a.Length / v + delay));
        }
    }

    // Group label 1..G of every arriving state in `label_`, and the
    // arriving states of each group, in order, in `members_` (group m from
    // groupStart_[m] to groupStart_[m + 1]): flows that arrive together, or
    // of which the later catches up with the earlier on this area, merge.
    // Without different arrival times every arriving flow merges. Returns G.
    int MergeLabels(const TArea& a)
    {
        const int count = static_cast<int>(in_.size()) - 1;
        std::vector<int>& label = label_;
        int groups = 1;
        if (!s_.RazVr || count < 2) {
            trialIntensity_.clear();
            label.assign(count + 1, 1);
        } else {
            TrialTimes(a);
            arrival_.resize(count + 1);
            for (int j = 1; j <= count; ++j) arrival_[j] = in_[j].TotalTime;
            MergePairs(arrival_, trial_, label);
            std::vector<int>& renumbered = renumbered_;
            renumbered.assign(count + 1, 0);
            groups = 0;
            for (int j = 1; j <= count; ++j) {
                if (renumbered[label[j]] == 0) renumbered[label[j]] = ++groups;
                label[j] = renumbered[label[j]];
            }
        }
        groupStart_.assign(groups + 2, 0);
        for (int j = 1; j <= count; ++j) ++groupStart_[label[j] + 1];
        for (int m = 1; m <= groups + 1; ++m) groupStart_[m] += groupStart_[m - 1];
        members_.resize(count);
        fill_.assign(groupStart_.begin(), groupStart_.end() - 1);
        for (int j = 1; j <= count; ++j) members_[fill_[label[j]]++] = j;
        return groups;
    }

    // The arriving states of group m, in order.
    std::span<const int> Members(int m) const
    {
        return std::span<const int>(members_).subspan(groupStart_[m], groupStart_[m + 1] - groupStart_[m]);
    }

    // The one arriving state of group m when it has one and a trial on
    // this area, else 0.
    int Lone(int m) const
    {
        return groupStart_[m + 1] - groupStart_[m] == 1 && !trialIntensity_.empty() ? members_[groupStart_[m]] : 0;
    }

    // Speed, intensity limit, delay and accumulation on the area for a
    // stream whose summed q·δ is `sum`; `people` and `f` describe the stream.
    // `lone` is the arriving state that makes the stream alone, if any (else
    // 0): if its trial on this area went at the same intensity, the speed is
    // the trial's.
    void Move(const TArea& a, int group, double sum, double people, double f, int lone, TReport& r) const
    {
        r.StreamPeople = static_cast<std::int32_t>(people);
        r.StreamProjArea = f;
        double q = R(sum / a.Width);
        r.RawIntensity = q;
        double v = lone != 0 && trialIntensity_[lone] == q ? trialSpeed_[lone] : R(SpeedByIntensity(a.Kind, group, q));
        double delay = 0;
        double accumulation = 0;
        if (v == 0) {
            q = LimitIntensity(a.Kind, group, a.Width);
            delay = R(people * f * (1 / (q * a.Width) - 1 / sum));
            if (s_.VrSk) accumulation = R(people * f / (q * a.Width));
            v = LimitSpeed(a.Kind, group);
        }
        r.Intensity = q;
        r.Speed = v;
        r.DelayTime = delay;
        r.AccumTime = accumulation;
        r.AreaTime = R(a.Length / v + delay);
        r.Width = a.Width;
        r.Length = a.Length;
    }

    void Continue(int area, int u, int d)
    {
        const TArea& a = s_.Areas[area];
        GatherArriving(u);
        const int count = static_cast<int>(in_.size()) - 1;
        const int groups = MergeLabels(a);
        for (int m = 1; m <= groups; ++m) {
            TReport& r = NewReport(area, u, d, count, static_cast<int>(Members(m).size()));
            int members = 0;
            double peopleArea = 0;
            for (const int j : Members(m)) {
                const Arriving& in = in_[j];
                ++members;
                r.Merged.push_back({in.FlowNo, in.Intensity, in.Width});
                r.People += in.People;
                peopleArea += in.People * in.ProjArea;
                r.Intensity = R(in.Intensity * in.Width + r.Intensity);
                r.TotalTime = std::max(r.TotalTime, in.TotalTime);
                if (members == 1) r.FlowNo = in.FlowNo;
            }
            r.StartsFlow = members >= 2;
            if (r.StartsFlow) r.FlowNo = ++counter_;
            r.ProjArea = R(peopleArea / r.People);
            Move(a, 0, r.Intensity, r.People, r.ProjArea, Lone(m), r);
            r.TotalTime = R(r.TotalTime + r.AreaTime);
            r.GroupCode = 1;
        }
    }

    // With mobility groups, flows of different groups that merge share the
    // stream (its intensity, delay and accumulation) but stay separate flows.
    void ContinueByGroups(int area, int u, int d)
    {
        const TArea& a = s_.Areas[area];
        GatherArriving(u);
        const int count = static_cast<int>(in_.size()) - 1;
        MergeLabels(a);
        const std::vector<int>& label = label_;
        std::vector<std::uint8_t>& consumed = consumed_;
        consumed.assign(count + 1, 0);
        for (int k = 1; k <= count; ++k) {
            if (consumed[k]) continue;
            const int group = in_[k].Group;
            TReport& r = NewReport(area, u, d, count, static_cast<int>(Members(label[k]).size()));
            int members = 0;
            double peopleAll = 0;
            double peopleAreaAll = 0;
            for (const int j : Members(label[k])) {
                const Arriving& in = in_[j];
                TMergedFlow& merged = r.Merged.emplace_back(TMergedFlow{0, in.Intensity, in.Width});
                peopleAll += in.People;
                peopleAreaAll += in.People * in.ProjArea;
                r.Intensity = R(in.Intensity * in.Width + r.Intensity);
                r.TotalTime = std::max(r.TotalTime, in.TotalTime);
                if (in.Group != group) continue;
                consumed[j] = 1;
                merged.FlowNo = in.FlowNo;
                r.People += in.People;
                r.ProjArea += in.People * in.ProjArea;
                ++members;
            }
            const double fAll = R(peopleAreaAll / peopleAll);
            r.StartsFlow = members >= 2;
            if (r.StartsFlow) {
                r.FlowNo = ++counter_;
                r.ProjArea = R(r.ProjArea / r.People);
            } else {
                r.FlowNo = in_[k].FlowNo;
                r.People = in_[k].People;
                r.ProjArea = in_[k].ProjArea;
            }
            Move(a, group, r.Intensity, peopleAll, fAll, Lone(label[k]), r);
            r.TotalTime = r.TotalTime + r.AreaTime;
            r.GroupCode = static_cast<std::uint8_t>(group + 1);
        }
    }

    void CollectExitTimes()
    {
        s_.ExitTimes.assign(1, 0.0);
        for (int i = 1; i <= NodeCount(s_); ++i) {
            if (s_.Nodes[i].Kind != kExit) continue;
            for (std::int32_t k = firstStep_[i]; k != 0; k = nextStep_[k]) s_.ExitTimes.push_back(s_.Reports[k].TotalTime);
        }
        double total = 0;
        if (s_.ExitTimes.size() > 1) total = *std::max_element(s_.ExitTimes.begin() + 1, s_.ExitTimes.end());
        s_.EvacuationTime = R(total);
    }

    TPipeLine& s_;
    SchemeGraph graph_;
    Rounding R;
    bool groups_ = false;
    std::int32_t counter_ = 0;
    int processed_ = 0;  // areas processed so far
    std::vector<Step> walk_;
    std::vector<WalkFrame> walkStack_;
    // The steps ending at each node (its flow states): the first and the
    // last by node, the next at the same node by step; 0 for none.
    std::vector<std::int32_t> firstStep_;
    std::vector<std::int32_t> lastStep_;
    std::vector<std::int32_t> nextStep_;
    // Working lists of one continuation area, kept between areas.
    std::vector<Arriving> in_;  // from index 1
    std::vector<int> label_;
    std::vector<int> groupStart_;
    std::vector<int> members_;
    std::vector<int> fill_;
    std::vector<double> trial_;
    std::vector<double> trialIntensity_;
    std::vector<double> trialSpeed_;
    std::vector<double> arrival_;
    std::vector<int> renumbered_;
    std::vector<std::uint8_t> consumed_;
};

}  // namespace

std::string Calculate(TPipeLine& s, char separator, const std::function<void()>& processEvents)
{
    FlowCalculator calculator(s);
    calculator.Run(processEvents);
    return "Итак, общее расчетное время эвакуации = " + FormatReal(s.EvacuationTime, separator) + " мин.";
}

}  // namespace stelmar
