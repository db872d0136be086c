#pragma once

// The drawing tools of the canvas: what a press, a pointer movement, a
// release and a double click do with each tool (adding nodes, drawing and
// splitting areas, dragging and rotating the selection, band selection,
// deleting, panning), the keys and the wheel of the main window, the hover
// texts and the canvas pop-up menu with its commands.
//
// Events come in the canvas widget's pixels and are turned into canvas
// pixels at the zoom in use; snapping, the tools and the scheme work in
// canvas pixels, scrolling and the menus in screen pixels. Every change of
// the scheme is one SchemeEdit.

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "editor/SchemeEdit.h"
#include "model/ElementRef.h"

class QAction;
class QMenu;
class QScrollArea;

namespace stelmar {

class CanvasWidget;
class TF;

// A point the user picked on the canvas for a command: canvas pixels
// (fractions kept, so that a point picked at a high zoom keeps its
// precision) and the floor that was shown.
struct PickedPoint {
    QPointF At;
    int Floor = 0;
};

class CanvasTools : public QObject {
    Q_OBJECT
public:
    // Handles the events of `canvas`, shown in `box` of `window`, and the
    // "Удалить" command of the window.
    CanvasTools(TF& window, QScrollArea& box, CanvasWidget& canvas);

    // `button` is the button pressed or released, `buttons` every button
    // held (on a press including `button`), `modifiers` the keys held, `at`
    // the pointer in the canvas widget's pixels.
    void Press(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF at);
    void Move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF at);
    void Release();
    // With Shift or Alt a double click opens the area under the pointer
    // even where a node lies on it.
    void DoubleClick(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF at);
    // A key pressed on the main window that no shortcut took, and a key
    // released on it (Delete, Z, Y, Esc act on release).
    void KeyPress(int key);
    void KeyRelease(int key);
    // Wheel rotation in eighths of a degree (120 per notch, up positive):
    // scrolls vertically, with Shift horizontally, and with Ctrl zooms about
    // the pointer.
    void Wheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPointF at);

    // The pop-up menu commands "Параметры", "Вставить узел" and "Удалить"
    // (the last is also the window's "Удалить" command and Del shortcut).
    void ShowParams();
    void InsertNode();
    void DeleteCommand();

    // Picking points for a command (CanvasToolsPick.cpp): the next left
    // presses on the canvas give one point each instead of acting with the
    // tool, each announced in the status bar by its entry of `prompts`;
    // after the last one `done` gets them all. A line follows the pointer
    // from the last point picked. The floor may be changed between the
    // points. The right button, Esc or another tool gives the picking up.
    void PickPoints(const QStringList& prompts, std::function<void(const std::vector<PickedPoint>&)> done);
    void CancelPick();
    bool Picking() const { return !pickPrompts_.isEmpty(); }

    // The parameters dialog of a node or an area, beside the pointer.
    void OpenNodeParams(int node);
    void OpenAreaParams(int area);

    // The canvas pop-up menu `TBXPopupMenu1`.
    QMenu& PopupMenu() { return *popup_; }
    // The hover text shown now (empty when none).
    const QString& Hint() const { return hint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool MiddleAlone(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

    // Presses and the recorded edits (CanvasTools.cpp), each one
    // SchemeEdit.
    TPipeLine& S();
    int AddRecordedNode(std::uint8_t kind);
    void AddRecordedArea(int node1, int node2);
    void SplitRecordedArea(int area, int x, int y);
    void DeleteRecordedNode(int node);
    void DeleteRecordedSelection();
    void DeleteRecordedArea(int area);
    // The node an area is being drawn from, or 0 (also when that node no
    // longer exists).
    int PendingFrom();

    // Takes the pointer from the widget's pixels into the scheme.
    void Point(QPointF at);
    void PressOnNode(int node, int x, int y);
    void PressBeside(int area, int x, int y);
    // A drag of node `node`, or of the selection by area `area`.
    void StartDrag(int node, int area, int x, int y);
    // The node the drag holds by, which snaps to the plan: the node taken,
    // or the end of the area taken nearest the pointer; 0 when none.
    int TakenNode();
    // Opens the parameters dialog of the node or area under the pointer
    // (of the area even over a node with `areaFirst`).
    void OpenParams(bool areaFirst = false);
    // The pointer on the screen.
    QPoint GlobalPointer() const;

    // A press while points are picked; the marks of the points picked.
    void PressPick(Qt::MouseButton button, QPointF at);
    void ShowPickMarks();
    void EndPick();

    // Movement, hover texts and scrolling (CanvasToolsMove.cpp).
    void MoveSelectionWith(Qt::KeyboardModifiers modifiers);
    void ScrollTowardsPointer();

    void ShowHint(const QString& text);
    void HideHint();
    void TakeKeyboardFocus();

    int HorzPos() const;
    int VertPos() const;
    void SetHorzPos(int pos);
    void SetVertPos(int pos);

    // Pop-up menu (CanvasToolsCommands.cpp).
    void CreatePopupMenu();
    void UpdatePopupItems();
    // The node under the pointer, or else the area under it, or none.
    ElementRef PointedElement() const;
    // The elements under the pointer at the top of the menu, each with
    // "Параметры" and "Выделить".
    void ListStackedElements();
    QAction* PopupItem(const char* name, const QString& caption);

    TF& window_;
    QScrollArea& box_;
    CanvasWidget& canvas_;
    QMenu* popup_ = nullptr;

    // Only every second pointer movement is handled.
    int moveTick_ = 0;
    // The pointer in the widget's pixels at the last event.
    QPointF widgetPointer_;
    // Scroll positions and the pointer in the visible box when panning
    // started.
    int panStartH_ = 0;
    int panStartV_ = 0;
    QPointF panAnchor_;
    // The drag in progress, once it has moved something.
    std::optional<SchemeEdit> drag_;
    // The node the drag took, or else the area it took; 0 when none.
    int draggedNode_ = 0;
    int draggedArea_ = 0;
    // Wheel rotation not yet amounting to a notch, per direction.
    int wheelRest_ = 0;
    int wheelRestH_ = 0;
    // The menu items of the elements listed by ListStackedElements.
    QList<QAction*> stacked_;
    // The undo or redo key whose press reached the window itself rather than
    // a shortcut (Ctrl+Z and Ctrl+Y are the menu's).
    int historyKeyPressed_ = 0;
    QString hint_;
    // The points picking still waits for (their prompts), those picked, and
    // what gets them.
    QStringList pickPrompts_;
    std::vector<PickedPoint> picked_;
    std::function<void(const std::vector<PickedPoint>&)> pickDone_;
};

}  // namespace stelmar
