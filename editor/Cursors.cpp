#include "editor/Cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace stelmar {

namespace {

constexpr int kSide = 32;
constexpr QPointF kHotSpot(8.5, 8.5);
const QColor kInputBlue(0x15, 0x65, 0xC0);
const QColor kExitRed(0xC6, 0x28, 0x28);
const QColor kSchemeGreen(0x00, 0x80, 0x00);

// A thin black line with a white border, visible on light and dark plans.
void Outlined(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, width + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void Cross(QPainter& p)
{
    QPainterPath cross;
    cross.moveTo(kHotSpot.x(), 1.5);
    cross.lineTo(kHotSpot.x(), 6.5);
    cross.moveTo(kHotSpot.x(), 10.5);
    cross.lineTo(kHotSpot.x(), 15.5);
    cross.moveTo(1.5, kHotSpot.y());
    cross.lineTo(6.5, kHotSpot.y());
    cross.moveTo(10.5, kHotSpot.y());
    cross.lineTo(15.5, kHotSpot.y());
    Outlined(p, cross, Qt::black, 1);
}

// A node circle with a white inside.
void Circle(QPainter& p, QPointF centre, qreal radius, const QColor& colour)
{
    p.setPen(QPen(Qt::white, 4));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(colour, 2));
    p.drawEllipse(centre, radius, radius);
}

// A right-pointing arrow from x1 to x2 at height y.
void Arrow(QPainter& p, qreal x1, qreal x2, qreal y, const QColor& colour)
{
    QPainterPath shaft;
    shaft.moveTo(x1, y);
    shaft.lineTo(x2 - 3, y);
    Outlined(p, shaft, colour, 2);
    QPolygonF head;
    head << QPointF(x2, y) << QPointF(x2 - 5, y - 3.5) << QPointF(x2 - 5, y + 3.5);
    p.setPen(QPen(colour, 1));
    p.setBrush(colour);
    p.drawPolygon(head);
}

void DrawSymbol(QPainter& p, int shape)
{
    switch (shape) {
    case 1:  // input: an arrow into a circle
        Circle(p, QPointF(24, 23), 5.5, kInputBlue);
        Arrow(p, 11, 25, 23, kInputBlue);
        break;
    case 2:  // exit: an arrow out of a circle
        Circle(p, QPointF(18, 23), 5.5, kExitRed);
        Arrow(p, 18, 31, 23, kExitRed);
        break;
    case 3:  // junction
        Circle(p, QPointF(22, 22), 5, kSchemeGreen);
        break;
    case 4: {  // area: two nodes joined by a path
        QPainterPath line;
        line.moveTo(14, 28);
        line.lineTo(28, 16);
        Outlined(p, line, kSchemeGreen, 2);
        Circle(p, QPointF(14, 28), 2.5, kSchemeGreen);
        Circle(p, QPointF(28, 16), 2.5, kSchemeGreen);
        break;
    }
    case 5: {  // delete: a red cross
        QPainterPath cross;
        cross.moveTo(16, 16);
        cross.lineTo(28, 28);
        cross.moveTo(28, 16);
        cross.lineTo(16, 28);
        Outlined(p, cross, kExitRed, 3);
        break;
    }
    default: break;
    }
}

QCursor PaintedCursor(int shape)
{
    QPixmap picture(kSide, kSide);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        DrawSymbol(p, shape);
        Cross(p);
    }
    return QCursor(picture, static_cast<int>(kHotSpot.x()), static_cast<int>(kHotSpot.y()));
}

}  // namespace

QCursor ToolCursor(int shape)
{
    switch (shape) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5: return PaintedCursor(shape);
    case kHandPointer: return QCursor(Qt::PointingHandCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

}  // namespace stelmar
