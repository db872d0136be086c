#pragma once

// PDF plans for the tests, written by QPdfWriter: pages of `width` x
// `height` points, each with a black frame 1 point inside its edge, a black
// line across it from corner to corner and, at its middle, a black square
// of 10 points per page number (page 3 has a square of 30 points).

#include <QBuffer>
#include <QByteArray>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace stelmar {

inline QByteArray PlanPdf(int pages, double width = 600, double height = 400)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    // Without it QPdfWriter outlines the first page's lines as hairlines.
    painter.setRenderHint(QPainter::Antialiasing);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) writer.newPage();
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(QRectF(1, 1, width - 2, height - 2));
        painter.drawLine(QPointF(0, 0), QPointF(width, height));
        const double side = 10.0 * page;
        painter.fillRect(QRectF(width / 2 - side / 2, height / 2 - side / 2, side, side), Qt::black);
    }
    painter.end();
    return bytes;
}

}  // namespace stelmar
