#pragma once

// Where the painting of a floor puts things: from canvas pixels to the
// pixels of the image (or page) painted, and which part of it is in view.

#include <QPoint>
#include <cmath>

#include "model/Scheme.h"

namespace stelmar {

// From canvas pixels to the pixels of the image painted: scaled by the
// zoom, shifted so that the image's top-left shows `Origin`.
struct ViewMap {
    double Zoom = 1;
    int OriginX = 0;
    int OriginY = 0;

    int Scale(int v) const { return Zoom == 1 ? v : static_cast<int>(std::lround(v * Zoom)); }
    QPoint operator()(int x, int y) const { return {Scale(x) - OriginX, Scale(y) - OriginY}; }
    QPoint operator()(const TNode& n) const { return (*this)(n.X, n.Y); }
};

// The part of the image to paint, in image pixels; everything in export mode.
struct Visibility {
    bool All = false;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool Node(const QPoint& n) const
    {
        return All || (Left < n.x() && n.x() < Right && Top < n.y() && n.y() < Bottom);
    }

    bool Area(const QPoint& a, const QPoint& b) const
    {
        return All || !((a.x() < Left && b.x() < Left) || (a.x() > Right && b.x() > Right) ||
                         (a.y() < Top && b.y() < Top) || (a.y() > Bottom && b.y() > Bottom));
    }
};

}  // namespace stelmar
