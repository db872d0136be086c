#include "drawing/FloorExtent.h"

#include <QFontMetrics>
#include <algorithm>

#include "drawing/SchemeDrawing.h"

namespace stelmar {

QRect ElementsExtent(const TPipeLine& s, int floor)
{
    int left = 0, top = 0, right = -1, bottom = -1;
    const auto take = [&](const TNode& n) {
        if (right < left) {
            left = right = n.X;
            top = bottom = n.Y;
            return;
        }
        left = std::min(left, n.X);
        right = std::max(right, n.X);
        top = std::min(top, n.Y);
        bottom = std::max(bottom, n.Y);
    };
    const int nodes = NodeCount(s);
    for (int i = 1; i <= nodes; ++i)
        if (s.Nodes[i].Etag == floor) take(s.Nodes[i]);
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (a.Node1 < 1 || a.Node1 > nodes || a.Node2 < 1 || a.Node2 > nodes) continue;
        if (s.Nodes[a.Node1].Etag != floor && s.Nodes[a.Node2].Etag != floor) continue;
        take(s.Nodes[a.Node1]);
        take(s.Nodes[a.Node2]);
    }
    if (right < left) return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRect FloorExtent(const TPipeLine& s, int floor, int margin)
{
    const QRect canvas(0, 0, std::max(s.WSpaceG, 1), std::max(s.WSpaceV, 1));
    QRect extent = ElementsExtent(s, floor);
    if (!extent.isNull()) extent = extent.adjusted(-margin, -margin, margin, margin);
    // Node labels longer than the margin.
    if (s.ShowNumbers || s.ShowNumPeople) {
        const QFontMetrics metrics(LabelFont(s.Font));
        const int height = 2 * metrics.height() + 4;
        for (int i = 1; i <= NodeCount(s); ++i) {
            const TNode& n = s.Nodes[i];
            if (n.Etag != floor) continue;
            int width = 0;
            if (s.ShowNumbers) width = metrics.horizontalAdvance(QString::fromStdString(NodeLabel(s, i)));
            if (s.ShowNumPeople && n.Kind == kInput)
                width = std::max(width, metrics.horizontalAdvance(QString::number(n.People) + QStringLiteral(" чел.")));
            if (width + s.LNum + 4 > margin) extent = extent.united(QRect(n.X, n.Y, width + s.LNum + 4, height));
        }
    }
    if (floor >= 1 && floor <= kMaxFloors) {
        const BitmapRef& picture = s.Backgrounds[std::size_t(floor)];
        if (picture && picture->Width > 0 && picture->Height > 0)
            extent = extent.united(QRect(0, 0, picture->Width, picture->Height));
    }
    if (extent.isNull()) return QRect();
    const QRect inside = extent.intersected(canvas);
    return inside.isEmpty() ? extent : inside;
}

}  // namespace stelmar
