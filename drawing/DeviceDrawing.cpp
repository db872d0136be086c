#include "drawing/DeviceDrawing.h"

#include <cmath>

#include "drawing/Canvas.h"
#include "drawing/SchemeDrawing.h"

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

TPipeLine PrintoutCopy(const TPipeLine& s)
{
    TPipeLine copy = s;
    copy.Opened = true;
    copy.AreaFrom = 0;
    copy.Banding = false;
    for (TNode& n : copy.Nodes) n.Hot = n.Selected = false;
    for (TArea& a : copy.Areas) a.Hot = a.Selected = false;
    return copy;
}

LabelTally DrawPrintout(TPipeLine& s, int floor, QPainter& painter, const QRect& window, double zoom,
                        const SchemeOverlay* overlay, const PlanPicture* plan)
{
    LabelTally tally;
    if (window.isEmpty() || zoom <= 0) return tally;
    s.ActiveEtag = static_cast<std::uint8_t>(floor);
    CanvasView view;
    view.Zoom = zoom;
    view.HorzPos = static_cast<int>(std::lround(window.left() * zoom));
    view.VertPos = static_cast<int>(std::lround(window.top() * zoom));
    view.BoxWidth = static_cast<int>(std::lround(window.width() * zoom));
    view.BoxHeight = static_cast<int>(std::lround(window.height() * zoom));
    view.BoxOnly = true;
    view.Printout = true;
    view.Plan = plan;
    painter.save();
    painter.setClipRect(QRect(0, 0, view.BoxWidth, view.BoxHeight), Qt::IntersectClip);
    {
        Canvas c(painter);
        PaintFloor(s, c, nullptr, CanvasExtent(s, 0, 0), view, false, nullptr, overlay, &tally);
    }
    painter.restore();
    return tally;
}

}  // namespace stelmar
