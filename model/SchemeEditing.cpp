#include "model/SchemeEditing.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/Scenarios.h"

namespace stelmar {

namespace {

// The 5-pixel grid: v div 5 * 5 + 2, the division truncating towards zero.
int Snapped(int v) { return v / 5 * 5 + 2; }

int Rounded(double v) { return static_cast<int>(std::nearbyint(v)); }

// Keeps the nodes whose keep[i] is true, in order, drops every area attached
// to a dropped node and renumbers the remaining references.
void KeepNodes(TPipeLine& s, const std::vector<bool>& keep)
{
    std::vector<int> newNumber(s.Nodes.size(), 0);
    int next = 0;
    for (int i = 1; i <= NodeCount(s); ++i) {
        if (keep[i]) newNumber[i] = ++next;
    }
    auto dropped = [&](const TArea& a) { return newNumber[a.Node1] == 0 || newNumber[a.Node2] == 0; };
    s.Areas.erase(std::remove_if(s.Areas.begin() + 1, s.Areas.end(), dropped), s.Areas.end());
    for (int i = 1; i <= AreaCount(s); ++i) {
        s.Areas[i].Node1 = newNumber[s.Areas[i].Node1];
        s.Areas[i].Node2 = newNumber[s.Areas[i].Node2];
    }
    int to = 1;
    for (int i = 1; i <= NodeCount(s); ++i) {
        if (!keep[i]) continue;
        if (to != i) s.Nodes[to] = std::move(s.Nodes[i]);
        ++to;
    }
    s.Nodes.resize(to);
}

}  // namespace

void AddNode(TPipeLine& s, std::uint8_t kind)
{
    s.Modified = true;
    TNode& n = s.Nodes.emplace_back();
    n.Kind = kind;
    n.People = 0;
    n.Mobility = 0;
    n.F = 0.1;
    n.FlowCount = 0;
    n.Name = kDefaultNodeName;
    n.Etag = s.ActiveEtag;
    n.X = s.Snap ? Snapped(s.MouseX) : s.MouseX;
    n.Y = s.Snap ? Snapped(s.MouseY) : s.MouseY;
    n.SavedX = n.X;
    n.SavedY = n.Y;
    n.Hot = true;
}

void AddArea(TPipeLine& s, int node1, int node2, double length, double width,
             std::uint8_t kind)
{
    s.Modified = true;
    TArea& a = s.Areas.emplace_back();
    a.Node1 = node1;
    a.Node2 = node2;
    a.Length = length;
    a.Width = width;
    a.Kind = kind;
    a.Hot = true;
    a.Selected = false;
    a.Etag = s.ActiveEtag;
}

void SplitArea(TPipeLine& s, int area, int node)
{
    AddArea(s, node, s.Areas[area].Node2, 0, 0, kHorizontal);
    s.Areas[area].Node2 = node;
    SplitInScenarios(s, area, AreaCount(s));
}

void DeleteArea(TPipeLine& s, int k)
{
    if (!s.Scenarios.empty()) ForgetInScenarios(s, {}, {k});
    s.Areas.erase(s.Areas.begin() + k);
}

void DeleteNode(TPipeLine& s, int k)
{
    if (s.AreaFrom == k) {
        s.AreaFrom = 0;
    } else if (s.AreaFrom > k) {
        --s.AreaFrom;
    }
    auto attached = [k](const TArea& a) { return a.Node1 == k || a.Node2 == k; };
    if (!s.Scenarios.empty()) {
        std::vector<int> areas;
        for (int i = 1; i <= AreaCount(s); ++i)
            if (attached(s.Areas[i])) areas.push_back(i);
        ForgetInScenarios(s, {k}, areas);
    }
    s.Areas.erase(std::remove_if(s.Areas.begin() + 1, s.Areas.end(), attached), s.Areas.end());
    for (int i = 1; i <= AreaCount(s); ++i) {
        if (s.Areas[i].Node1 > k) --s.Areas[i].Node1;
        if (s.Areas[i].Node2 > k) --s.Areas[i].Node2;
    }
    s.Nodes.erase(s.Nodes.begin() + k);
}

void DeleteSelection(TPipeLine& s)
{
    s.Modified = true;
    if (!s.Scenarios.empty()) {
        std::vector<int> nodes;
        std::vector<int> areas;
        for (int i = 1; i <= NodeCount(s); ++i)
            if (s.Nodes[i].Selected) nodes.push_back(i);
        for (int i = 1; i <= AreaCount(s); ++i) {
            const TArea& a = s.Areas[i];
            if (a.Selected || s.Nodes[a.Node1].Selected || s.Nodes[a.Node2].Selected) areas.push_back(i);
        }
        ForgetInScenarios(s, nodes, areas);
    }
    s.Areas.erase(std::remove_if(s.Areas.begin() + 1, s.Areas.end(),
                                 [](const TArea& a) { return a.Selected; }),
                  s.Areas.end());
    std::vector<bool> keep(s.Nodes.size());
    for (int i = 1; i <= NodeCount(s); ++i) keep[i] = !s.Nodes[i].Selected;
    if (s.AreaFrom > 0 && s.AreaFrom <= NodeCount(s)) {
        const int from = s.AreaFrom;
        s.AreaFrom = keep[from] ? static_cast<int>(std::count(keep.begin() + 1, keep.begin() + from + 1, true)) : 0;
    }
    KeepNodes(s, keep);
}

void CloseFloorGap(TPipeLine& s, std::uint8_t floor)
{
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Etag > floor) --s.Nodes[i].Etag;
    for (int i = 1; i <= AreaCount(s); ++i)
        if (s.Areas[i].Etag > floor) --s.Areas[i].Etag;
    for (int f = floor; f < s.EtagCount; ++f) {
        s.Backgrounds[f] = s.Backgrounds[f + 1];
        s.Plans[f] = std::move(s.Plans[f + 1]);
    }
    s.Backgrounds[s.EtagCount].reset();
    s.Plans[s.EtagCount] = TFloorPlan{};
    --s.EtagCount;
}

std::vector<int> MovedNodes(const TPipeLine& s)
{
    std::vector<int> nodes;
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Selected) nodes.push_back(i);
    if (!nodes.empty()) return nodes;
    std::vector<bool> taken(s.Nodes.size());
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!a.Selected) continue;
        for (const int end : {a.Node1, a.Node2}) {
            if (taken[end]) continue;
            taken[end] = true;
            nodes.push_back(end);
        }
    }
    return nodes;
}

void MoveSelection(TPipeLine& s)
{
    const int dx = s.MouseX - s.AnchorX;
    const int dy = s.MouseY - s.AnchorY;
    for (const int i : MovedNodes(s)) {
        TNode& n = s.Nodes[i];
        n.X = n.SavedX + dx;
        n.Y = n.SavedY + dy;
        if (s.Snap) {
            n.X = Snapped(n.X);
            n.Y = Snapped(n.Y);
        }
    }
}

void RotateSelection(TPipeLine& s)
{
    const double t = std::atan2(double(s.MouseY - s.AnchorY), double(s.MouseX - s.AnchorX));
    for (const int i : MovedNodes(s)) {
        TNode& n = s.Nodes[i];
        const double u = n.SavedX - s.AnchorX;
        const double w = n.SavedY - s.AnchorY;
        const double r = std::sqrt(u * u + w * w);
        const double a = std::atan2(w, u) + t;
        n.X = Rounded(s.AnchorX + r * std::cos(a));
        n.Y = Rounded(s.AnchorY + r * std::sin(a));
        if (s.Snap) {
            n.X = Snapped(n.X);
            n.Y = Snapped(n.Y);
        }
    }
}

void CopySelection(TPipeLine& s)
{
    s.ClipX = s.MouseX;
    s.ClipY = s.MouseY;
    s.ClipNodes.assign(1, TNode{});
    s.ClipAreas.assign(1, TArea{});
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!a.Selected && !a.Hot) continue;
        s.ClipAreas.push_back(a);
        s.Nodes[a.Node1].Selected = true;
        s.Nodes[a.Node2].Selected = true;
    }
    for (int i = 1; i <= NodeCount(s); ++i) {
        const TNode& n = s.Nodes[i];
        if (!n.Selected && !n.Hot) continue;
        s.ClipNodes.emplace_back(n).CopyIndex = i;
    }
}

void PasteClipboard(TPipeLine& s)
{
    s.Modified = true;
    // The clipboard refers to nodes by their numbers at copy time; map each
    // of them to the number of its pasted copy.
    std::unordered_map<int, int> pastedNumber;
    for (std::size_t j = 1; j < s.ClipNodes.size(); ++j) {
        const TNode& c = s.ClipNodes[j];
        TNode& n = s.Nodes.emplace_back();
        n.Kind = c.Kind;
        n.People = c.People;
        n.F = c.F;
        n.FlowCount = c.FlowCount;
        n.Mobility = 0;
        n.Name = kDefaultNodeName;
        n.Etag = s.ActiveEtag;
        n.X = c.X + s.MouseX - s.ClipX;
        n.Y = c.Y + s.MouseY - s.ClipY;
        n.SavedX = n.X;
        n.SavedY = n.Y;
        n.Hot = false;
        n.Selected = true;
        pastedNumber[c.CopyIndex] = NodeCount(s);
    }
    for (std::size_t j = 1; j < s.ClipAreas.size(); ++j) {
        const TArea& c = s.ClipAreas[j];
        const auto end1 = pastedNumber.find(c.Node1);
        const auto end2 = pastedNumber.find(c.Node2);
        // An area whose end was not copied has nothing to attach to.
        if (end1 == pastedNumber.end() || end2 == pastedNumber.end()) continue;
        TArea& a = s.Areas.emplace_back();
        a.Node1 = end1->second;
        a.Node2 = end2->second;
        a.Length = c.Length;
        a.Width = c.Width;
        a.Kind = c.Kind;
        a.Drawn = c.Drawn;
        a.Hot = false;
        a.Selected = true;
        a.Etag = s.ActiveEtag;
    }
    s.ClipNodes.clear();
    s.ClipAreas.clear();
}

void SaveNodePositions(TPipeLine& s)
{
    for (TNode& n : s.Nodes) {
        n.SavedX = n.X;
        n.SavedY = n.Y;
    }
}

}  // namespace stelmar
