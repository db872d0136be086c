// Pointer movement over the canvas (hovering, dragging, band selection,
// panning), the release that ends a drag or band, the wheel, and the
// hover texts.

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>
#include <cmath>

#include "editor/CanvasHints.h"
#include "editor/CanvasTools.h"
#include "editor/CanvasWidget.h"
#include "editor/Cursors.h"
#include "editor/MainWindow.h"
#include "model/SchemeEditing.h"
#include "model/SchemePicking.h"
#include "model/SchemeSelection.h"
#include "model/StepNames.h"

namespace stelmar {

namespace {

constexpr int kWheelNotch = 120;
constexpr int kWheelStep = 25;
constexpr int kBandMargin = 15;
constexpr int kBandStep = 10;

// Whole notches of `delta` added to `rest`, the remainder kept.
int Notches(int delta, int& rest)
{
    rest += delta;
    const int notches = rest / kWheelNotch;
    rest -= notches * kWheelNotch;
    return notches;
}

}  // namespace

void CanvasTools::Move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF at)
{
    TPipeLine& s = S();
    Point(at);
    TakeKeyboardFocus();
    // Every movement may redraw the floor; every second one is enough.
    if (moveTick_ != 0) {
        moveTick_ = 0;
        return;
    }
    moveTick_ = 1;
    if (!s.Opened) return;

    if (MiddleAlone(buttons, modifiers)) {
        const QPointF inBox = at - QPointF(HorzPos(), VertPos());
        SetHorzPos(panStartH_ - static_cast<int>(std::lround(inBox.x() - panAnchor_.x())));
        SetVertPos(panStartV_ - static_cast<int>(std::lround(inBox.y() - panAnchor_.y())));
        return;
    }

    if (s.Dragging == 0) {
        if (const int n = NodeAt(s); n > 0) {
            canvas_.SetPointerShape(s.Tool == kDeleteTool || s.Tool == kAreaTool ? s.Tool : kHandPointer);
            ClearHot(s);
            s.Nodes[n].Hot = true;
            window_.Draw();
            ShowHint(NodeHint(s, n));
            return;
        }
        canvas_.SetPointerShape(s.CursorIndex);
        if (const int a = AreaAt(s); a > 0) {
            if (s.Tool != kDeleteTool) canvas_.SetPointerShape(kHandPointer);
            ClearHot(s);
            s.Areas[a].Hot = true;
            window_.Draw();
            const QString results = AreaResultsHint(s, window_.Results(), a);
            ShowHint(results.isEmpty() ? AreaHint(s, a) : AreaHint(s, a) + "\n" + results);
            return;
        }
    }

    if (s.Dragging > 0) MoveSelectionWith(modifiers);
    if (s.Banding) {
        SelectInBand(s);
        ScrollTowardsPointer();
        window_.Draw();
    }
    if (s.AreaFrom != 0) window_.Draw();
    if (s.Dragging == 0 && ClearHot(s)) window_.Draw();
    HideHint();
}

// The drag's edit opens when the drag first moves anything, so that undo
// takes the drag back, and closes at the release.
void CanvasTools::MoveSelectionWith(Qt::KeyboardModifiers modifiers)
{
    TPipeLine& s = S();
    if (!drag_) drag_.emplace(window_, SelectionStepName(s, modifiers & Qt::AltModifier ? "поворот" : "перемещение"));
    if (modifiers & Qt::AltModifier) {
        RotateSelection(s);
    } else {
        MoveSelection(s);
        window_.SnapNodesToPlan(TakenNode(), true);
    }
    window_.Draw();
}

// Near an edge of the visible part the view follows the band (screen
// pixels, whatever the zoom).
void CanvasTools::ScrollTowardsPointer()
{
    const QWidget& view = *box_.viewport();
    const double x = widgetPointer_.x();
    const double y = widgetPointer_.y();
    if (HorzPos() + view.width() < x + kBandMargin) SetHorzPos(HorzPos() + kBandStep);
    if (VertPos() + view.height() < y + kBandMargin) SetVertPos(VertPos() + kBandStep);
    if (HorzPos() > x - kBandMargin) SetHorzPos(HorzPos() - kBandStep);
    if (VertPos() > y - kBandMargin) SetVertPos(VertPos() - kBandStep);
}

void CanvasTools::Release()
{
    TPipeLine& s = S();
    if (!s.Opened) return;
    s.Dragging = 0;
    SaveNodePositions(s);
    drag_.reset();
    if (s.Banding) {
        s.Banding = false;
        window_.Draw();
    }
}

void CanvasTools::Wheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPointF at)
{
    if (modifiers & Qt::ControlModifier) {
        if (const int notches = Notches(angleDelta.y(), wheelRest_))
            window_.ZoomBy(std::pow(kZoomStep, notches), at - QPointF(HorzPos(), VertPos()));
        return;
    }
    // Shift turns the wheel sideways; a wheel that turns sideways itself
    // scrolls sideways too.
    const bool sideways = modifiers & Qt::ShiftModifier;
    const int vertical = sideways ? 0 : angleDelta.y();
    const int horizontal = sideways ? angleDelta.y() + angleDelta.x() : angleDelta.x();
    if (const int notches = Notches(vertical, wheelRest_)) SetVertPos(VertPos() - notches * kWheelStep);
    if (const int notches = Notches(horizontal, wheelRestH_)) SetHorzPos(HorzPos() - notches * kWheelStep);
}

void CanvasTools::ShowHint(const QString& text)
{
    hint_ = text;
    QToolTip::showText(GlobalPointer(), text, &canvas_);
}

void CanvasTools::HideHint()
{
    if (hint_.isEmpty()) return;
    hint_.clear();
    QToolTip::hideText();
}

// Keys typed over the canvas go to the main window, not to the control
// that had the focus.
void CanvasTools::TakeKeyboardFocus()
{
    if (!window_.isActiveWindow()) return;
    if (QWidget* focus = QApplication::focusWidget(); focus && focus != &window_) window_.setFocus();
}

int CanvasTools::HorzPos() const
{
    return box_.horizontalScrollBar()->value();
}

int CanvasTools::VertPos() const
{
    return box_.verticalScrollBar()->value();
}

void CanvasTools::SetHorzPos(int pos)
{
    box_.horizontalScrollBar()->setValue(pos);
}

void CanvasTools::SetVertPos(int pos)
{
    box_.verticalScrollBar()->setValue(pos);
}

}  // namespace stelmar
