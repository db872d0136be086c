#include "pdf/PdfFonts.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QTextLayout>

namespace stelmar {

namespace {

// Texts kept per font before the cache is emptied: the numbers of a long
// report would otherwise fill it, and a large cache emptied now and then
// leaves the heap in pieces that slow every allocation after it.
constexpr qsizetype kMaxCachedTexts = 1 << 12;

QString ReportFamily()
{
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"Liberation Serif", "DejaVu Serif", "Times New Roman"})
        if (families.contains(QString::fromLatin1(name))) return QString::fromLatin1(name);
    return QStringLiteral("serif");
}

QFont MakeFont(const QString& family, const FontStyle& style)
{
    QFont font(family);
    font.setPointSizeF(style.Size);
    font.setBold(style.Bold);
    font.setItalic(style.Italic);
    font.setUnderline(style.Underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    // Widths are measured word by word and painted line by line, so they
    // must add up: no kerning across the words.
    font.setKerning(false);
    return font;
}

}  // namespace

// The metrics are those of the PDF device's resolution, so that measuring
// and painting agree.
PdfFont::PdfFont(const QString& family, const FontStyle& style, const QPaintDevice* device, double unitsPerPoint)
    : font_(MakeFont(family, style)), style_(style), device_(device), metrics_(font_, device), perPoint_(unitsPerPoint)
{
    ascent_ = metrics_.ascent() / perPoint_;
    descent_ = metrics_.descent() / perPoint_;
}

double PdfFont::Width(const QString& text) const { return Shape(text).Advance / perPoint_; }

// Shaped as QPainter::drawText shapes a text: one line, items by script and
// font, glyphs placed by their advances; moved up onto the baseline.
const PdfFont::Shaped& PdfFont::Shape(const QString& text) const
{
    const auto found = shaped_.constFind(text);
    if (found != shaped_.constEnd()) return *found;
    if (shaped_.size() >= kMaxCachedTexts) shaped_.clear();
    QTextLayout layout(text, font_, device_);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    Shaped shaped;
    shaped.Advance = line.horizontalAdvance();
    const qreal ascent = line.ascent();
    for (const QGlyphRun& run : layout.glyphRuns()) {
        Glyphs glyphs{run.rawFont(), run.glyphIndexes(), run.positions()};
        for (QPointF& p : glyphs.Positions) p.ry() -= ascent;
        shaped.Runs.push_back(std::move(glyphs));
    }
    return *shaped_.insert(text, std::move(shaped));
}

PdfFonts::PdfFonts(const QPaintDevice* device, double unitsPerPoint)
    : device_(device), perPoint_(unitsPerPoint), family_(ReportFamily())
{
}

const PdfFont& PdfFonts::Get(const FontStyle& style)
{
    if (last_ && last_->Style() == style) return *last_;
    for (const auto& f : fonts_)
        if (f->Style() == style) return *(last_ = f.get());
    fonts_.push_back(std::make_unique<PdfFont>(family_, style, device_, perPoint_));
    return *(last_ = fonts_.back().get());
}

}  // namespace stelmar
