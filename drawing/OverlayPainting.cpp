#include "drawing/OverlayPainting.h"

#include <algorithm>

#include "drawing/SchemeDrawing.h"

namespace stelmar {
namespace {

constexpr TColor kFindingColor = 0x0000FF;   // red
constexpr TColor kLabelColor = 0x202020;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kGrey = 0x808080;

// Half way to white.
TColor Faded(TColor c)
{
    auto mix = [c](int shift) { return ((((c >> shift) & 0xFF) + 0xFF) / 2) << shift; };
    return static_cast<TColor>(mix(0) | mix(8) | mix(16));
}

bool Listed(const std::vector<char>& list, int i) { return i >= 0 && i < int(list.size()) && list[i]; }

const AreaOverlay* AreaOf(const SchemeOverlay& overlay, int area)
{
    if (area < 0 || area >= int(overlay.Areas.size()) || !overlay.Areas[area]) return nullptr;
    return &*overlay.Areas[area];
}

bool OnActiveFloor(const TPipeLine& s, const TArea& a)
{
    return a.Node1 >= 1 && a.Node1 <= NodeCount(s) && a.Node2 >= 1 && a.Node2 <= NodeCount(s) &&
           (s.Nodes[a.Node1].Etag == s.ActiveEtag || s.Nodes[a.Node2].Etag == s.ActiveEtag);
}

}  // namespace

TColor OverlayAreaColor(const SchemeOverlay* overlay, int area, TColor normal)
{
    const AreaOverlay* shown = overlay ? AreaOf(*overlay, area) : nullptr;
    if (!shown) return normal;
    return overlay->Faded ? Faded(shown->Color) : shown->Color;
}

void DrawOverlayUnderlays(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map,
                          const SchemeOverlay& overlay)
{
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!OnActiveFloor(s, a)) continue;
        const AreaOverlay* shown = AreaOf(overlay, i);
        const bool critical = shown && shown->Critical;
        const bool marked = Listed(overlay.MarkedAreas, i);
        if (!critical && !marked) continue;
        const QPoint p1 = map(s.Nodes[a.Node1]);
        const QPoint p2 = map(s.Nodes[a.Node2]);
        if (!vis.Area(p1, p2)) continue;
        if (critical) {
            c.SetPenColor(overlay.Faded ? Faded(kCriticalPathColor) : kCriticalPathColor);
            c.SetPenWidth(s.AreaWidth + 8);
            c.Line(p1.x(), p1.y(), p2.x(), p2.y());
        }
        if (marked) {
            c.SetPenColor(kFindingColor);
            c.SetPenWidth(s.AreaWidth + 4);
            c.Line(p1.x(), p1.y(), p2.x(), p2.y());
        }
    }
    c.SetPenWidth(1);
}

void DrawOverlayNodeMarks(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map,
                          const SchemeOverlay& overlay)
{
    c.SetPenColor(kFindingColor);
    c.SetPenWidth(2);
    for (int i = 1; i <= NodeCount(s); ++i) {
        if (!Listed(overlay.MarkedNodes, i) || s.Nodes[i].Etag != s.ActiveEtag) continue;
        const QPoint p = map(s.Nodes[i]);
        if (!vis.Node(p)) continue;
        const int r = std::max(10, s.NodeWidth / 2 + 5);
        c.Ring(p.x() - r, p.y() - r, p.x() + r + 1, p.y() + r + 1);
    }
    c.SetPenWidth(1);
}

void DrawOverlayLabels(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map,
                       const SchemeOverlay& overlay, const TextFont& font)
{
    const TColor color = overlay.Faded ? kGrey : kLabelColor;
    c.SetFont(font, color);
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        const AreaOverlay* shown = AreaOf(overlay, i);
        if (!shown || shown->Label.isEmpty() || !OnActiveFloor(s, a)) continue;
        const QPoint p1 = map(s.Nodes[a.Node1]);
        const QPoint p2 = map(s.Nodes[a.Node2]);
        if (!vis.Area(p1, p2)) continue;
        const QPoint mid((p1.x() + p2.x()) / 2, (p1.y() + p2.y()) / 2);
        c.TextOut(mid.x() + 6, mid.y() + 4, shown->Label);
    }
    for (int i = 1; i <= NodeCount(s) && i < int(overlay.NodeLabels.size()); ++i) {
        if (overlay.NodeLabels[i].isEmpty() || s.Nodes[i].Etag != s.ActiveEtag) continue;
        const QPoint p = map(s.Nodes[i]);
        if (vis.Node(p)) c.TextOut(p.x() - 8, p.y() + 12, overlay.NodeLabels[i]);
    }
}

void DrawOverlayLegend(Canvas& c, const QRect& box, const SchemeOverlay& overlay, const TextFont& font)
{
    if (overlay.Legend.empty()) return;
    constexpr int kLine = 18;
    constexpr int kSwatch = 24;
    const int lines = int(overlay.Legend.size()) + (overlay.LegendNote.isEmpty() ? 0 : 1);
    const QRect frame(box.left() + 8, box.top() + 8, 250, lines * kLine + 10);
    c.FillRect(frame, kWhite);
    c.SetPenColor(kGrey);
    c.SetPenWidth(1);
    const QPoint border[] = {frame.topLeft(), frame.topRight(), frame.bottomRight(), frame.bottomLeft(),
                             frame.topLeft()};
    c.Polyline(border, 5);
    int y = frame.top() + 6;
    for (const LegendEntry& entry : overlay.Legend) {
        c.SetPenColor(overlay.Faded ? Faded(entry.Color) : entry.Color);
        c.SetPenWidth(5);
        c.Line(frame.left() + 8, y + kLine / 2 - 2, frame.left() + 8 + kSwatch, y + kLine / 2 - 2);
        c.SetPenWidth(1);
        c.SetFont(font, overlay.Faded ? kGrey : kLabelColor);
        c.TextOut(frame.left() + 16 + kSwatch, y, entry.Caption);
        y += kLine;
    }
    if (!overlay.LegendNote.isEmpty()) {
        c.SetFont(font, kFindingColor);
        c.TextOut(frame.left() + 8, y, overlay.LegendNote);
    }
}

}  // namespace stelmar
