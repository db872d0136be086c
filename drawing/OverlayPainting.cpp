#include "drawing/OverlayPainting.h"

#include <algorithm>
#include <map>

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

Qt::PenStyle OverlayAreaStyle(const SchemeOverlay* overlay, int area)
{
    const AreaOverlay* shown = overlay ? AreaOf(*overlay, area) : nullptr;
    return shown ? shown->Style : Qt::SolidLine;
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

void DrawOverlayLabels(const TPipeLine& s, Canvas& c, const Visibility& near, const ViewMap& map,
                       const SchemeOverlay& overlay, const TextFont& font, LabelPlacer& placer)
{
    const TColor color = overlay.Faded ? kGrey : kLabelColor;
    c.SetFont(font, color);
    // The lines that end at a labelled node: its label keeps off them where
    // it can.
    std::map<int, std::vector<QLine>> ends;
    for (int i = 1; i <= NodeCount(s) && i < int(overlay.NodeLabels.size()); ++i) {
        if (overlay.NodeLabels[i].isEmpty() || s.Nodes[i].Etag != s.ActiveEtag) continue;
        if (near.Node(map(s.Nodes[i]))) ends[i];
    }
    if (!ends.empty())
        for (int i = 1; i <= AreaCount(s); ++i) {
            const TArea& a = s.Areas[i];
            if (!OnActiveFloor(s, a)) continue;
            const QLine line(map(s.Nodes[a.Node1]), map(s.Nodes[a.Node2]));
            for (const int node : {a.Node1, a.Node2})
                if (const auto at = ends.find(node); at != ends.end()) at->second.push_back(line);
        }
    for (auto& [i, lines] : ends) {
        const QPoint p = map(s.Nodes[i]);
        const QSize size = font.Size(overlay.NodeLabels[i]);
        if (const auto at = placer.Place(size, ClearOfLines(PointPlaces(p, 11, size), size, lines)))
            c.TextOut(at->x(), at->y(), overlay.NodeLabels[i]);
    }
    // The path of t_p, then the bottlenecks, then the rest.
    const auto rank = [](const AreaOverlay& shown) { return shown.Critical ? 0 : shown.Bottleneck ? 1 : 2; };
    for (int pass = 0; pass < 3; ++pass)
        for (int i = 1; i <= AreaCount(s); ++i) {
            const AreaOverlay* shown = AreaOf(overlay, i);
            if (!shown || shown->Label.isEmpty() || rank(*shown) != pass) continue;
            const TArea& a = s.Areas[i];
            if (!OnActiveFloor(s, a)) continue;
            const QPoint p1 = map(s.Nodes[a.Node1]);
            const QPoint p2 = map(s.Nodes[a.Node2]);
            if (!near.Area(p1, p2)) continue;
            const QSize size = font.Size(shown->Label);
            if (const auto at = placer.Place(size, LinePlaces(p1, p2, size))) c.TextOut(at->x(), at->y(), shown->Label);
        }
}

namespace {

constexpr int kLegendLine = 18;
constexpr int kLegendSwatch = 24;

}  // namespace

QRect LegendFrame(const SchemeOverlay& overlay, const TextFont& font)
{
    int width = 0;
    for (const LegendEntry& entry : overlay.Legend) width = std::max(width, font.Size(entry.Caption).width());
    width += 16 + kLegendSwatch + 8;
    if (!overlay.LegendNote.isEmpty()) width = std::max(width, font.Size(overlay.LegendNote).width() + 16);
    const int lines = int(overlay.Legend.size()) + (overlay.LegendNote.isEmpty() ? 0 : 1);
    return QRect(0, 0, width, lines * kLegendLine + 10);
}

void DrawOverlayLegend(Canvas& c, const QRect& box, const QRect& drawing, const SchemeOverlay& overlay,
                       const TextFont& font)
{
    if (overlay.Legend.empty() || !overlay.ShowLegend) return;
    constexpr int kInset = 8;
    const QRect size = LegendFrame(overlay, font);
    const QRect inner = box.adjusted(kInset, kInset, -kInset, -kInset);
    const QRect corners[] = {
        size.translated(inner.topLeft()), size.translated(inner.right() - size.width() + 1, inner.top()),
        size.translated(inner.right() - size.width() + 1, inner.bottom() - size.height() + 1),
        size.translated(inner.left(), inner.bottom() - size.height() + 1)};
    QRect frame = corners[0];
    long long least = -1;
    for (const QRect& corner : corners) {
        const QRect covered = corner.intersected(drawing);
        const long long area = covered.isEmpty() ? 0 : 1LL * covered.width() * covered.height();
        if (least < 0 || area < least) {
            least = area;
            frame = corner;
        }
        if (area == 0) break;
    }
    c.FillRect(frame, kWhite);
    c.SetPenColor(kGrey);
    c.SetPenWidth(1);
    const QPoint border[] = {frame.topLeft(), frame.topRight(), frame.bottomRight(), frame.bottomLeft(),
                             frame.topLeft()};
    c.Polyline(border, 5);
    int y = frame.top() + 6;
    for (const LegendEntry& entry : overlay.Legend) {
        c.SetPenColor(overlay.Faded ? Faded(entry.Color) : entry.Color);
        c.SetPenWidth(entry.Width);
        c.SetPenStyle(entry.Style);
        c.Line(frame.left() + 8, y + kLegendLine / 2 - 2, frame.left() + 8 + kLegendSwatch, y + kLegendLine / 2 - 2);
        c.SetPenStyle(Qt::SolidLine);
        c.SetPenWidth(1);
        c.SetFont(font, overlay.Faded ? kGrey : kLabelColor);
        c.TextOut(frame.left() + 16 + kLegendSwatch, y, entry.Caption);
        y += kLegendLine;
    }
    if (!overlay.LegendNote.isEmpty()) {
        c.SetFont(font, kFindingColor);
        c.TextOut(frame.left() + 8, y, overlay.LegendNote);
    }
}

}  // namespace stelmar
