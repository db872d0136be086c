#include "examples/ExamplePlanFiles.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <stdexcept>

#include "plans/PlanFiles.h"

namespace stelmar::examples {
namespace {

QColor LayerColour(const std::string& layer)
{
    if (layer == "Двери") return QColor(0, 0x80, 0);
    if (layer == "Лестницы") return QColor(0xC0, 0, 0);
    if (layer == "Текст") return QColor(0, 0, 0xA0);
    if (layer == "Рамка") return QColor(0x80, 0x80, 0x80);
    return Qt::black;
}

// Paints the page, a painter unit to a unit of the page.
void Paint(QPainter& p, const PlanDrawing& d)
{
    constexpr double kHeavy = 1.5;  // the width of a heavy line
    p.setRenderHint(QPainter::Antialiasing);
    for (const PlanLine& l : d.Lines) {
        p.setPen(QPen(LayerColour(l.Layer), l.Layer == kWallLayer ? kHeavy : kHeavy / 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(l.X1, l.Y1), QPointF(l.X2, l.Y2));
    }
    for (const PlanText& t : d.Texts) {
        QFont font("DejaVu Sans");
        // The height given is that of the capitals, about 0.72 of the font's pixel size.
        font.setPixelSize(std::max(1, int(std::lround(t.Height / 0.72))));
        p.setFont(font);
        p.setPen(LayerColour(t.Layer));
        p.drawText(QPointF(t.X, t.Y), QString::fromStdString(t.Text));
    }
}

std::string Pdf(const PlanDrawing& page)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(72);  // a painter unit is a point
        writer.setCreator("Stelmar make_examples");
        writer.setTitle("План 1 этажа");
        QPainter p(&writer);
        Paint(p, page);
    }
    return bytes.toStdString();
}

// The floor's picture the program makes of the floor's plan.
BitmapRef FloorPicture(const TFloorPlan& plan)
{
    QString reason;
    const PlanPictureRef picture = OpenPlanPicture(plan, &reason);
    if (!picture) throw std::runtime_error("План " + plan.SourceName + " не открыт: " + reason.toStdString());
    return std::make_shared<const Bitmap>(PlanBitmap(*picture, plan));
}

}  // namespace

ExamplePlanFiles MakeExamplePlanFiles()
{
    return {Pdf(FloorOnePage()), FloorPicture};
}

}  // namespace stelmar::examples
