#include "dialogs/PrintSheets.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

#include "drawing/DeviceDrawing.h"
#include "drawing/FloorExtent.h"
#include "drawing/SheetTiles.h"

namespace stelmar {
namespace {

constexpr double kMargin = 14;       // points inside the printable part
constexpr double kTitleBand = 40;    // the title block's band under the drawing
constexpr double kOverlap = 28.35;   // 1 cm of paper shared by neighbouring sheets
constexpr double kTitleSize = 8;     // pt
constexpr double kScreenText = 0.75; // points per screen pixel: labels as large as on the screen
constexpr double kSmallestText = 0.5;// the smallest unit: labels of 5.5 pt and more

double MetresOf(const TPipeLine& s, int floor, const DrawingScale& scale)
{
    return scale.Metric ? s.Plans[std::size_t(floor)].Scale : 0;
}

QString SheetText(const PrintSheet& sheet, int number, int count)
{
    QString text = QStringLiteral("Лист %1 из %2").arg(number).arg(count);
    if (sheet.Rows * sheet.Columns > 1)
        text += QStringLiteral(" (ряд %1, столбец %2)").arg(sheet.Row + 1).arg(sheet.Column + 1);
    return text;
}

}  // namespace

std::vector<int> PrintedFloors(const TPipeLine& s, bool allFloors)
{
    if (!allFloors) return {s.ActiveEtag};
    std::vector<int> floors;
    for (int f = 1; f <= s.EtagCount; ++f)
        if (!FloorExtent(s, f).isEmpty()) floors.push_back(f);
    if (floors.empty()) floors.push_back(s.ActiveEtag);
    return floors;
}

bool MetricFloors(const TPipeLine& s, const std::vector<int>& floors)
{
    return !floors.empty() &&
           std::all_of(floors.begin(), floors.end(), [&](int f) { return s.Plans[std::size_t(f)].Scale > 0; });
}

QPageLayout::Orientation SheetOrientation(const TPipeLine& s, const std::vector<int>& floors)
{
    QRect widest;
    for (int f : floors) {
        const QRect extent = FloorExtent(s, f);
        if (extent.width() > widest.width()) widest = extent;
    }
    return widest.width() > widest.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QRectF SheetRoom(const QSizeF& printable)
{
    return QRectF(QPointF(kMargin, kMargin),
                  QPointF(printable.width() - kMargin, printable.height() - kMargin - kTitleBand));
}

std::vector<PrintSheet> PlanSheets(const TPipeLine& s, const PrintChoice& choice, const QSizeF& printable)
{
    std::vector<PrintSheet> sheets;
    const QRectF room = SheetRoom(printable);
    if (room.width() <= 0 || room.height() <= 0) return sheets;
    const std::vector<int> floors = PrintedFloors(s, choice.AllFloors);
    const bool metric = MetricFloors(s, floors);
    for (int f : floors) {
        QRect extent = FloorExtent(s, f);
        if (extent.isEmpty()) extent = QRect(0, 0, std::max(s.WSpaceG, 1), std::max(s.WSpaceV, 1));
        const DrawingScale scale =
            choice.Scale && choice.Scale->Metric == metric ? *choice.Scale
                                                           : FitScale(extent.size(), room.size(), metric ? s.Plans[std::size_t(f)].Scale : 0);
        const double perPixel = scale.PointsPerPixel(MetresOf(s, f, scale));
        const SheetTiling tiling = TileExtent(extent, room.size() / perPixel, kOverlap / perPixel);
        for (const SheetTile& tile : tiling.Tiles)
            sheets.push_back({f, tile.Window, scale, tile.Row, tile.Column, tiling.Rows, tiling.Columns});
    }
    return sheets;
}

void PaintSheet(QPainter& painter, double unitsPerPoint, const QSizeF& printable, TPipeLine& view,
                const PrintSheet& sheet, int number, int count, const SchemeOverlay* overlay, const QString& project,
                const PlanPicture* plan)
{
    const double k = unitsPerPoint;
    const QRectF room = SheetRoom(printable);
    const double perPixel = sheet.Scale.PointsPerPixel(MetresOf(view, sheet.Floor, sheet.Scale));
    const double unit = std::max(kSmallestText, std::min(perPixel, kScreenText));
    const QSizeF size = QSizeF(sheet.Window.size()) * perPixel;
    const QRectF frame(room.topLeft() + QPointF(std::max(0.0, (room.width() - size.width()) / 2),
                                                std::max(0.0, (room.height() - size.height()) / 2)),
                       size.boundedTo(room.size()));
    painter.save();
    painter.translate(frame.topLeft() * k);
    painter.scale(k * unit, k * unit);
    DrawPrintout(view, sheet.Floor, painter, sheet.Window, perPixel / unit, overlay, plan);
    painter.restore();

    // Where this sheet's overlap with its neighbours begins.
    painter.save();
    QPen overlap(QColor(90, 90, 90));
    overlap.setWidthF(0.4 * k);
    overlap.setStyle(Qt::DashLine);
    painter.setPen(overlap);
    const QRectF f(frame.topLeft() * k, frame.size() * k);
    const double band = kOverlap * k;
    if (sheet.Column > 0) painter.drawLine(QPointF(f.left() + band, f.top()), QPointF(f.left() + band, f.bottom()));
    if (sheet.Column + 1 < sheet.Columns)
        painter.drawLine(QPointF(f.right() - band, f.top()), QPointF(f.right() - band, f.bottom()));
    if (sheet.Row > 0) painter.drawLine(QPointF(f.left(), f.top() + band), QPointF(f.right(), f.top() + band));
    if (sheet.Row + 1 < sheet.Rows)
        painter.drawLine(QPointF(f.left(), f.bottom() - band), QPointF(f.right(), f.bottom() - band));
    QPen border(QColor(120, 120, 120));
    border.setWidthF(0.5 * k);
    painter.setPen(border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(f);

    // The title block, right under the drawing's room.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(kTitleSize);
    painter.setFont(font);
    const double width = std::min(room.width(), 330.0);
    const QRectF block(QPointF((room.right() - width) * k, (room.bottom() + 6) * k), QSizeF(width, kTitleBand - 8) * k);
    QPen line(Qt::black);
    line.setWidthF(0.6 * k);
    painter.setPen(line);
    painter.drawRect(block);
    const double half = block.height() / 2;
    painter.drawLine(QPointF(block.left(), block.top() + half), QPointF(block.right(), block.top() + half));
    // Floor, scale and sheet side by side under the project.
    const double floorEdge = block.left() + 0.2 * block.width();
    const double scaleEdge = block.left() + 0.45 * block.width();
    for (double x : {floorEdge, scaleEdge}) painter.drawLine(QPointF(x, block.top() + half), QPointF(x, block.bottom()));
    const auto cell = [&](double left, double top, double right, const QString& text) {
        painter.drawText(QRectF(QPointF(left + 3 * k, top), QPointF(right - 3 * k, top + half)),
                         Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
    };
    cell(block.left(), block.top(), block.right(), QStringLiteral("Проект: ") + project);
    const double lower = block.top() + half;
    cell(block.left(), lower, floorEdge, QStringLiteral("Этаж %1").arg(sheet.Floor));
    cell(floorEdge, lower, scaleEdge, QStringLiteral("Масштаб ") + sheet.Scale.Text());
    cell(scaleEdge, lower, block.right(), SheetText(sheet, number, count));
    painter.restore();
}

}  // namespace stelmar
