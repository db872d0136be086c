#include "drawing/LabelPlacement.h"

#include <QLineF>
#include <QRectF>
#include <algorithm>

namespace stelmar {

LabelPlacer::LabelPlacer(const QRect& frame, int cell)
    : frame_(frame),
      cell_(std::max(cell, 4)),
      columns_(std::max(1, (frame.width() + cell_ - 1) / cell_)),
      rows_(std::max(1, (frame.height() + cell_ - 1) / cell_)),
      grid_(std::size_t(columns_) * std::size_t(rows_))
{
}

LabelPlacer::Cells LabelPlacer::CellsOf(const QRect& box) const
{
    const auto column = [this](int x) { return std::clamp((x - frame_.left()) / cell_, 0, columns_ - 1); };
    const auto row = [this](int y) { return std::clamp((y - frame_.top()) / cell_, 0, rows_ - 1); };
    return {column(box.left()), row(box.top()), column(box.right()), row(box.bottom())};
}

bool LabelPlacer::Free(const QRect& box) const
{
    if (!frame_.contains(box)) return false;
    const Cells c = CellsOf(box);
    for (int y = c.Top; y <= c.Bottom; ++y)
        for (int x = c.Left; x <= c.Right; ++x)
            for (int k : grid_[std::size_t(y) * std::size_t(columns_) + std::size_t(x)])
                if (boxes_[std::size_t(k)].intersects(box)) return false;
    return true;
}

void LabelPlacer::Take(const QRect& box)
{
    if (!box.intersects(frame_)) return;
    const int k = int(boxes_.size());
    boxes_.push_back(box);
    const Cells c = CellsOf(box);
    for (int y = c.Top; y <= c.Bottom; ++y)
        for (int x = c.Left; x <= c.Right; ++x) grid_[std::size_t(y) * std::size_t(columns_) + std::size_t(x)].push_back(k);
}

std::optional<QPoint> LabelPlacer::Place(const QSize& size, std::span<const QPoint> places)
{
    for (const QPoint& p : places) {
        const QRect box(p, size);
        if (!Free(box)) continue;
        Take(box);
        ++placed_;
        return p;
    }
    ++leftOut_;
    return std::nullopt;
}

std::vector<QPoint> LinePlaces(const QPoint& a, const QPoint& b, const QSize& size)
{
    constexpr int kGapX = 6;
    constexpr int kGapY = 4;
    const int w = size.width();
    const int h = size.height();
    std::vector<QPoint> places;
    places.reserve(16);
    const auto around = [&](const QPoint& m, int reach) {
        places.emplace_back(m.x() + kGapX, m.y() + reach);
        places.emplace_back(m.x() - kGapX - w, m.y() - reach - h);
        places.emplace_back(m.x() + kGapX, m.y() - reach - h);
        places.emplace_back(m.x() - kGapX - w, m.y() + reach);
    };
    const QPoint middle = (a + b) / 2;
    around(middle, kGapY);
    around(a + (b - a) / 4, kGapY);
    around(b + (a - b) / 4, kGapY);
    // One label's height further out, past the numbers of nodes drawn
    // close beside a short line.
    around(middle, kGapY + h + kGapY);
    return places;
}

std::vector<QPoint> PointPlaces(const QPoint& p, int reach, const QSize& size)
{
    const int w = size.width();
    const int h = size.height();
    return {{p.x() - 8, p.y() + reach + 1},
            {p.x() - 8, p.y() - reach - 1 - h},
            {p.x() + reach + 3, p.y() - h / 2},
            {p.x() - reach - 3 - w, p.y() - h / 2},
            {p.x() - 8, p.y() + reach + 1 + h + 3},
            {p.x() - 8, p.y() - reach - 1 - 2 * h - 3}};
}


namespace {

bool Crosses(const QRect& box, const QLine& line)
{
    const QRectF r(box);
    if (r.contains(line.p1()) || r.contains(line.p2())) return true;
    const QLineF l(line);
    const QLineF edges[] = {{r.topLeft(), r.topRight()},
                            {r.topRight(), r.bottomRight()},
                            {r.bottomRight(), r.bottomLeft()},
                            {r.bottomLeft(), r.topLeft()}};
    for (const QLineF& edge : edges)
        if (l.intersects(edge, nullptr) == QLineF::BoundedIntersection) return true;
    return false;
}

}  // namespace

std::vector<QPoint> ClearOfLines(std::vector<QPoint> places, const QSize& size, std::span<const QLine> lines)
{
    std::stable_partition(places.begin(), places.end(), [&](const QPoint& p) {
        const QRect box(p, size);
        return std::none_of(lines.begin(), lines.end(), [&](const QLine& line) { return Crosses(box, line); });
    });
    return places;
}

}  // namespace stelmar
