#include "drawing/DeviceDrawing.h"

#include "drawing/Canvas.h"
#include "drawing/FloorPainting.h"

namespace stelmar {

bool DrawOnDevice(TPipeLine& s, QPainter& painter, const QSize& canvasSize, const SchemeOverlay* overlay)
{
    if (!s.Opened) return false;
    painter.save();
    painter.setClipRect(QRect(QPoint(0, 0), canvasSize), Qt::IntersectClip);
    {
        Canvas c(painter);
        // Canvas units are screen pixels whatever the device's resolution,
        // so the labels are measured as on the screen.
        PaintFloor(s, c, nullptr, canvasSize, CanvasView{}, true, nullptr, overlay);
    }
    painter.restore();
    return true;
}

}  // namespace stelmar
