#pragma once

// Driving the canvas of a running main window as a user does: presses,
// releases, movements, drags and double clicks in canvas pixels, the tool
// buttons, and the pop-up menu.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include "editor/CanvasTools.h"
#include "editor/CanvasWidget.h"
#include "editor/MainWindow.h"

namespace stelmar::test {

class CanvasDriver {
public:
    CanvasDriver() = default;
    explicit CanvasDriver(TF& window) { Attach(window); }

    // Drives the canvas of `window` from now on.
    void Attach(TF& window)
    {
        tf_ = &window;
        canvas_ = window.findChild<CanvasWidget*>("img");
    }

    CanvasWidget* Canvas() const { return canvas_; }
    void Use(const char* name) const { tf_->findChild<QAction*>(name)->trigger(); }
    CanvasTools& Tools() const { return *tf_->findChild<CanvasTools*>(); }
    QAction* PopupItem(const char* name) const { return Tools().PopupMenu().findChild<QAction*>(name); }

    void Press(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) const
    {
        QTest::mousePress(canvas_, b, keys, {x, y});
    }
    void Release(int x, int y, Qt::MouseButton b = Qt::LeftButton) const { QTest::mouseRelease(canvas_, b, {}, {x, y}); }
    void Click(int x, int y) const
    {
        Press(x, y);
        Release(x, y);
    }
    void RightClick(int x, int y) const
    {
        Press(x, y, Qt::RightButton);
        Tools().PopupMenu().close();
        Release(x, y, Qt::RightButton);
    }
    void SendMove(int x, int y, Qt::MouseButtons held = Qt::NoButton, Qt::KeyboardModifiers keys = Qt::NoModifier) const
    {
        const QPointF at(x, y);
        QMouseEvent move(QEvent::MouseMove, at, canvas_->mapToGlobal(at), Qt::NoButton, held, keys);
        QApplication::sendEvent(canvas_, &move);
    }
    // Only every second movement is handled: a movement the tools see is
    // two events at the same place.
    void MoveTo(int x, int y, Qt::MouseButtons held = Qt::NoButton, Qt::KeyboardModifiers keys = Qt::NoModifier) const
    {
        SendMove(x, y, held, keys);
        SendMove(x, y, held, keys);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers keys = Qt::NoModifier) const
    {
        Press(from.x(), from.y());
        MoveTo(to.x(), to.y(), Qt::LeftButton, keys);
        Release(to.x(), to.y());
    }
    // Press, release, then the second press arriving as the double click.
    void DoubleClick(int x, int y, Qt::KeyboardModifiers keys = {}) const
    {
        Click(x, y);
        QTest::mouseDClick(canvas_, Qt::LeftButton, keys, {x, y});
        Release(x, y);
    }
    // A chain drawn with the area tool through existing nodes or empty
    // places (which get junctions), each point joined to the next.
    void Chain(const QList<QPoint>& points) const
    {
        Use("TBArea");
        for (int i = 1; i < points.size(); ++i) {
            Click(points[i - 1].x(), points[i - 1].y());
            Click(points[i].x(), points[i].y());
        }
    }
    void Nodes(const char* tool, const QList<QPoint>& points) const
    {
        Use(tool);
        for (const QPoint& p : points) Click(p.x(), p.y());
    }

private:
    TF* tf_ = nullptr;
    CanvasWidget* canvas_ = nullptr;
};

}  // namespace stelmar::test
