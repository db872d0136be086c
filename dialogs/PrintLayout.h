#pragma once

// Where the picture lies on the printed page and how large it is, in
// printer pixels, and where it appears on the small page preview.

#include <QRect>
#include <QSize>

namespace stelmar {

// The printable page of the current printer and orientation.
struct PageGeometry {
    int Width = 0;    // printable width and height, printer pixels
    int Height = 0;
    int OffsetX = 0;  // physical offsets of the printable area on the paper
    int OffsetY = 0;
    bool Landscape = false;
};

class PrintLayout {
public:
    static constexpr double kScaleStep = 0.2;
    static constexpr int kMoveStep = 50;  // printer pixels

    double Scale = 3;  // printer pixels per picture pixel
    int Left = 0;      // top-left corner of the picture on the page
    int Top = 0;
    PageGeometry Page;
    QSize Picture;     // the whole picture: the source rectangle

    // Reading the printer starts from scale 3, which stays when the printer
    // cannot be read.
    void BeginReading() { Scale = 3; }
    // The printer was read: the picture goes to the printer's offsets at
    // scale 1.
    void SetPage(const PageGeometry& page);

    // The buttons; nothing limits them.
    void Grow() { Scale += kScaleStep; }
    void Shrink() { Scale -= kScaleStep; }
    void MoveUp() { Top -= kMoveStep; }
    void MoveDown() { Top += kMoveStep; }
    void MoveLeft() { Left -= kMoveStep; }
    void MoveRight() { Left += kMoveStep; }
    // The picture as wide as the printable width less the offset on both
    // sides, starting at the offset and centred from top to bottom.
    void Centre();

    // The picture's rectangle on the page.
    QRect PageRect() const;
    // The picture's rectangle on a preview image of `preview` pixels: the
    // page scaled to the preview, the picture's size by the horizontal
    // ratio for both sides. Empty while the page size is unknown.
    QRect PreviewRect(const QSize& preview) const;
};

// The page panel of the preview, in the preview frame: the image inside it
// is two pixels smaller and sits at (1, 1).
QRect PreviewPanelRect(bool landscape);

}  // namespace stelmar
