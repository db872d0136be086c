#pragma once

// Where the labels of a drawing go so that none covers another and none is
// cut at the frame: every label has a few places around what it belongs to,
// taken in order; it goes to the first one that lies inside the frame and
// clear of everything placed before it, and is left out when none does.
// The screen, exported pictures, printed sheets and the PDF report place
// their labels with it. A grid of cells over the frame keeps the test of
// a place to the few boxes near it.

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <span>
#include <vector>

namespace stelmar {

class LabelPlacer {
public:
    // Labels must lie wholly inside `frame`; `cell` is the side of the grid's
    // cells, about the height of two labels.
    explicit LabelPlacer(const QRect& frame, int cell = 32);

    const QRect& Frame() const { return frame_; }

    // Whether `box` lies inside the frame and clear of every box taken.
    bool Free(const QRect& box) const;
    // Takes `box` whether or not it is free (a node's symbol, a label that
    // stays where it is).
    void Take(const QRect& box);
    // The first of the top-left corners `places` at which a label of `size`
    // is free, which it then takes; none when there is no room.
    std::optional<QPoint> Place(const QSize& size, std::span<const QPoint> places);

    // Labels placed and left out so far (by Place).
    int Placed() const { return placed_; }
    int LeftOut() const { return leftOut_; }

private:
    // The range of cells a box covers, clamped to the grid.
    struct Cells {
        int Left, Top, Right, Bottom;
    };
    Cells CellsOf(const QRect& box) const;

    QRect frame_;
    int cell_;
    int columns_;
    int rows_;
    std::vector<QRect> boxes_;
    std::vector<std::vector<int>> grid_;  // box numbers by cell, row after row
    int placed_ = 0;
    int leftOut_ = 0;
};

// The places of a label of `size` beside the middle `m` of a line from `a`
// to `b`: below right of the middle first (where it has always been), then
// the other three corners, then the same around the points a quarter of
// the way from each end, and last the four corners of the middle one
// label's height further out.
std::vector<QPoint> LinePlaces(const QPoint& a, const QPoint& b, const QSize& size);

// The places of a label of `size` around a point symbol of half-width
// `reach`: under it (first), over it, right and left of it, then under
// and over it one label further out (past its name).
std::vector<QPoint> PointPlaces(const QPoint& p, int reach, const QSize& size);

// `places` of a label of `size` reordered so that those where the label
// crosses none of `lines` come first, each group in its own order.
std::vector<QPoint> ClearOfLines(std::vector<QPoint> places, const QSize& size, std::span<const QLine> lines);

}  // namespace stelmar
