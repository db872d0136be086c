#pragma once

// The drawing canvas `img`: a widget inside the scroll box that shows the
// canvas image, whose visible part Draw repaints, and passes the pointer
// and wheel events to the drawing tools in canvas pixels.

#include <QImage>
#include <QWidget>

namespace stelmar {

class CanvasTools;

class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    explicit CanvasWidget(QWidget* parent = nullptr);

    QImage& Image() { return image_; }

    // A fresh white canvas of the given size.
    void ResetImage(int width, int height);
    // Takes over the size of the image after Draw widened it.
    void FitToImage();

    // The tools that handle the pointer and the wheel over the canvas.
    void SetTools(CanvasTools* tools) { tools_ = tools; }

    // Shows the pointer of the given shape (Cursors.h) over the canvas.
    void SetPointerShape(int shape);
    int PointerShape() const { return pointerShape_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QImage image_;
    CanvasTools* tools_ = nullptr;
    int pointerShape_ = 0;
};

}  // namespace stelmar
