#include "examples/ExamplePlanFiles.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

#include "pictures/PictureFiles.h"

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

// Paints the plan, its units mapped by `to` into the painter's pixels,
// `scale` of them to a unit; a heavy line is `heavy` pixels wide.
template <typename Map>
void Paint(QPainter& p, const PlanDrawing& d, Map to, double scale, double heavy)
{
    p.setRenderHint(QPainter::Antialiasing);
    for (const PlanLine& l : d.Lines) {
        p.setPen(QPen(LayerColour(l.Layer), l.Layer == kWallLayer ? heavy : heavy / 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(to(l.X1, l.Y1), to(l.X2, l.Y2));
    }
    for (const PlanText& t : d.Texts) {
        QFont font("DejaVu Sans");
        // The height given is that of the capitals, about 0.72 of the font's pixel size.
        font.setPixelSize(std::max(1, int(std::lround(t.Height * scale / 0.72))));
        p.setFont(font);
        p.setPen(LayerColour(t.Layer));
        p.drawText(to(t.X, t.Y), QString::fromStdString(t.Text));
    }
}

// The plan at its placement on a white picture just large enough for it.
BitmapRef Picture(const PlanDrawing& d, const PlanPlacement& at, double width, double height, bool yUp)
{
    QImage image(int(std::ceil(at.OriginX + width * at.PixelsPerUnit)), int(std::ceil(at.OriginY + height * at.PixelsPerUnit)),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    Paint(
        p, d,
        [&](double x, double y) {
            return QPointF(at.OriginX + x * at.PixelsPerUnit, at.OriginY + (yUp ? height - y : y) * at.PixelsPerUnit);
        },
        at.PixelsPerUnit, 2);
    p.end();
    return std::make_shared<const Bitmap>(FromQImage(image));
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
        Paint(p, page, [](double x, double y) { return QPointF(x, y); }, 1, 1.5);
    }
    return bytes.toStdString();
}

}  // namespace

ExamplePlanFiles MakeExamplePlanFiles()
{
    const PlanDrawing page = FloorOnePage();
    const PlanDrawing drawing = FloorTwoDrawing();
    return {Pdf(page), Picture(page, FloorOnePlacement(), kPdfPageWidth, kPdfPageHeight, false),
            Picture(drawing, FloorTwoPlacement(), kDxfFrameWidth, kDxfFrameHeight, true)};
}

}  // namespace stelmar::examples
