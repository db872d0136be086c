#include "editor/CanvasWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

#include "editor/CanvasTools.h"
#include "editor/Cursors.h"

namespace stelmar {

CanvasWidget::CanvasWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName("img");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void CanvasWidget::SetExtent(const QSize& extent, double zoom)
{
    extent_ = extent;
    zoom_ = zoom;
    const QSize size(std::max(1, static_cast<int>(std::lround(extent.width() * zoom))),
                     std::max(1, static_cast<int>(std::lround(extent.height() * zoom))));
    if (this->size() != size) setFixedSize(size);
}

void CanvasWidget::ShowImage(const QPoint& origin)
{
    origin_ = origin;
    update();
}

QPoint CanvasWidget::ToWidget(int x, int y) const
{
    return {static_cast<int>(std::lround(x * zoom_)), static_cast<int>(std::lround(y * zoom_))};
}

QPoint CanvasWidget::ToCanvas(const QPointF& widget) const
{
    return {static_cast<int>(std::lround(widget.x() / zoom_)), static_cast<int>(std::lround(widget.y() / zoom_))};
}

void CanvasWidget::SetPointerShape(int shape)
{
    if (shape == pointerShape_) return;
    pointerShape_ = shape;
    setCursor(ToolCursor(shape));
}

// The picture covers the visible box; anything else the widget is asked
// to paint (before the first Draw) is white.
void CanvasWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    const QRect shown = QRect(origin_, image_.size()).intersected(area);
    if (shown != area) painter.fillRect(area, Qt::white);
    if (!shown.isEmpty()) painter.drawImage(shown.topLeft(), image_, shown.translated(-origin_));
    if (pickMarks_.empty() && !pickFollows_) return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 0, 200), 1));
    for (const QPointF& p : pickMarks_) {
        const QPointF at = p * zoom_;
        painter.drawLine(at - QPointF(8, 0), at + QPointF(8, 0));
        painter.drawLine(at - QPointF(0, 8), at + QPointF(0, 8));
        painter.drawEllipse(at, 4, 4);
    }
    if (pickFollows_ && !pickMarks_.empty()) {
        painter.setPen(QPen(QColor(200, 0, 200), 1, Qt::DashLine));
        painter.drawLine(pickMarks_.back() * zoom_, pointer_);
    }
}

void CanvasWidget::SetPickMarks(std::vector<QPointF> points, bool followPointer)
{
    pickMarks_ = std::move(points);
    pickFollows_ = followPointer;
    update();
}

void CanvasWidget::mousePressEvent(QMouseEvent* event)
{
    if (tools_) tools_->Press(event->button(), event->buttons(), event->modifiers(), event->position());
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event)
{
    pointer_ = event->position();
    if (pickFollows_ && !pickMarks_.empty()) update();
    if (tools_) tools_->Move(event->buttons(), event->modifiers(), event->position());
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent*)
{
    if (tools_) tools_->Release();
}

void CanvasWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (tools_) tools_->DoubleClick(event->button(), event->buttons(), event->modifiers(), event->position());
}

void CanvasWidget::wheelEvent(QWheelEvent* event)
{
    if (tools_) tools_->Wheel(event->angleDelta(), event->modifiers(), event->position());
    event->accept();
}

}  // namespace stelmar
