#include "editor/CanvasWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "editor/CanvasTools.h"
#include "editor/Cursors.h"

namespace stelmar {

namespace {

QPoint Position(const QMouseEvent* event)
{
    return event->position().toPoint();
}

}  // namespace

CanvasWidget::CanvasWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName("img");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void CanvasWidget::ResetImage(int width, int height)
{
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(Qt::white);
    FitToImage();
}

void CanvasWidget::FitToImage()
{
    if (size() != image_.size()) setFixedSize(image_.size());
    update();
}

void CanvasWidget::SetPointerShape(int shape)
{
    if (shape == pointerShape_) return;
    pointerShape_ = shape;
    setCursor(ToolCursor(shape));
}

void CanvasWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area, image_, area);
}

void CanvasWidget::mousePressEvent(QMouseEvent* event)
{
    if (!tools_) return;
    const QPoint at = Position(event);
    tools_->Press(event->button(), event->buttons(), event->modifiers(), at.x(), at.y());
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!tools_) return;
    const QPoint at = Position(event);
    tools_->Move(event->buttons(), event->modifiers(), at.x(), at.y());
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent*)
{
    if (tools_) tools_->Release();
}

void CanvasWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!tools_) return;
    const QPoint at = Position(event);
    tools_->DoubleClick(event->button(), event->buttons(), event->modifiers(), at.x(), at.y());
}

void CanvasWidget::wheelEvent(QWheelEvent* event)
{
    if (tools_) tools_->Wheel(event->angleDelta().y());
    event->accept();
}

}  // namespace stelmar
