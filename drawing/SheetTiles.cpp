#include "drawing/SheetTiles.h"

#include <algorithm>
#include <cmath>

namespace stelmar {
namespace {

// How many windows of `tile` cover `length` with `overlap` between them.
int Count(int length, double tile, double overlap)
{
    if (length <= tile) return 1;
    const double step = std::max(tile - overlap, 1.0);
    return 1 + static_cast<int>(std::ceil((length - tile) / step - 1e-9));
}

}  // namespace

SheetTiling TileExtent(const QRect& extent, const QSizeF& side, double overlap)
{
    SheetTiling tiling;
    const QSize size(std::max(1, static_cast<int>(std::floor(side.width()))),
                     std::max(1, static_cast<int>(std::floor(side.height()))));
    tiling.Columns = Count(extent.width(), size.width(), overlap);
    tiling.Rows = Count(extent.height(), size.height(), overlap);
    const auto start = [](int from, int length, int tile, int count, int i) {
        if (count == 1) return from + (length - tile) / 2;
        return from + static_cast<int>(std::lround(double(length - tile) * i / (count - 1)));
    };
    for (int r = 0; r < tiling.Rows; ++r)
        for (int c = 0; c < tiling.Columns; ++c)
            tiling.Tiles.push_back({QRect(QPoint(start(extent.left(), extent.width(), size.width(), tiling.Columns, c),
                                                 start(extent.top(), extent.height(), size.height(), tiling.Rows, r)),
                                          size),
                                    r, c});
    return tiling;
}

}  // namespace stelmar
