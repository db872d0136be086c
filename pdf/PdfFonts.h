#pragma once

// The fonts of the PDF report: one serif family (Liberation Serif, metric
// twin of the Times New Roman the RTF report names, else DejaVu Serif) in
// the sizes and weights the report asks for, with metrics for the page
// device, in points.

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <QRawFont>
#include <QString>
#include <memory>
#include <vector>

namespace stelmar {

struct FontStyle {
    double Size = 12;  // pt
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool operator==(const FontStyle&) const = default;
};

// A font of the report: the font as set on the device, its metrics in
// points, and texts shaped in it once each: their glyphs for painting and
// their widths.
class PdfFont {
public:
    PdfFont(const QString& family, const FontStyle& style, const QPaintDevice* device, double unitsPerPoint);

    const QFont& Font() const { return font_; }
    const FontStyle& Style() const { return style_; }
    double Ascent() const { return ascent_; }
    double Descent() const { return descent_; }
    double Height() const { return ascent_ + descent_; }
    // Width of `text` in points.
    double Width(const QString& text) const;

    // `text` shaped for the device: its glyphs placed from the start of
    // its baseline and the advance to what follows, in device units
    // (multiples of 1/64, as the painter's text keeps them).
    struct Glyphs {
        QRawFont Font;
        QList<quint32> Indexes;
        QList<QPointF> Positions;
    };
    struct Shaped {
        std::vector<Glyphs> Runs;  // one per font
        double Advance = 0;
    };
    const Shaped& Shape(const QString& text) const;

private:
    QFont font_;
    FontStyle style_;
    const QPaintDevice* device_;
    QFontMetricsF metrics_;
    double perPoint_;
    double ascent_;
    double descent_;
    mutable QHash<QString, Shaped> shaped_;
};

class PdfFonts {
public:
    // `device` is the PDF being written; `unitsPerPoint` its device units
    // per point.
    PdfFonts(const QPaintDevice* device, double unitsPerPoint);

    const PdfFont& Get(const FontStyle& style);
    const QString& Family() const { return family_; }

private:
    const QPaintDevice* device_;
    double perPoint_;
    QString family_;
    std::vector<std::unique_ptr<PdfFont>> fonts_;
    const PdfFont* last_ = nullptr;
};

}  // namespace stelmar
