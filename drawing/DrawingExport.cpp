#include "drawing/DrawingExport.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "drawing/DeviceDrawing.h"
#include "drawing/FloorExtent.h"
#include "drawing/OverlayPainting.h"
#include "drawing/Canvas.h"
#include "drawing/SchemeDrawing.h"

namespace stelmar {
namespace {

constexpr int kScreenDpi = 96;
constexpr int kPdfDpi = 288;  // a PDF export's plan: three device pixels to a canvas pixel
constexpr int kLegendRoom = 16;  // the legend's inset on both sides

void PaintExport(const TPipeLine& s, const SchemeOverlay* overlay, const PlanPicture* plan, QPainter& painter,
                 const QRect& extent)
{
    TPipeLine copy = PrintoutCopy(s);
    painter.fillRect(QRect(QPoint(0, 0), extent.size()), Qt::white);
    DrawPrintout(copy, s.ActiveEtag, painter, extent, 1.0, overlay, plan);
}

}  // namespace

QRect ExportExtent(const TPipeLine& s, const SchemeOverlay* overlay)
{
    QRect extent = FloorExtent(s, s.ActiveEtag);
    if (extent.isEmpty()) return QRect(QPoint(0, 0), CanvasExtent(s, 0, 0));
    if (overlay && overlay->ShowLegend && !overlay->Legend.empty()) {
        // A band under the drawing as tall as the legend, so that a corner
        // is always free of the elements for it.
        const QRect legend = LegendFrame(*overlay, TextFont(OverlayFont(s.Font), nullptr));
        extent.setBottom(extent.bottom() + legend.height() + kLegendRoom);
        extent.setRight(std::max(extent.right(), extent.left() + legend.width() + kLegendRoom));
    }
    return extent;
}

QImage RasterDrawing(const TPipeLine& s, const SchemeOverlay* overlay, const PlanPicture* plan)
{
    const QRect extent = ExportExtent(s, overlay);
    QImage image(extent.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    PaintExport(s, overlay, plan, painter, extent);
    return image;
}

QByteArray VectorDrawing(const TPipeLine& s, const SchemeOverlay* overlay, VectorFormat format, const PlanPicture* plan)
{
    const QRect extent = ExportExtent(s, overlay);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPainter painter;
    if (format == VectorFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(extent.size());
        svg.setViewBox(QRect(QPoint(0, 0), extent.size()));
        svg.setResolution(kScreenDpi);
        svg.setTitle(QStringLiteral("Этаж %1").arg(s.ActiveEtag));
        if (!painter.begin(&svg)) return {};
        PaintExport(s, overlay, plan, painter, extent);
        if (!painter.end()) return {};
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPdfDpi);
        pdf.setPageSize(QPageSize(QSizeF(extent.width() * 72.0 / kScreenDpi, extent.height() * 72.0 / kScreenDpi),
                                  QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QStringLiteral("Этаж %1").arg(s.ActiveEtag));
        if (!painter.begin(&pdf)) return {};
        painter.scale(double(kPdfDpi) / kScreenDpi, double(kPdfDpi) / kScreenDpi);
        PaintExport(s, overlay, plan, painter, extent);
        if (!painter.end()) return {};
    }
    return bytes;
}

}  // namespace stelmar
