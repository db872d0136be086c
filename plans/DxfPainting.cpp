// Painting DXF plans.

#include "plans/DxfPainting.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace stelmar {
namespace {

// Texts are laid out in a font this many pixels high and scaled to the
// drawing; a DXF text height is the height of its capitals, about 0.7 of
// the font's size.
constexpr double kFontPixels = 100;
constexpr double kCapitals = 0.7;

QColor ColorOf(PlanColor c) { return QColor::fromRgb(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF); }

// Also for the boxes of straight lines along an axis, which have no area.
bool Overlaps(const PlanBox& b, const QRectF& r)
{
    return b.Left <= r.right() && b.Right >= r.left() && b.Bottom <= r.bottom() && b.Top >= r.top();
}

double Length(PlanPoint v) { return std::hypot(v.X, v.Y); }

void PaintText(QPainter& painter, const PlanText& t, const QTransform& toDevice, const QFont& font,
               const QFontMetricsF& metrics)
{
    const double scale = 1 / (kFontPixels * kCapitals);
    const QTransform local(t.Along.X * scale, t.Along.Y * scale, -t.Up.X * scale, -t.Up.Y * scale, t.At.X, t.At.Y);
    const QStringList lines = QString::fromStdString(t.Text).split('\n');
    const double step = metrics.height() * 1.1;
    const double block = step * (lines.size() - 1);
    double y = 0;
    switch (t.Base) {
    case TextBase::Baseline: y = 0; break;
    case TextBase::Bottom: y = -metrics.descent() - block; break;
    case TextBase::Middle: y = kFontPixels * kCapitals / 2 - block / 2; break;
    case TextBase::Top: y = kFontPixels * kCapitals; break;
    }
    painter.setTransform(local * toDevice);
    painter.setFont(font);
    for (const QString& line : lines) {
        const double width = metrics.horizontalAdvance(line);
        const double x = t.Align == TextAlign::Start ? 0 : t.Align == TextAlign::Center ? -width / 2 : -width;
        painter.drawText(QPointF(x, y), line);
        y += step;
    }
}

}  // namespace

PlanBoxes::PlanBoxes(const PlanDrawing& d)
{
    Boxes.reserve(d.Polylines.size() + d.Arcs.size() + d.Texts.size());
    for (const PlanPolyline& p : d.Polylines) {
        PlanBox box;
        for (std::uint32_t k = 0; k < p.Count; ++k) box.Add(d.Points[p.First + k]);
        Boxes.push_back(box);
    }
    for (const PlanArc& a : d.Arcs) {
        const double rx = std::hypot(a.Major.X, a.Minor.X), ry = std::hypot(a.Major.Y, a.Minor.Y);
        PlanBox box;
        box.Add({a.Center.X - rx, a.Center.Y - ry});
        box.Add({a.Center.X + rx, a.Center.Y + ry});
        Boxes.push_back(box);
    }
    for (const PlanText& t : d.Texts) {
        // Generously: the text's height around its anchor, as long as its longest line.
        std::size_t longest = 0, run = 0;
        for (char c : t.Text) {
            run = c == '\n' ? 0 : run + ((c & 0xC0) != 0x80);
            longest = std::max(longest, run);
        }
        const double lines = 1 + static_cast<double>(std::count(t.Text.begin(), t.Text.end(), '\n'));
        const double reach = (Length(t.Along) * (longest + 1) + Length(t.Up) * 2 * lines);
        PlanBox box;
        box.Add({t.At.X - reach, t.At.Y - reach});
        box.Add({t.At.X + reach, t.At.Y + reach});
        Boxes.push_back(box);
    }
}

void PaintPlan(QPainter& painter, const PlanDrawing& d, const PlanBoxes& boxes, const std::vector<bool>& shown,
               const QTransform& toDevice, const QRectF& deviceRect)
{
    const QRectF wanted = toDevice.inverted().mapRect(deviceRect);
    const double unitPixels = std::sqrt(std::abs(toDevice.determinant()));
    const auto visible = [&](std::size_t box, int layer) {
        return (layer < 0 || layer >= int(shown.size()) || shown[layer]) && Overlaps(boxes.Boxes[box], wanted);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QPen pen(Qt::black, 0);  // cosmetic: one pixel at any zoom
    PlanColor penColor = 0;
    const auto usePen = [&](PlanColor c) {
        if (c == penColor) return;
        penColor = c;
        pen.setColor(ColorOf(c));
        painter.setPen(pen);
    };
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);

    std::vector<QPointF> points;
    for (std::size_t i = 0; i < d.Polylines.size(); ++i) {
        const PlanPolyline& p = d.Polylines[i];
        if (!visible(i, p.Layer)) continue;
        usePen(p.Color);
        points.clear();
        for (std::uint32_t k = 0; k < p.Count; ++k) {
            const PlanPoint& q = d.Points[p.First + k];
            points.push_back(toDevice.map(QPointF(q.X, q.Y)));
        }
        if (p.Closed && p.Count > 2) points.push_back(points.front());
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    const std::size_t arcsAt = d.Polylines.size();
    for (std::size_t i = 0; i < d.Arcs.size(); ++i) {
        const PlanArc& a = d.Arcs[i];
        if (!visible(arcsAt + i, a.Layer)) continue;
        usePen(a.Color);
        // Steps short enough that the chords stay within a quarter pixel.
        const double radius = std::max(Length(a.Major), Length(a.Minor)) * unitPixels;
        const double step = radius > 0.25 ? 2 * std::acos(std::max(-1.0, 1 - 0.25 / radius)) : a.Sweep;
        const int count = std::clamp(static_cast<int>(std::ceil(a.Sweep / std::max(step, 1e-4))), 2, 4096);
        points.clear();
        for (int k = 0; k <= count; ++k) {
            const PlanPoint q = a.At(a.Start + a.Sweep * k / count);
            points.push_back(toDevice.map(QPointF(q.X, q.Y)));
        }
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    QFont font("DejaVu Sans");
    font.setPixelSize(static_cast<int>(kFontPixels));
    const QFontMetricsF metrics(font);
    const std::size_t textsAt = arcsAt + d.Arcs.size();
    for (std::size_t i = 0; i < d.Texts.size(); ++i) {
        const PlanText& t = d.Texts[i];
        // Texts less than a pixel and a half high are left out.
        if (!visible(textsAt + i, t.Layer) || Length(t.Up) * unitPixels < 1.5) continue;
        usePen(t.Color);
        PaintText(painter, t, toDevice, font, metrics);
    }
    painter.restore();
}

}  // namespace stelmar
