#pragma once

// A floor larger than a sheet at the chosen scale, cut into windows of a
// sheet's size that overlap a little: row after row, evenly spread over
// the floor's extent.

#include <QRect>
#include <QSizeF>
#include <vector>

namespace stelmar {

struct SheetTile {
    QRect Window;  // canvas pixels
    int Row = 0;   // from 0
    int Column = 0;
};

struct SheetTiling {
    std::vector<SheetTile> Tiles;
    int Rows = 1;
    int Columns = 1;
};

// Windows of `side` canvas pixels over `extent`, neighbours overlapping by
// at least `overlap` canvas pixels; one window centred on the extent when it
// fits.
SheetTiling TileExtent(const QRect& extent, const QSizeF& side, double overlap);

}  // namespace stelmar
