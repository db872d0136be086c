#include "pdf/FloorPages.h"

#include <QPainter>
#include <QPen>
#include <QPicture>
#include <algorithm>
#include <cmath>

#include "drawing/DeviceDrawing.h"
#include "drawing/FloorExtent.h"
#include "drawing/ResultsDrawing.h"
#include "drawing/SchemeDrawing.h"
#include "drawing/SheetTiles.h"
#include "pdf/ReportLayout.h"

namespace stelmar {
namespace {

// The bands of a drawing page above and below the drawing, points.
constexpr double kHeaderBand = 58;
constexpr double kLegendBand = 58;
constexpr double kLegendRow = 12.5;
constexpr double kLegendSize = 8.5;
constexpr double kSmallestText = 6;      // points, at print size
constexpr double kScreenText = 0.75;     // points per screen pixel: labels as large as on the screen
constexpr int kOverlayFontPixels = 11;  // the results' figures
constexpr double kLeftOutShare = 0.1;
constexpr double kTileOverlap = 0.06;   // of a detail's shorter side

QString FloorTitle(const DrawingPage& p)
{
    QString title = QStringLiteral("Этаж %1").arg(p.Floor);
    if (p.Details == 0) return title;
    if (p.Detail == 0) return title + QStringLiteral(" — общий вид");
    return title + QStringLiteral(" — фрагмент %1 из %2").arg(p.Detail).arg(p.Details);
}

// Points per "print pixel", the unit the drawing keeps its symbols, lines
// and label fonts in: as on the screen, smaller with the drawing down to
// labels of 6 pt.
double TextUnit(double pointsPerPixel, double smallestUnit)
{
    return std::max(smallestUnit, std::min(pointsPerPixel, kScreenText));
}

}  // namespace

QRectF FloorPages::DrawingRoom(QPageLayout::Orientation orientation)
{
    const QSizeF page = ReportLayout::PageSize(orientation);
    const double left = orientation == QPageLayout::Portrait ? ReportLayout::kLeft : ReportLayout::kTop;
    return QRectF(QPointF(left, ReportLayout::kTop + kHeaderBand),
                  QPointF(page.width() - ReportLayout::kRight, page.height() - ReportLayout::kBottom - kLegendBand));
}

double FloorPages::PointsPerPixel(int floor, const DrawingScale& scale) const
{
    return scale.PointsPerPixel(view_.Plans[std::size_t(floor)].Scale);
}

FloorPages::FloorPages(const TPipeLine& s, const SchemeOverlay& overlay, PdfFonts& fonts, FloorPlanPictures plans)
    : view_(PrintoutCopy(s)), overlay_(overlay), fonts_(fonts), plans_(std::move(plans))
{
    overlay_.ShowLegend = false;  // the legend goes under the drawing
    struct Floor {
        int Number;
        QRect Extent;
    };
    std::vector<Floor> floors;
    bool metric = true;
    for (int f = 1; f <= view_.EtagCount; ++f) {
        const QRect extent = FloorExtent(view_, f);
        if (extent.isEmpty()) continue;
        floors.push_back({f, extent});
        metric = metric && view_.Plans[std::size_t(f)].Scale > 0;
    }
    if (floors.empty()) return;

    // One scale: the largest at which every floor fits a page in the
    // orientation that suits it best.
    const auto fit = [&](const Floor& f, QPageLayout::Orientation o) {
        return FitScale(f.Extent.size(), DrawingRoom(o).size(), metric ? view_.Plans[std::size_t(f.Number)].Scale : 0);
    };
    std::optional<DrawingScale> common;
    for (const Floor& f : floors) {
        const DrawingScale portrait = fit(f, QPageLayout::Portrait);
        const DrawingScale landscape = fit(f, QPageLayout::Landscape);
        // The larger of the two: the smaller of them is the other one.
        const DrawingScale best = SmallerScale(portrait, landscape) == portrait ? landscape : portrait;
        common = common ? SmallerScale(*common, best) : best;
    }
    scale_ = *common;
    const auto orientationOf = [&](const Floor& f, const DrawingScale& scale) {
        const double k = PointsPerPixel(f.Number, scale);
        const auto fits = [&](QPageLayout::Orientation o) {
            const QSizeF room = DrawingRoom(o).size();
            return f.Extent.width() * k <= room.width() + 0.01 && f.Extent.height() * k <= room.height() + 0.01;
        };
        const bool wide = f.Extent.width() > f.Extent.height();
        const QPageLayout::Orientation shape = wide ? QPageLayout::Landscape : QPageLayout::Portrait;
        const QPageLayout::Orientation other = wide ? QPageLayout::Portrait : QPageLayout::Landscape;
        return fits(shape) || !fits(other) ? shape : other;
    };

    // Labels of 6 pt at least: the smallest unit keeps the smaller of the
    // label fonts at 6 pt.
    const int fontPixels = std::min(kOverlayFontPixels, LabelFont(view_.Font).pixelSize());
    const double smallestUnit = kSmallestText / std::max(fontPixels, 1);
    // Labels never shrink under 6 pt: where the drawing is smaller they
    // keep 6 pt and crowd, and the trial placement tells how many find no
    // room.
    bool details = false;
    for (const Floor& f : floors) {
        if (details) break;
        const double k = PointsPerPixel(f.Number, scale_);
        // A trial of the placement of the labels, painted into nothing.
        QPicture trial;
        QPainter painter(&trial);
        const double unit = TextUnit(k, smallestUnit);
        const LabelTally tally = DrawPrintout(view_, f.Number, painter, f.Extent, k / unit, &overlay_);
        const int labels = tally.Placed + tally.LeftOut;
        if (labels > 0 && tally.LeftOut > kLeftOutShare * labels) details = true;
    }
    if (details) {
        // One scale for the details: twice the overview's, and labels of
        // 6 pt without shrinking.
        std::optional<DrawingScale> wanted;
        for (const Floor& f : floors) {
            const double k = std::max(smallestUnit, 2 * PointsPerPixel(f.Number, scale_));
            const double metres = metric ? view_.Plans[std::size_t(f.Number)].Scale : 0;
            const DrawingScale own = metres > 0 ? DrawingScale{true, metres / (k * 0.0254 / 72)}
                                                : DrawingScale{false, k / kPointsPerCanvasPixel * 100};
            // The larger of the floors' scales serves all of them.
            wanted = !wanted ? own : SmallerScale(*wanted, own) == own ? *wanted : own;
        }
        detailScale_ = StandardScaleAtLeast(*wanted);
    }

    for (const Floor& f : floors) {
        const QPageLayout::Orientation o = orientationOf(f, scale_);
        if (!detailScale_) {
            pages_.push_back({f.Number, o, f.Extent});
            continue;
        }
        const QSizeF room = DrawingRoom(o).size();
        const double k = PointsPerPixel(f.Number, *detailScale_);
        const SheetTiling tiling = TileExtent(f.Extent, room / k, kTileOverlap * std::min(room.width(), room.height()) / k);
        const int count = int(tiling.Tiles.size());
        pages_.push_back({f.Number, o, f.Extent, 0, count});
        for (int i = 0; i < count; ++i) pages_.push_back({f.Number, o, tiling.Tiles[std::size_t(i)].Window, i + 1, count});
    }
}

void FloorPages::Compose(ReportLayout& layout)
{
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const DrawingPage& p = pages_[i];
        layout.WholePage(p.Orientation, [this, &p, i](QPainter& painter, const QRectF& page) { Paint(painter, page, p, i == 0); });
    }
}

void FloorPages::Paint(QPainter& painter, const QRectF& page, const DrawingPage& p, bool first)
{
    const double k = page.width() / ReportLayout::PageSize(p.Orientation).width();  // device units per point
    const QRectF room = DrawingRoom(p.Orientation);
    const DrawingScale& scale = p.Detail > 0 ? *detailScale_ : scale_;
    const double perPixel = PointsPerPixel(p.Floor, scale);

    // The headings: the section, the floor, the scale.
    const auto write = [&](double size, bool bold, double baseline, const QString& text) {
        painter.setFont(fonts_.Get({size, bold}).Font());
        painter.setPen(Qt::black);
        painter.drawText(QPointF(room.left() * k, baseline * k), text);
    };
    const double top = ReportLayout::kTop;
    if (first) write(14, true, top + 14, QString::fromUtf8(kDrawingsHeading));
    write(13, true, top + 32, FloorTitle(p));
    QString scaleText = QStringLiteral("Масштаб ") + scale.Text();
    if (p.Detail == 0 && detailScale_) scaleText += QStringLiteral(", фрагменты в масштабе ") + detailScale_->Text();
    write(10, false, top + 48, scaleText);

    // The drawing in its frame, centred across the room, from its top.
    const QSizeF size(p.Window.width() * perPixel, p.Window.height() * perPixel);
    const QRectF frame(QPointF(room.left() + std::max(0.0, (room.width() - size.width()) / 2), room.top()),
                       size.boundedTo(room.size()));
    const int fontPixels = std::min(kOverlayFontPixels, LabelFont(view_.Font).pixelSize());
    const double unit = TextUnit(perPixel, kSmallestText / std::max(fontPixels, 1));
    painter.save();
    painter.translate(frame.topLeft() * k);
    painter.scale(k * unit, k * unit);
    DrawPrintout(view_, p.Floor, painter, p.Window, perPixel / unit, &overlay_, PlanOf(plans_, p.Floor));
    painter.restore();

    // On the overview, the details' frames and numbers.
    if (p.Detail == 0 && p.Details > 0) {
        const DrawingPage* detail = &p + 1;
        QPen pen(QColor(40, 40, 160));
        pen.setWidthF(0.8 * k);
        pen.setStyle(Qt::DashLine);
        painter.setFont(fonts_.Get({8, true}).Font());
        for (int i = 0; i < p.Details; ++i, ++detail) {
            const QRectF shown = QRectF(detail->Window).translated(-p.Window.topLeft()).intersected(QRectF(QPointF(0, 0), p.Window.size()));
            const QRectF on(frame.left() + shown.left() * perPixel, frame.top() + shown.top() * perPixel,
                            shown.width() * perPixel, shown.height() * perPixel);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(on.topLeft() * k, on.size() * k));
            painter.setPen(QColor(40, 40, 160));
            painter.drawText(QPointF((on.left() + 3) * k, (on.top() + 10) * k), QString::number(i + 1));
        }
    }
    QPen border(QColor(120, 120, 120));
    border.setWidthF(0.5 * k);
    painter.setPen(border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(frame.topLeft() * k, frame.size() * k));

    PaintLegend(painter, k, QRectF(room.left(), frame.bottom() + 8, room.width(), kLegendBand - 8));
}

void FloorPages::PaintLegend(QPainter& painter, double k, const QRectF& box)
{
    const PdfFont& font = fonts_.Get({kLegendSize});
    painter.setFont(font.Font());
    const std::vector<LegendEntry> legend = ResultsLegend();
    const double column = box.width() / 2;
    const int rows = (int(legend.size()) + 1) / 2;
    for (std::size_t i = 0; i < legend.size(); ++i) {
        const double left = box.left() + (int(i) / rows) * column;
        const double middle = box.top() + (int(i) % rows) * kLegendRow + kLegendRow / 2;
        QPen pen(ToQColor(legend[i].Color));
        pen.setWidthF(legend[i].Width * 0.6 * k);
        pen.setStyle(legend[i].Style);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(left * k, middle * k), QPointF((left + 24) * k, middle * k));
        painter.setPen(Qt::black);
        painter.drawText(QPointF((left + 30) * k, (middle + (font.Ascent() - font.Descent()) / 2) * k), legend[i].Caption);
    }
    const double baseline = box.top() + rows * kLegendRow + font.Ascent();
    painter.drawText(QPointF(box.left() * k, baseline * k),
                     QStringLiteral("Числа у участков — время от начала эвакуации до выхода потоков с участка, мин."));
}

}  // namespace stelmar
