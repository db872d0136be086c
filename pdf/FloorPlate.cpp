#include "pdf/FloorPlate.h"

#include <QFontMetricsF>
#include <QLineF>
#include <algorithm>
#include <cmath>

#include "model/NumberText.h"
#include "model/drawing/DeviceDrawing.h"

namespace stelmar {

namespace {

// Room around the nodes for their labels, canvas pixels.
constexpr int kMargin = 40;
// Lines of the results over the drawing, canvas pixels: wider than the
// areas' own lines, which they cover.
constexpr double kResultWidth = 4;
constexpr double kPathBorder = 5;

bool OnFloor(const TPipeLine& s, const TArea& a, int floor)
{
    const int nodes = NodeCount(s);
    if (a.Node1 < 1 || a.Node1 > nodes || a.Node2 < 1 || a.Node2 > nodes) return false;
    return s.Nodes[a.Node1].Etag == floor || s.Nodes[a.Node2].Etag == floor;
}

// The area's line without the node symbols at its ends.
QLineF Between(const TNode& a, const TNode& b, double cut)
{
    QLineF line(a.X, a.Y, b.X, b.Y);
    const double length = line.length();
    if (length <= 2 * cut) return QLineF();
    const QPointF step = (line.p2() - line.p1()) * (cut / length);
    return QLineF(line.p1() + step, line.p2() - step);
}

void PaintResults(const TPipeLine& s, int floor, const std::vector<AreaResult>& results, QPainter& painter)
{
    const double cut = s.NodeWidth / 2.0 + 3;
    const double width = std::max<double>(kResultWidth, s.AreaWidth + 2);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 1; i <= AreaCount(s) && i < static_cast<int>(results.size()); ++i) {
            const TArea& a = s.Areas[i];
            if (!OnFloor(s, a, floor)) continue;
            const AreaResult& r = results[i];
            if (pass == 0 && !r.Critical) continue;
            const QLineF line = Between(s.Nodes[a.Node1], s.Nodes[a.Node2], cut);
            if (line.isNull()) continue;
            QPen pen(pass == 0 ? QColor(20, 20, 20) : MovementColor(r.Movement));
            pen.setWidthF(pass == 0 ? width + kPathBorder : width);
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(line);
        }
    }
}

// The time at the end of each used area, beside its middle, where the
// area is long enough on the page to hold it.
void PaintTimes(const TPipeLine& s, int floor, const std::vector<AreaResult>& results, char separator,
                QPainter& painter, double scale, double labelSize)
{
    const QPaintDevice* device = painter.device();
    const double dpi = device ? device->logicalDpiY() : 72;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(labelSize * 72 / (dpi * scale));
    painter.setFont(font);
    const QFontMetricsF metrics(font, device);
    for (int i = 1; i <= AreaCount(s) && i < static_cast<int>(results.size()); ++i) {
        const TArea& a = s.Areas[i];
        const AreaResult& r = results[i];
        if (!OnFloor(s, a, floor) || r.Steps == 0) continue;
        const TNode& n1 = s.Nodes[a.Node1];
        const TNode& n2 = s.Nodes[a.Node2];
        const QString text = QString::fromStdString(FormatReal(r.TotalTime, separator));
        const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
        const double length = std::hypot(n2.X - n1.X, n2.Y - n1.Y);
        if (length < 1.4 * std::max(size.width(), size.height())) continue;
        const QPointF middle((n1.X + n2.X) / 2.0, (n1.Y + n2.Y) / 2.0);
        const QRectF box(middle + QPointF(2, 2), size);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 210));
        painter.drawRect(box);
        painter.setPen(QColor(30, 30, 30));
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

}  // namespace

QColor MovementColor(AreaMovement movement)
{
    switch (movement) {
    case AreaMovement::Free: return QColor(0, 150, 60);
    case AreaMovement::Slowed: return QColor(235, 160, 0);
    case AreaMovement::Bottleneck: return QColor(215, 25, 25);
    case AreaMovement::Accumulation: return QColor(150, 30, 170);
    case AreaMovement::Unused: break;
    }
    return QColor(165, 165, 165);
}

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

void PaintFloorResults(TPipeLine& view, int floor, const std::vector<AreaResult>& results, char separator,
                       QPainter& painter, const QRectF& target, double labelSize)
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
    DrawOnDevice(view, painter, QSize(std::max(view.WSpaceG, 1), std::max(view.WSpaceV, 1)));
    painter.setClipRect(bounds);
    PaintResults(view, floor, results, painter);
    PaintTimes(view, floor, results, separator, painter, scale, labelSize);
    painter.restore();
    painter.setPen(QPen(QColor(120, 120, 120), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(target);
}

}  // namespace stelmar
