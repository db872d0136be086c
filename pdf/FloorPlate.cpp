#include "pdf/FloorPlate.h"

#include <algorithm>

#include "drawing/DeviceDrawing.h"

namespace stelmar {

namespace {

// Room around the nodes for their labels, canvas pixels.
constexpr int kMargin = 40;

bool OnFloor(const TPipeLine& s, const TArea& a, int floor)
{
    const int nodes = NodeCount(s);
    if (a.Node1 < 1 || a.Node1 > nodes || a.Node2 < 1 || a.Node2 > nodes) return false;
    return s.Nodes[a.Node1].Etag == floor || s.Nodes[a.Node2].Etag == floor;
}

}  // namespace

QRect FloorBounds(const TPipeLine& s, int floor)
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
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Etag == floor) take(s.Nodes[i]);
    if (right < left) return QRect();
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!OnFloor(s, a, floor)) continue;
        take(s.Nodes[a.Node1]);
        take(s.Nodes[a.Node2]);
    }
    const QRect canvas(0, 0, std::max(s.WSpaceG, 1), std::max(s.WSpaceV, 1));
    const QRect box = QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-kMargin, -kMargin, kMargin, kMargin);
    const QRect inside = box.intersected(canvas);
    return inside.isEmpty() ? box : inside;
}

void PaintFloorResults(TPipeLine& view, int floor, const SchemeOverlay& overlay, QPainter& painter,
                       const QRectF& target)
{
    view.ActiveEtag = static_cast<std::uint8_t>(floor);
    view.Opened = true;
    view.AreaFrom = 0;
    view.Banding = false;
    for (TNode& n : view.Nodes) n.Hot = n.Selected = false;
    for (TArea& a : view.Areas) a.Hot = a.Selected = false;
    const QRect bounds = FloorBounds(view, floor);
    if (bounds.isEmpty()) return;

    const double scale = std::min(target.width() / bounds.width(), target.height() / bounds.height());
    painter.save();
    painter.translate(target.left() + (target.width() - bounds.width() * scale) / 2,
                      target.top() + (target.height() - bounds.height() * scale) / 2);
    painter.scale(scale, scale);
    painter.translate(-bounds.topLeft());
    painter.setClipRect(bounds);
    DrawOnDevice(view, painter, QSize(std::max(view.WSpaceG, 1), std::max(view.WSpaceV, 1)), &overlay);
    painter.restore();
    painter.setPen(QPen(QColor(120, 120, 120), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(target);
}

}  // namespace stelmar
