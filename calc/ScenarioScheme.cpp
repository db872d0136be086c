#include "calc/ScenarioScheme.h"

#include "calc/SchemeGraph.h"

namespace stelmar {

namespace {

// Marks what the scenario leaves out of the drawn scheme: its excluded
// elements, the areas at excluded nodes, and what the exclusions cut off.
class Exclusion {
public:
    Exclusion(const TPipeLine& drawn, const TScenario& sc)
        : s_(drawn), keepNode_(drawn.Nodes.size(), 1), keepArea_(drawn.Areas.size(), 1),
          drawnDegree_(drawn.Nodes.size(), 0), degree_(drawn.Nodes.size(), 0)
    {
        keepNode_[0] = keepArea_[0] = 0;
        for (const int n : sc.ExcludedNodes)
            if (n >= 1 && n <= NodeCount(s_)) keepNode_[n] = 0;
        for (const int a : sc.ExcludedAreas)
            if (a >= 1 && a <= AreaCount(s_)) keepArea_[a] = 0;
        for (int a = 1; a <= AreaCount(s_); ++a) {
            const TArea& area = s_.Areas[a];
            ++drawnDegree_[area.Node1];
            ++drawnDegree_[area.Node2];
            if (!keepNode_[area.Node1] || !keepNode_[area.Node2]) keepArea_[a] = 0;
            if (!keepArea_[a]) continue;
            ++degree_[area.Node1];
            ++degree_[area.Node2];
        }
        CutOff();
    }

    bool Node(int n) const { return keepNode_[n] != 0; }
    bool Area(int a) const { return keepArea_[a] != 0; }
    bool Everything() const
    {
        for (std::size_t n = 1; n < keepNode_.size(); ++n)
            if (!keepNode_[n]) return false;
        for (std::size_t a = 1; a < keepArea_.size(); ++a)
            if (!keepArea_[a]) return false;
        return true;
    }

private:
    // A node the exclusions left without a route: an exit with no area, a
    // junction with at most one. A node that had no more areas in the drawn
    // scheme is the drawn scheme's own matter and stays for the checks.
    bool CutOff(int n) const
    {
        if (!keepNode_[n] || degree_[n] >= drawnDegree_[n]) return false;
        switch (s_.Nodes[n].Kind) {
        case kInput: return false;
        case kExit: return degree_[n] == 0;
        default: return degree_[n] <= 1;
        }
    }

    void CutOff()
    {
        std::vector<int> pending;
        for (int n = 1; n <= NodeCount(s_); ++n)
            if (CutOff(n)) pending.push_back(n);
        if (pending.empty()) return;
        const SchemeGraph graph(s_);
        while (!pending.empty()) {
            const int n = pending.back();
            pending.pop_back();
            if (!CutOff(n)) continue;
            keepNode_[n] = 0;
            for (const AreaEnd& end : graph.At(n)) {
                if (!keepArea_[end.Area]) continue;
                keepArea_[end.Area] = 0;
                --degree_[n];
                if (end.Other == n) continue;
                --degree_[end.Other];
                if (CutOff(end.Other)) pending.push_back(end.Other);
            }
        }
    }

    const TPipeLine& s_;
    std::vector<char> keepNode_;
    std::vector<char> keepArea_;
    std::vector<int> drawnDegree_;
    std::vector<int> degree_;
};

}  // namespace

ElementRef ScenarioScheme::Origin(const ElementRef& e) const
{
    switch (e.Kind) {
    case ElementKind::Node: return {e.Kind, NodeOrigin[static_cast<std::size_t>(e.Number)], e.Floor};
    case ElementKind::Area: return {e.Kind, AreaOrigin[static_cast<std::size_t>(e.Number)], e.Floor};
    default: return e;
    }
}

ScenarioScheme BuildScenarioScheme(const TPipeLine& drawn, const TScenario& scenario)
{
    const Exclusion keep(drawn, scenario);
    const bool renumbered = !keep.Everything();
    ScenarioScheme out;
    TPipeLine& s = out.Scheme;
    s.FileName = drawn.FileName;
    s.EtagCount = drawn.EtagCount;
    s.ActiveEtag = drawn.ActiveEtag;
    s.Precision = drawn.Precision;
    s.RazVr = drawn.RazVr;
    s.VrSk = drawn.VrSk;
    s.FullReport = drawn.FullReport;

    out.NodeOrigin.assign(1, 0);
    out.NodeNumber.assign(drawn.Nodes.size(), 0);
    s.Nodes.reserve(drawn.Nodes.size());
    for (int n = 1; n <= NodeCount(drawn); ++n) {
        if (!keep.Node(n)) continue;
        const TNode& from = drawn.Nodes[n];
        TNode& to = s.Nodes.emplace_back();
        to.X = to.SavedX = from.X;
        to.Y = to.SavedY = from.Y;
        to.Kind = from.Kind;
        to.Etag = from.Etag;
        to.People = from.People;
        to.Mobility = from.Mobility;
        to.F = from.F;
        // A node labelled by its number keeps the label it has on the drawing.
        to.Name = renumbered && from.Name == kDefaultNodeName ? std::to_string(n) : from.Name;
        out.NodeNumber[static_cast<std::size_t>(n)] = NodeCount(s);
        out.NodeOrigin.push_back(n);
    }

    out.AreaOrigin.assign(1, 0);
    out.AreaNumber.assign(drawn.Areas.size(), 0);
    s.Areas.reserve(drawn.Areas.size());
    for (int a = 1; a <= AreaCount(drawn); ++a) {
        if (!keep.Area(a)) continue;
        const TArea& from = drawn.Areas[a];
        TArea& to = s.Areas.emplace_back();
        to.Node1 = out.NodeNumber[static_cast<std::size_t>(from.Node1)];
        to.Node2 = out.NodeNumber[static_cast<std::size_t>(from.Node2)];
        to.Etag = from.Etag;
        to.Length = from.Length;
        to.Width = from.Width;
        to.Kind = from.Kind;
        out.AreaNumber[static_cast<std::size_t>(a)] = AreaCount(s);
        out.AreaOrigin.push_back(a);
    }
    return out;
}

}  // namespace stelmar
