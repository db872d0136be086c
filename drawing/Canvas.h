#pragma once

// A QPainter over the canvas image that behaves like the Windows canvas the
// scheme drawing was designed for: a current pen (colour, width, solid or
// dotted) that stays until changed, a current brush and text colour, shapes
// given by rectangles whose right and bottom edges are excluded, text placed
// by its top-left corner, and no antialiasing. Pen changes are only handed
// to QPainter when something is actually drawn with a different pen.

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QRawFont>
#include <QString>
#include <array>
#include <iterator>
#include <vector>

#include "model/Scheme.h"

namespace stelmar {

// The characters of the most common labels: node numbers and the results'
// figures ("0,52 мин", "q = 6,25", "40 чел.").
inline constexpr char16_t kPlainChars[] = u"0123456789,.- =qvDминчел";
inline constexpr int kPlainCount = static_cast<int>(std::size(kPlainChars)) - 1;

// A font with its ascent, so text can be placed by its top edge, and the
// glyphs of kPlainChars: labels made only of them are drawn from these
// without a text layout, which costs several times as much.
struct TextFont {
    QFont Font;
    int Ascent = 0;
    QRawFont Raw;
    std::array<quint32, kPlainCount> PlainGlyphs{};
    std::array<QPointF, kPlainCount> PlainAdvances{};
    bool HasPlainGlyphs = false;
    mutable QGlyphRun Run;  // scratch run handed to QPainter, reused for every label
    QFontMetrics Metrics;

    TextFont(const QFont& font, const QPaintDevice* device);

    // The size of the cell of `text` as TextOut writes it.
    QSize Size(const QString& text) const;
};

class Canvas {
public:
    explicit Canvas(QImage& image);
    // Paints through a painter already active on another device (a printer
    // page, say), in that painter's current transformation.
    explicit Canvas(QPainter& painter);

    void SetPenColor(TColor color) { penColor_ = color; }
    void SetPenWidth(int width) { penWidth_ = width; }
    void SetPenDotted(bool dotted) { penStyle_ = dotted ? Qt::DotLine : Qt::SolidLine; }
    void SetPenStyle(Qt::PenStyle style) { penStyle_ = style; }
    TColor PenColor() const { return penColor_; }
    // The canvas paints on an image of its own (not through another painter).
    bool IsRaster() const { return raster_; }

    void SetBrush(TColor color);
    void SetFont(const TextFont& font, TColor color);

    void FillRect(const QRect& rect, TColor color);
    void DrawImage(const QPoint& at, const QImage& image, const QRect& source);
    // `source` of `image` stretched over `target`, smoothly when `smooth`.
    void DrawScaledImage(const QRectF& target, const QImage& image, const QRect& source, bool smooth);
    // Device pixels per unit of the painter's current transformation.
    double DeviceScale() const;

    void Line(int x1, int y1, int x2, int y2);
    // Many lines in the current pen at once.
    void Lines(const std::vector<QLine>& lines);
    // Outline in the pen, filled with the brush; (left, top)-(right, bottom)
    // with the right column and bottom row left out.
    void Ellipse(int left, int top, int right, int bottom);
    // The outline alone, nothing filled.
    void Ring(int left, int top, int right, int bottom);
    void Rectangle(int left, int top, int right, int bottom);
    void Polyline(const QPoint* points, int count);
    void Polygon(const QPoint* points, int count);
    // Text whose cell has its top-left corner at (x, y). On an image the
    // common labels are drawn from the font's glyphs; elsewhere (a printer,
    // PDF, SVG) every text is written as text.
    void TextOut(int x, int y, const QString& text);

private:
    struct PenKey {
        TColor Color = 0;
        int Width = 1;
        Qt::PenStyle Style = Qt::SolidLine;
        bool operator==(const PenKey&) const = default;
    };

    void UsePen(const PenKey& key);
    void ApplyPen(const PenKey& key);
    void UseShapePen() { UsePen({penColor_, penWidth_, penStyle_}); }
    bool DrawPlain(int x, int baseline, const QString& text);

    QPainter own_;  // active only when the canvas paints on an image of its own
    bool raster_ = false;
    QPainter& painter_;
    QPen pen_;
    PenKey applied_;
    TColor penColor_ = 0;
    int penWidth_ = 1;
    Qt::PenStyle penStyle_ = Qt::SolidLine;
    TColor fontColor_ = 0;
    const TextFont* font_ = nullptr;
};

}  // namespace stelmar
