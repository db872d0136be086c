// Presses and double clicks on the canvas, and the recorded edits they
// make.

#include "editor/CanvasTools.h"

#include <QAction>
#include <QMenu>
#include <cmath>

#include "dialogs/AreaParamsDialog.h"
#include "dialogs/NodeParamsDialog.h"
#include "editor/CanvasWidget.h"
#include "editor/MainWindow.h"
#include "editor/SchemeEdit.h"
#include "model/DrawnLengths.h"
#include "model/SchemeEditing.h"
#include "model/SchemePicking.h"
#include "model/SchemeSelection.h"
#include "model/StepNames.h"

namespace stelmar {

namespace {

bool IsNodeTool(std::uint8_t tool)
{
    return tool == kInput || tool == kExit || tool == kJunction;
}

}  // namespace

bool CanvasTools::MiddleAlone(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return buttons == Qt::MiddleButton && modifiers == Qt::NoModifier;
}

CanvasTools::CanvasTools(TF& window, QScrollArea& box, CanvasWidget& canvas)
    : QObject(&window), window_(window), box_(box), canvas_(canvas)
{
    canvas_.SetTools(this);
    window_.installEventFilter(this);
    connect(window_.findChild<QAction*>("Ndel"), &QAction::triggered, this, &CanvasTools::DeleteCommand);
    CreatePopupMenu();
}

TPipeLine& CanvasTools::S()
{
    return window_.Scheme();
}

int CanvasTools::AddRecordedNode(std::uint8_t kind)
{
    const SchemeEdit edit(window_, kind == kInput  ? "добавление входа"
                                   : kind == kExit ? "добавление выхода"
                                                   : "добавление узла");
    AddNode(S(), kind);
    window_.SnapNodesToPlan(NodeCount(S()), false);
    return NodeCount(S());
}

void CanvasTools::AddRecordedArea(int node1, int node2)
{
    const SchemeEdit edit(window_, "добавление участка");
    AddArea(S(), node1, node2, 0, 0, kHorizontal);
    MarkNewArea(S(), AreaCount(S()));
}

// A new junction at (x, y), or at the plan's point it snaps to, splits the
// area.
void CanvasTools::SplitRecordedArea(int area, int x, int y)
{
    TPipeLine& s = S();
    const SchemeEdit edit(window_, "вставка узла в участок " + AreaLabel(s, s.Areas[std::size_t(area)]));
    const int junction = AddRecordedNode(kJunction);
    s.Nodes[junction].X = s.Nodes[junction].SavedX = x;
    s.Nodes[junction].Y = s.Nodes[junction].SavedY = y;
    window_.SnapNodesToPlan(junction, false);
    SplitArea(s, area, junction);
    MarkNewArea(s, AreaCount(s));
}

void CanvasTools::DeleteRecordedNode(int node)
{
    PendingFrom();
    const SchemeEdit edit(window_, "удаление " + NodeGenitive(S(), node));
    DeleteNode(S(), node);
}

void CanvasTools::DeleteRecordedSelection()
{
    PendingFrom();
    const SchemeEdit edit(window_, DeletionStepName(S()));
    DeleteSelection(S());
}

void CanvasTools::DeleteRecordedArea(int area)
{
    const SchemeEdit edit(window_, "удаление " + AreaGenitive(S(), area));
    DeleteArea(S(), area);
}

int CanvasTools::PendingFrom()
{
    TPipeLine& s = S();
    if (s.AreaFrom < 0 || s.AreaFrom > NodeCount(s)) s.AreaFrom = 0;
    return s.AreaFrom;
}

void CanvasTools::Point(QPointF at)
{
    TPipeLine& s = S();
    widgetPointer_ = at;
    const QPoint canvas = canvas_.ToCanvas(at);
    s.MouseX = canvas.x();
    s.MouseY = canvas.y();
}

QPoint CanvasTools::GlobalPointer() const { return canvas_.mapToGlobal(widgetPointer_.toPoint()); }

// The press that completes a double click arrives as the double click
// itself, so there is no later press to swallow.
void CanvasTools::Press(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF at)
{
    TPipeLine& s = S();
    if (!s.Opened) return;
    if (Picking() && !MiddleAlone(buttons, modifiers)) {
        PressPick(button, at);
        return;
    }
    Point(at);
    const int x = s.MouseX;
    const int y = s.MouseY;

    if (MiddleAlone(buttons, modifiers)) {
        panStartH_ = HorzPos();
        panStartV_ = VertPos();
        panAnchor_ = at - QPointF(HorzPos(), VertPos());
        return;
    }

    // Pressing on a selected element keeps the selection, so that the
    // whole of it can be dragged.
    const int n = NodeAt(s);
    const int a = AreaAt(s);
    if ((n == 0 && a == 0) || (n > 0 && !s.Nodes[n].Selected) || (a > 0 && !s.Areas[a].Selected)) ClearSelection(s);
    s.Banding = false;

    if (button == Qt::RightButton) {
        window_.SelectTool(kPointerTool);
        s.AreaFrom = 0;
        window_.Draw();
        popup_->popup(GlobalPointer());
        return;
    }
    if (n > 0) {
        PressOnNode(n, x, y);
    } else {
        PressBeside(a, x, y);
    }
}

void CanvasTools::PressOnNode(int node, int x, int y)
{
    TPipeLine& s = S();
    if (s.Tool == kDeleteTool) {
        DeleteRecordedNode(node);
    } else if (s.Tool == kAreaTool) {
        const int from = PendingFrom();
        if (from == 0) {
            s.AreaFrom = node;  // the pending line follows the pointer from here
            return;
        }
        if (node != from && s.Nodes[node].Etag == s.ActiveEtag && !Connected(s, from, node) &&
            CanConnect(s, from, node)) {
            AddRecordedArea(from, node);
            s.AreaFrom = 0;
        }
        window_.Draw();
    } else {
        // A node tool on an existing node creates nothing: it picks the node up.
        s.Nodes[node].Selected = true;
        StartDrag(node, 0, x, y);
        window_.Draw();
    }
}

// A press on an area or on empty space.
void CanvasTools::PressBeside(int area, int x, int y)
{
    TPipeLine& s = S();
    // Drawing may snap the pointer while an area is pending; the element
    // tests of this press look at the press position.
    auto atPress = [&] {
        s.MouseX = x;
        s.MouseY = y;
    };

    if (area > 0) {
        if (s.Tool == kDeleteTool) {
            DeleteRecordedArea(area);
            return;
        }
        s.Areas[area].Hot = true;
        s.Areas[area].Selected = true;
        StartDrag(0, area, x, y);
    }

    if (IsNodeTool(s.Tool)) AddRecordedNode(s.Tool);

    atPress();
    if (const int from = PendingFrom(); from > 0) {
        // The pending area ends here: at a junction splitting the area under
        // the pointer, or at a new junction.
        const int target = AreaAt(s);
        if (target > 0 && (s.Areas[target].Node1 == from || s.Areas[target].Node2 == from)) return;
        const std::uint8_t tool = s.Tool;
        {
            // The end junction, a split and the area: one step.
            const SchemeEdit edit(window_, "добавление участка");
            if (target > 0) {
                SplitRecordedArea(target, x, y);
            } else {
                AddRecordedNode(kJunction);
            }
            AddRecordedArea(from, NodeCount(s));
            s.AreaFrom = 0;
        }
        // The pending area was started with the area tool, which is the
        // tool again now.
        if (tool != kAreaTool) window_.SelectTool(kAreaTool);
        atPress();
    }

    if (PendingFrom() == 0 && s.Tool == kAreaTool && NodeAt(s) == 0 && AreaAt(s) == 0) {
        s.AreaFrom = AddRecordedNode(kJunction);
        atPress();
    }

    if (s.Tool == kPointerTool && NodeAt(s) == 0 && AreaAt(s) == 0) {
        s.Banding = true;
        s.AnchorX = x;
        s.AnchorY = y;
    }
    window_.Draw();
}

void CanvasTools::StartDrag(int node, int area, int x, int y)
{
    TPipeLine& s = S();
    s.AnchorX = x;
    s.AnchorY = y;
    s.Dragging = node > 0 ? node : 1;
    draggedNode_ = node;
    draggedArea_ = area;
    drag_.reset();
}

int CanvasTools::TakenNode()
{
    const TPipeLine& s = S();
    if (draggedNode_ > 0 || draggedArea_ < 1 || draggedArea_ > AreaCount(s)) return draggedNode_;
    const TArea& a = s.Areas[draggedArea_];
    const auto distance = [&](int n) { return std::hypot(s.Nodes[n].X - s.MouseX, s.Nodes[n].Y - s.MouseY); };
    return distance(a.Node2) < distance(a.Node1) ? a.Node2 : a.Node1;
}

void CanvasTools::DoubleClick(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                              QPointF at)
{
    // Only the left button double-clicks; another button's second press is
    // an ordinary press.
    if (button != Qt::LeftButton || Picking()) {
        Press(button, buttons, modifiers, at);
        return;
    }
    TPipeLine& s = S();
    if (!s.Opened) return;
    Point(at);
    if (s.Tool == kPointerTool) OpenParams(modifiers & (Qt::ShiftModifier | Qt::AltModifier));
}

void CanvasTools::OpenParams(bool areaFirst)
{
    const TPipeLine& s = S();
    if (areaFirst) {
        const std::vector<int> areas = AreasUnder(s);
        if (!areas.empty()) {
            OpenAreaParams(areas.front());
            return;
        }
    }
    if (const int n = NodeAt(s); n > 0) {
        OpenNodeParams(n);
    } else if (const int a = AreaAt(s); a > 0) {
        OpenAreaParams(a);
    }
}

void CanvasTools::OpenNodeParams(int node)
{
    window_.DialogSet().NodeParams->ShowNodeParams(S(), node, GlobalPointer());
    window_.Draw();
}

void CanvasTools::OpenAreaParams(int area)
{
    window_.DialogSet().AreaParams->ShowAreaParams(S(), area, GlobalPointer());
    window_.Draw();
}

}  // namespace stelmar
