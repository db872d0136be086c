// Pointer movement over the canvas (hovering, dragging, band selection,
// panning), the release that ends a drag or band, the wheel, and the
// hover texts.

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>

#include "editor/CanvasHints.h"
#include "editor/CanvasTools.h"
#include "editor/CanvasWidget.h"
#include "editor/Cursors.h"
#include "editor/MainWindow.h"
#include "model/SchemeEditing.h"
#include "model/SchemePicking.h"
#include "model/SchemeSelection.h"

namespace stelmar {

namespace {

constexpr int kWheelNotch = 120;
constexpr int kWheelStep = 25;
constexpr int kBandMargin = 15;
constexpr int kBandStep = 10;

}  // namespace

void CanvasTools::Move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y)
{
    TPipeLine& s = S();
    s.MouseX = x;
    s.MouseY = y;
    TakeKeyboardFocus();
    // Every movement may redraw the floor; every second one is enough.
    if (moveTick_ != 0) {
        moveTick_ = 0;
        return;
    }
    moveTick_ = 1;
    if (!s.Opened) return;

    if (MiddleAlone(buttons, modifiers)) {
        SetHorzPos(panStartH_ - ((x - HorzPos()) - s.AnchorX));
        SetVertPos(panStartV_ - ((y - VertPos()) - s.AnchorY));
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
            ShowHint(AreaHint(s, a));
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
    if (!drag_) drag_.emplace(window_);
    if (modifiers & Qt::AltModifier) {
        RotateSelection(s);
    } else {
        MoveSelection(s);
    }
    window_.Draw();
}

// Near an edge of the visible part the view follows the band.
void CanvasTools::ScrollTowardsPointer()
{
    const TPipeLine& s = S();
    const QWidget& view = *box_.viewport();
    if (HorzPos() + view.width() < s.MouseX + kBandMargin) SetHorzPos(HorzPos() + kBandStep);
    if (VertPos() + view.height() < s.MouseY + kBandMargin) SetVertPos(VertPos() + kBandStep);
    if (HorzPos() > s.MouseX - kBandMargin) SetHorzPos(HorzPos() - kBandStep);
    if (VertPos() > s.MouseY - kBandMargin) SetVertPos(VertPos() - kBandStep);
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

void CanvasTools::Wheel(int angleDelta)
{
    wheelRest_ += angleDelta;
    const int notches = wheelRest_ / kWheelNotch;
    wheelRest_ -= notches * kWheelNotch;
    if (notches != 0) SetVertPos(VertPos() - notches * kWheelStep);
}

void CanvasTools::ShowHint(const QString& text)
{
    const TPipeLine& s = S();
    hint_ = text;
    QToolTip::showText(canvas_.mapToGlobal(QPoint(s.MouseX, s.MouseY)), text, &canvas_);
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
