#pragma once

// The common window of the node and area parameter dialogs: a white,
// slightly translucent tool window above the main window that opens beside
// the mouse pointer, stays inside the main window and is dragged by its
// body and labels as well as by its caption.

#include <QDialog>
#include <QPoint>
#include <QStyle>
#include "dialogs/Prompts.h"

class QGridLayout;
class QGroupBox;
class QToolButton;

namespace stelmar {

class FieldReader;

// The top-left corner for a window of `size` opened at `pointer`: 5 pixels
// up-left of the pointer, then moved 50 pixels inside `frame` (the main
// window) at every edge where it stuck out.
QPoint PlaceBesidePointer(const QPoint& pointer, const QSize& size, const QRect& frame);

class ParamsWindow : public QDialog {
    Q_OBJECT
public:
protected:
    ParamsWindow(const char* objectName, PromptsRef prompts, QWidget* parent);

    // Makes the labels and frames created so far drag the window.
    void DragByBody();
    // Moves the window beside the pointer, inside the main window.
    void PlaceNear(const QPoint& globalPointer);
    // Shows the message of the first field that failed and puts the cursor
    // into that field.
    void Refuse(const FieldReader& read);
    // The fields' grid above the two buttons inside the frame, the frame
    // filling the window, the window fixed at its natural size (at least
    // `minimum`).
    void LayOut(QGroupBox* frame, QGridLayout* grid, QToolButton* left, QToolButton* right, const QSize& minimum);
    // A flat button with a caption and a standard picture.
    QToolButton* FlatButton(const QString& caption, QStyle::StandardPixmap icon, QWidget* parent);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PromptsRef prompts_;
    // Pointer position relative to the window's corner while dragging.
    QPoint dragOffset_;
    bool dragging_ = false;
};

}  // namespace stelmar
