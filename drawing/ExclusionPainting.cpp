#include "drawing/ExclusionPainting.h"

#include "model/Scenarios.h"

namespace stelmar {

namespace {

void Cross(Canvas& c, const QPoint& at, int half)
{
    c.Line(at.x() - half, at.y() - half, at.x() + half + 1, at.y() + half + 1);
    c.Line(at.x() - half, at.y() + half, at.x() + half + 1, at.y() - half - 1);
}

}  // namespace

void DrawExcluded(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map)
{
    if (s.Scenarios.empty()) return;
    const TScenario& sc = ScenarioAt(s, ActiveScenarioIndex(s));
    if (sc.ExcludedNodes.empty() && sc.ExcludedAreas.empty()) return;
    c.SetPenColor(kExcludedColor);
    c.SetPenWidth(3);
    const int half = s.NodeWidth / 2 + 5;
    for (const int a : sc.ExcludedAreas) {
        if (a < 1 || a > AreaCount(s)) continue;
        const TNode& n1 = s.Nodes[s.Areas[a].Node1];
        const TNode& n2 = s.Nodes[s.Areas[a].Node2];
        if (n1.Etag != s.ActiveEtag && n2.Etag != s.ActiveEtag) continue;
        const QPoint p1 = map(n1);
        const QPoint p2 = map(n2);
        if (!vis.Area(p1, p2)) continue;
        Cross(c, (p1 + p2) / 2, half);
    }
    for (const int n : sc.ExcludedNodes) {
        if (n < 1 || n > NodeCount(s) || s.Nodes[n].Etag != s.ActiveEtag) continue;
        const QPoint at = map(s.Nodes[n]);
        if (vis.Node(at)) Cross(c, at, half);
    }
}

}  // namespace stelmar
