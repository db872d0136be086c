// Picking points on the canvas for the commands that need them.

#include "editor/CanvasTools.h"
#include "editor/CanvasWidget.h"
#include "editor/MainWindow.h"

namespace stelmar {

void CanvasTools::PickPoints(const QStringList& prompts, std::function<void(const std::vector<PickedPoint>&)> done)
{
    CancelPick();
    if (prompts.isEmpty() || !S().Opened) return;
    TPipeLine& s = S();
    s.AreaFrom = 0;
    s.Dragging = 0;
    s.Banding = false;
    pickPrompts_ = prompts;
    pickDone_ = std::move(done);
    canvas_.SetPointerShape(kAreaTool);
    window_.ShowStatus(pickPrompts_.front());
    ShowPickMarks();
}

void CanvasTools::CancelPick()
{
    if (Picking()) EndPick();
}

void CanvasTools::EndPick()
{
    pickPrompts_.clear();
    picked_.clear();
    pickDone_ = nullptr;
    canvas_.SetPointerShape(S().CursorIndex);
    window_.ShowStatus(QString());
    canvas_.SetPickMarks({}, false);
}

void CanvasTools::PressPick(Qt::MouseButton button, QPointF at)
{
    if (button != Qt::LeftButton) {
        CancelPick();
        return;
    }
    Point(at);
    picked_.push_back({canvas_.ToCanvasF(at), S().ActiveEtag});
    pickPrompts_.removeFirst();
    if (!pickPrompts_.isEmpty()) {
        window_.ShowStatus(pickPrompts_.front());
        ShowPickMarks();
        return;
    }
    const std::vector<PickedPoint> points = std::move(picked_);
    const auto done = std::move(pickDone_);
    EndPick();
    done(points);
}

void CanvasTools::ShowPickMarks()
{
    std::vector<QPointF> points;
    for (const PickedPoint& p : picked_) points.push_back(p.At);
    canvas_.SetPickMarks(std::move(points), Picking());
}

}  // namespace stelmar
