#pragma once

// The drawing canvas `img`: a widget inside the scroll box as large as the
// canvas at the zoom in use. It shows the picture of the visible box that
// Draw paints, and passes the pointer and wheel events to the drawing tools
// in its own pixels (the tools turn them into canvas pixels).

#include <QImage>
#include <QWidget>
#include <vector>

#include "drawing/SchemeDrawing.h"

namespace stelmar {

class CanvasTools;

// The zoom's range and the factor of one step (a wheel notch, Ctrl+= or
// Ctrl+-).
inline constexpr double kMinZoom = 0.1;
inline constexpr double kMaxZoom = 8.0;
inline constexpr double kZoomStep = 1.25;

class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    explicit CanvasWidget(QWidget* parent = nullptr);

    // The picture of the visible box, painted by Draw.
    QImage& Image() { return image_; }
    BackgroundCache& Backgrounds() { return backgrounds_; }

    // The canvas is `extent` canvas pixels large and shown at `zoom`
    // (screen pixels per canvas pixel).
    void SetExtent(const QSize& extent, double zoom);
    QSize Extent() const { return extent_; }
    double Zoom() const { return zoom_; }
    // Shows the picture painted for the box whose top-left is `origin`.
    void ShowImage(const QPoint& origin);

    // Canvas pixels to the widget's pixels, and back to the nearest canvas
    // pixel.
    QPoint ToWidget(int x, int y) const;
    QPoint ToCanvas(const QPointF& widget) const;
    // The canvas point under a widget point, fractions kept.
    QPointF ToCanvasF(const QPointF& widget) const { return widget / zoom_; }

    // Marks of points picked for a command (canvas pixels), drawn over the
    // picture, and with `followPointer` a line from the last of them to the
    // pointer.
    void SetPickMarks(std::vector<QPointF> points, bool followPointer);

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
    QPoint origin_;
    BackgroundCache backgrounds_;
    QSize extent_{1, 1};
    double zoom_ = 1;
    CanvasTools* tools_ = nullptr;
    int pointerShape_ = 0;
    std::vector<QPointF> pickMarks_;
    bool pickFollows_ = false;
    QPointF pointer_;
};

}  // namespace stelmar
