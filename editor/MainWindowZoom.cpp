// The zoom of the canvas: steps about the pointer or the middle of the
// view, 100 %, and the fit of the active floor into the window.

#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "editor/CanvasWidget.h"
#include "editor/MainWindow.h"
#include "model/SchemeSelection.h"

namespace stelmar {
namespace {

// Room left around the elements by "По размеру окна", in canvas pixels.
constexpr int kFitMargin = 20;

// What the active floor shows: its nodes, the ends of areas from other
// floors arriving on it, and its picture; empty when there is nothing.
QRect FloorContents(const TPipeLine& s)
{
    QRect contents;
    auto take = [&contents](const TNode& n) { contents = contents.united(QRect(n.X, n.Y, 1, 1)); };
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Etag == s.ActiveEtag) take(s.Nodes[i]);
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TNode& a = s.Nodes[s.Areas[i].Node1];
        const TNode& b = s.Nodes[s.Areas[i].Node2];
        if (a.Etag == s.ActiveEtag || b.Etag == s.ActiveEtag) {
            take(a);
            take(b);
        }
    }
    if (const BitmapRef& picture = s.Backgrounds[s.ActiveEtag])
        contents = contents.united(QRect(0, 0, picture->Width, picture->Height));
    return contents;
}

}  // namespace

// The middle of the canvas part in view, in pixels of the visible box:
// the box's middle, unless the canvas covers only part of the box.
QPointF TF::BoxCentre() const
{
    const QRect box(QPoint(0, 0), scrollBox_->viewport()->size());
    const QRect canvas(-scrollBox_->horizontalScrollBar()->value(), -scrollBox_->verticalScrollBar()->value(),
                       img_->width(), img_->height());
    const QRect shown = box.intersected(canvas);
    return QRectF(shown.isEmpty() ? box : shown).center();
}

void TF::ZoomTo(double zoom, QPointF anchor)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    // Steps of 1.25 from 100 % come back to 100 % exactly.
    if (std::abs(zoom - 1) < 1e-9) zoom = 1;
    QScrollBar* h = scrollBox_->horizontalScrollBar();
    QScrollBar* v = scrollBox_->verticalScrollBar();
    const QPointF point = (QPointF(h->value(), v->value()) + anchor) / scheme_.Zoom;
    scheme_.Zoom = zoom;
    {
        const QSignalBlocker quietH(h);
        const QSignalBlocker quietV(v);
        img_->SetExtent(Extent(), zoom);
        // The scroll box takes the new size of the canvas at once.
        scrollBox_->widget()->updateGeometry();
        h->setRange(0, std::max(0, img_->width() - scrollBox_->viewport()->width()));
        v->setRange(0, std::max(0, img_->height() - scrollBox_->viewport()->height()));
        h->setValue(static_cast<int>(std::lround(point.x() * zoom - anchor.x())));
        v->setValue(static_cast<int>(std::lround(point.y() * zoom - anchor.y())));
    }
    ShowZoom();
    Draw();
}

void TF::ZoomBy(double factor, QPointF anchor) { ZoomTo(scheme_.Zoom * factor, anchor); }

void TF::ZoomToFit()
{
    const QRect contents = FloorContents(scheme_);
    const QSize box = scrollBox_->viewport()->size();
    const QRect fitted = contents.isEmpty() ? QRect(QPoint(0, 0), Extent())
                                            : contents.adjusted(-kFitMargin, -kFitMargin, kFitMargin, kFitMargin);
    const double zoom = std::clamp(std::min(double(box.width()) / fitted.width(), double(box.height()) / fitted.height()),
                                   kMinZoom, kMaxZoom);
    ZoomTo(zoom, BoxCentre());
    // The middle of the contents in the middle of the box.
    const QPointF middle = QRectF(fitted).center() * scheme_.Zoom - QPointF(box.width(), box.height()) / 2;
    scrollBox_->horizontalScrollBar()->setValue(static_cast<int>(std::lround(middle.x())));
    scrollBox_->verticalScrollBar()->setValue(static_cast<int>(std::lround(middle.y())));
    Draw();
}

QRect TF::ShowElement(bool node, int number)
{
    if (number < 1 || number > (node ? NodeCount(scheme_) : AreaCount(scheme_))) return {};
    QRect where;
    int floor = 0;
    if (node) {
        const TNode& n = scheme_.Nodes[number];
        where = QRect(n.X, n.Y, 1, 1);
        floor = n.Etag;
    } else {
        const TArea& a = scheme_.Areas[number];
        const TNode& n1 = scheme_.Nodes[a.Node1];
        const TNode& n2 = scheme_.Nodes[a.Node2];
        where = QRect(QPoint(n1.X, n1.Y), QPoint(n2.X, n2.Y)).normalized();
        floor = n1.Etag == scheme_.ActiveEtag || n2.Etag == scheme_.ActiveEtag ? scheme_.ActiveEtag : n1.Etag;
    }
    if (floorList_->count() != scheme_.EtagCount) RebuildFloorList();
    if (floor >= 1 && floor <= scheme_.EtagCount && floor != scheme_.ActiveEtag) floorList_->setCurrentIndex(floor - 1);
    ClearSelection(scheme_);
    (node ? scheme_.Nodes[number].Selected : scheme_.Areas[number].Selected) = true;
    // Zoomed out until the element fits the view with room around it, in
    // as far as far enough to read its labels.
    const QSize box = scrollBox_->viewport()->size();
    const QRect room = where.adjusted(-2 * kFitMargin, -2 * kFitMargin, 2 * kFitMargin, 2 * kFitMargin);
    const double fits = std::min(double(box.width()) / room.width(), double(box.height()) / room.height());
    if (scheme_.Zoom > fits || scheme_.Zoom < 0.5) ZoomTo(std::clamp(fits, kMinZoom, 1.0), BoxCentre());
    const QPointF middle = QRectF(where).center() * scheme_.Zoom - QPointF(box.width(), box.height()) / 2;
    scrollBox_->horizontalScrollBar()->setValue(static_cast<int>(std::lround(middle.x())));
    scrollBox_->verticalScrollBar()->setValue(static_cast<int>(std::lround(middle.y())));
    Draw();
    // The element and its labels, in the part of the canvas in view.
    const int margin = kFitMargin / 2 + scheme_.NodeWidth;
    const QRect drawn(img_->ToWidget(where.left(), where.top()), img_->ToWidget(where.right(), where.bottom()));
    const QRect shown = drawn.adjusted(-margin, -margin, margin, margin) & img_->visibleRegion().boundingRect();
    return shown.isEmpty() ? QRect() : shown.translated(img_->mapToGlobal(QPoint(0, 0)));
}

void TF::ShowZoom() { zoomPanel_->setText(QString("%1 %").arg(std::lround(scheme_.Zoom * 100))); }

}  // namespace stelmar
