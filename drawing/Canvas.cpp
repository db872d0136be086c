#include "drawing/Canvas.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "drawing/SchemeDrawing.h"

namespace stelmar {

TextFont::TextFont(const QFont& font, const QPaintDevice* device)
    : Font(font), Ascent(QFontMetrics(font, device).ascent()), Raw(QRawFont::fromFont(font)),
      Metrics(font, device)
{
    const QString chars = QString::fromUtf16(kPlainChars, kPlainCount);
    int count = kPlainCount;  // room in PlainGlyphs, then the glyphs found
    // Underlined and struck-out text keeps the text layout, whose lines
    // span the laid-out width.
    HasPlainGlyphs = !font.underline() && !font.strikeOut() && Raw.isValid() &&
                     Raw.glyphIndexesForChars(chars.constData(), kPlainCount, PlainGlyphs.data(), &count) &&
                     count == kPlainCount &&
                     std::find(PlainGlyphs.begin(), PlainGlyphs.end(), 0u) == PlainGlyphs.end() &&
                     Raw.advancesForGlyphIndexes(PlainGlyphs.data(), PlainAdvances.data(), kPlainCount);
    Run.setRawFont(Raw);
}

QSize TextFont::Size(const QString& text) const
{
    const int height = Metrics.height();
    if (HasPlainGlyphs) {
        const std::u16string_view plain(kPlainChars, kPlainCount);
        double width = 0;
        bool all = true;
        for (const QChar c : text) {
            const std::size_t k = plain.find(c.unicode());
            if (k == std::u16string_view::npos) {
                all = false;
                break;
            }
            width += PlainAdvances[k].x();
        }
        if (all) return {static_cast<int>(std::ceil(width)), height};
    }
    return {Metrics.horizontalAdvance(text), height};
}

namespace {

void PreparePainter(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBrush(Qt::white);
}

}  // namespace

Canvas::Canvas(QImage& image) : own_(&image), raster_(true), painter_(own_)
{
    PreparePainter(painter_);
    ApplyPen(applied_);
}

Canvas::Canvas(QPainter& painter) : painter_(painter)
{
    PreparePainter(painter_);
    ApplyPen(applied_);
}

void Canvas::SetBrush(TColor color) { painter_.setBrush(ToQColor(color)); }

void Canvas::SetFont(const TextFont& font, TColor color)
{
    if (font_ != &font) painter_.setFont(font.Font);
    font_ = &font;
    fontColor_ = color;
}

void Canvas::FillRect(const QRect& rect, TColor color) { painter_.fillRect(rect, ToQColor(color)); }

void Canvas::DrawImage(const QPoint& at, const QImage& image, const QRect& source)
{
    painter_.drawImage(at, image, source);
}

void Canvas::DrawScaledImage(const QRectF& target, const QImage& image, const QRect& source, bool smooth)
{
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter_.drawImage(target, image, source);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

double Canvas::DeviceScale() const
{
    const QTransform t = painter_.deviceTransform();
    return std::sqrt(std::abs(t.determinant()));
}

void Canvas::UsePen(const PenKey& key)
{
    if (!(key == applied_)) ApplyPen(key);
}

void Canvas::ApplyPen(const PenKey& key)
{
    applied_ = key;
    pen_ = QPen(ToQColor(key.Color), key.Width, key.Style);
    // A one-pixel line leaves out its last pixel, like a Windows cosmetic
    // pen. Wider lines get square ends, which QPainter rasterizes directly
    // (round ends would go through the general path stroker at several
    // times the cost); at the default sizes the ends lie under the node
    // symbols either way.
    pen_.setCapStyle(key.Width <= 1 ? Qt::FlatCap : Qt::SquareCap);
    painter_.setPen(pen_);
}

void Canvas::Line(int x1, int y1, int x2, int y2)
{
    UseShapePen();
    painter_.drawLine(x1, y1, x2, y2);
}

void Canvas::Lines(const std::vector<QLine>& lines)
{
    UseShapePen();
    painter_.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void Canvas::Ellipse(int left, int top, int right, int bottom)
{
    UseShapePen();
    painter_.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void Canvas::Ring(int left, int top, int right, int bottom)
{
    UseShapePen();
    const QBrush brush = painter_.brush();
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    painter_.setBrush(brush);
}

void Canvas::Rectangle(int left, int top, int right, int bottom)
{
    UseShapePen();
    painter_.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void Canvas::Polyline(const QPoint* points, int count)
{
    UseShapePen();
    painter_.drawPolyline(points, count);
}

void Canvas::Polygon(const QPoint* points, int count)
{
    UseShapePen();
    painter_.drawPolygon(points, count);
}

void Canvas::TextOut(int x, int y, const QString& text)
{
    if (font_ == nullptr) return;
    UsePen({fontColor_, 1, Qt::SolidLine});
    if (!raster_ || !DrawPlain(x, y + font_->Ascent, text)) painter_.drawText(x, y + font_->Ascent, text);
}

bool Canvas::DrawPlain(int x, int baseline, const QString& text)
{
    constexpr int kMaxChars = 24;
    const int count = static_cast<int>(text.size());
    if (!font_->HasPlainGlyphs || count == 0 || count > kMaxChars) return false;
    quint32 glyphs[kMaxChars];
    QPointF positions[kMaxChars];
    QPointF pen(0, 0);
    const std::u16string_view plain(kPlainChars, kPlainCount);
    for (int i = 0; i < count; ++i) {
        const std::size_t k = plain.find(text[i].unicode());
        if (k == std::u16string_view::npos) return false;
        glyphs[i] = font_->PlainGlyphs[k];
        positions[i] = pen;
        pen += font_->PlainAdvances[k];
    }
    font_->Run.setRawData(glyphs, positions, count);
    painter_.drawGlyphRun(QPointF(x, baseline), font_->Run);
    return true;
}

}  // namespace stelmar
