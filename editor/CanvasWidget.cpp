#include "editor/CanvasWidget.h"

#include <QPaintEvent>
#include <QPainter>

namespace stelmar {

CanvasWidget::CanvasWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName("img");
    setAttribute(Qt::WA_OpaquePaintEvent);
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

void CanvasWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area, image_, area);
}

}  // namespace stelmar
