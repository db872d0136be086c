#include "pdf/ReportLayout.h"

#include <QGlyphRun>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <algorithm>

#include "pdf/FormulaLayout.h"

namespace stelmar {

namespace {

constexpr double kScript = 0.7;      // size of sub- and superscripts
constexpr double kSubRise = -0.2;    // of the surrounding size
constexpr double kSuperRise = 0.35;
constexpr double kLeading = 0.15;    // space between lines, of the largest size on the line
constexpr double kCellPadX = 2.5;
constexpr double kCellPadY = 1.5;
constexpr double kThinRule = 0.5;    // body rows: \brdrw10
constexpr double kThickRule = 1.2;   // header rows: \brdrw30
constexpr double kFormulaGap = 2;    // above and below a formula line
constexpr double kHeadingSize = 13;  // lines this large stay with what follows
constexpr double kKeepWithNext = 90;
constexpr double kSmallSize = 4;     // the narrow gaps (\fs8)
constexpr double kFooterBaseline = 28;
constexpr double kFooterSize = 9;

double SizeOf(std::uint8_t halfPoints) { return halfPoints / 2.0; }

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QString PageNumberText(int page, int pages) { return QStringLiteral("Страница %1 из %2").arg(page).arg(pages); }

ReportLayout::ReportLayout(PdfFonts& fonts, QPagedPaintDevice* device, QPainter* painter, double unitsPerPoint,
                           int pages)
    : fonts_(fonts), device_(device), painter_(painter), perPoint_(unitsPerPoint), pages_(pages)
{
}

void ReportLayout::Add(const ReportBlock& block)
{
    if (block.Kind != BlockKind::TableRow) EndTable();
    switch (block.Kind) {
    case BlockKind::Paragraph: AddParagraph(block); break;
    case BlockKind::Equation: AddEquation(block); break;
    case BlockKind::TableRow: AddRow(block); break;
    case BlockKind::EmptyLine: AddEmptyLine(); break;
    }
}

void ReportLayout::Progress(std::int64_t done, std::int64_t total)
{
    if (progress_) progress_(done, total);
}

void ReportLayout::AppendRuns(const ReportBlock& b, std::size_t& i, const FontStyle& base,
                              std::vector<InlineRun>& runs, bool cell)
{
    struct Level {
        FontStyle Style;
        double Rise;
    };
    std::vector<Level> levels{{base, 0}};
    const auto add = [&](const QString& text, const FontStyle& style, double rise) {
        const PdfFont* font = &fonts_.Get(style);
        if (!runs.empty() && runs.back().Font == font && runs.back().Rise == rise)
            runs.back().Text += text;
        else
            runs.push_back({text, font, rise});
    };
    while (i < b.Tokens.size()) {
        const ReportToken& t = b.Tokens[i++];
        const Level& top = levels.back();
        switch (t.Kind) {
        case TokenKind::Text: add(Utf8(b.TextOf(t)), top.Style, top.Rise); break;
        case TokenKind::Dot: add(QStringLiteral("·"), top.Style, top.Rise); break;
        // Greek letters are set in the text's own size: the RTF report's
        // separate sizes for them only make up for its Greek font.
        case TokenKind::Greek: add(Utf8(b.TextOf(t)), top.Style, top.Rise); break;
        case TokenKind::Bookmark: break;
        case TokenKind::CellEnd:
            if (cell) return;
            break;
        case TokenKind::Sub:
        case TokenKind::Lowered:
        case TokenKind::Super:
        case TokenKind::Raised: {
            const bool up = t.Kind == TokenKind::Super || t.Kind == TokenKind::Raised;
            FontStyle style = top.Style;
            style.Size = top.Style.Size * kScript;
            levels.push_back({style, top.Rise + (up ? kSuperRise : kSubRise) * top.Style.Size});
            break;
        }
        case TokenKind::Strong:
        case TokenKind::Link: {
            FontStyle style = top.Style;
            style.Bold = true;
            style.Underline = t.Kind == TokenKind::Link;
            if (t.Size > 0) style.Size = SizeOf(t.Size);
            levels.push_back({style, top.Rise});
            break;
        }
        case TokenKind::Fraction: levels.push_back(top); break;
        case TokenKind::FractionBar: add(QStringLiteral("/"), top.Style, top.Rise); break;
        case TokenKind::Sum:
            add(QStringLiteral("Σ"), top.Style, top.Rise);
            levels.push_back(top);
            break;
        case TokenKind::End:
            if (levels.size() > 1) levels.pop_back();
            break;
        }
    }
}

void ReportLayout::AddParagraph(const ReportBlock& b)
{
    std::size_t i = 0;
    if (b.Loose) {
        // Outside any group: in the size the line has so far.
        FontStyle style{documentSize_};
        if (!pending_.empty()) style = pendingStyle_;
        AppendRuns(b, i, style, pending_, false);
        for (int k = 0; k < b.Breaks; ++k) EndLine(pendingAlign_, documentSize_);
        if (b.Shrinks) documentSize_ = kSmallSize;
        return;
    }
    const FontStyle style{SizeOf(b.Size), b.Bold, false, b.Underline};
    AppendRuns(b, i, style, pending_, false);
    keepPending_ = keepPending_ || b.KeepWithNext;
    pendingAlign_ = b.Alignment;
    pendingStyle_ = style;
    for (int k = 0; k < b.Breaks; ++k) EndLine(b.Alignment, style.Size);
}

void ReportLayout::AddEmptyLine()
{
    if (!pending_.empty())
        EndLine(pendingAlign_, documentSize_);
    else
        EmptySpace(fonts_.Get({documentSize_}).Height());
}

void ReportLayout::EndLine(Align alignment, double emptySize)
{
    if (pending_.empty()) {
        EmptySpace(fonts_.Get({emptySize}).Height());
        return;
    }
    double largest = 0;
    for (const InlineRun& run : pending_) largest = std::max(largest, run.Font->Style().Size);
    PlaceLines(BreakLines(pending_, TextWidth()), alignment, kLeft, TextWidth(), largest >= kHeadingSize || keepPending_);
    pending_.clear();
    keepPending_ = false;
    pendingAlign_ = Align::Left;
}

void ReportLayout::EmptySpace(double height)
{
    // A page starts with text, not with blank lines.
    if (pageEmpty_) return;
    if (y_ + height > kPageHeight - kBottom) {
        NewPage();
        return;
    }
    y_ += height;
}

void ReportLayout::PlaceLines(std::vector<TextLine> lines, Align alignment, double x, double width,
                              bool keepWithNext)
{
    for (TextLine& line : lines) {
        double largest = 0;
        for (const PlacedRun& run : line.Runs) largest = std::max(largest, run.Font->Style().Size);
        const double height = line.Ascent + line.Descent + kLeading * largest;
        Ensure(keepWithNext ? height + kKeepWithNext : height);
        double offset = 0;
        if (alignment == Align::Center) offset = (width - line.Width) / 2;
        if (alignment == Align::Right) offset = width - line.Width;
        DrawLine(line, x + std::max(0.0, offset), y_ + line.Ascent + kLeading * largest / 2);
        y_ += height;
        pageEmpty_ = false;
    }
}

void ReportLayout::AddEquation(const ReportBlock& b)
{
    if (!pending_.empty()) EndLine(pendingAlign_, documentSize_);
    for (const FormulaBox& box : LayoutFormula(b, fonts_, TextWidth())) {
        const double height = box.Ascent + box.Descent + 2 * kFormulaGap;
        Ensure(height);
        double left = kLeft;
        if (b.Alignment == Align::Center) left += (TextWidth() - box.Width) / 2;
        const double baseline = y_ + kFormulaGap + box.Ascent;
        if (painter_) {
            for (const FormulaText& t : box.Texts) DrawText(left + t.X, baseline + t.Y, *t.Font, t.Text);
            for (const FormulaRule& r : box.Rules)
                DrawRule(left + r.X, baseline + r.Y, left + r.X + r.Width, baseline + r.Y, r.Thickness);
        }
        y_ += height;
        pageEmpty_ = false;
    }
}

ReportLayout::RowLayout ReportLayout::LayoutRow(const ReportBlock& b)
{
    RowLayout row;
    const int cells = std::max(1, b.Cells);
    const double column = TextWidth() / cells;
    const FontStyle style{SizeOf(b.Size), b.Header};
    std::size_t i = 0;
    std::vector<InlineRun> runs;
    for (int c = 0; c < cells; ++c) {
        runs.clear();
        AppendRuns(b, i, style, runs, true);
        std::vector<TextLine> lines = BreakLines(runs, column - 2 * kCellPadX);
        double height = 0;
        for (const TextLine& line : lines) height += line.Ascent + line.Descent;
        if (lines.empty()) height = fonts_.Get(style).Height();
        row.Height = std::max(row.Height, height + 2 * kCellPadY);
        row.Cells.push_back(std::move(lines));
    }
    return row;
}

void ReportLayout::AddRow(const ReportBlock& b)
{
    if (!pending_.empty()) EndLine(pendingAlign_, documentSize_);
    if (b.Header) EndTable();
    RowLayout row = LayoutRow(b);
    if (b.Header) {
        // A header stays with the table's first row.
        Ensure(2 * row.Height + kKeepWithNext / 2);
        header_ = b;
        headerLayout_ = row;
    } else {
        Ensure(row.Height);
    }
    inTable_ = true;
    PlaceRow(b, row);
}

void ReportLayout::PlaceRow(const ReportBlock& b, const RowLayout& row)
{
    const int cells = std::max(1, b.Cells);
    const double column = TextWidth() / cells;
    if (painter_) {
        for (int c = 0; c < cells; ++c) {
            const double left = kLeft + c * column;
            double top = y_ + kCellPadY;
            for (const TextLine& line : row.Cells[c]) {
                double offset = kCellPadX;
                const double room = column - 2 * kCellPadX;
                if (b.Alignment == Align::Center) offset += std::max(0.0, (room - line.Width) / 2);
                if (b.Alignment == Align::Right) offset += std::max(0.0, room - line.Width);
                DrawLine(line, left + offset, top + line.Ascent);
                top += line.Ascent + line.Descent;
            }
        }
        const double rule = b.Header ? kThickRule : kThinRule;
        const double right = kLeft + cells * column;
        DrawRule(kLeft, y_, right, y_, rule);
        DrawRule(kLeft, y_ + row.Height, right, y_ + row.Height, rule);
        for (int c = 0; c <= cells; ++c) DrawRule(kLeft + c * column, y_, kLeft + c * column, y_ + row.Height, rule);
    }
    y_ += row.Height;
    pageEmpty_ = false;
}

void ReportLayout::EndTable()
{
    inTable_ = false;
    header_.reset();
    headerLayout_.reset();
}

void ReportLayout::Heading(const QString& text, double size)
{
    if (!pending_.empty()) EndLine(pendingAlign_, documentSize_);
    EndTable();
    const std::vector<InlineRun> runs{{text, &fonts_.Get({size, true}), 0}};
    PlaceLines(BreakLines(runs, TextWidth()), Align::Left, kLeft, TextWidth(), true);
    EmptySpace(size / 2);
}

void ReportLayout::PageBreak()
{
    if (!pending_.empty()) EndLine(pendingAlign_, documentSize_);
    EndTable();
    if (!pageEmpty_) NewPage();
}

void ReportLayout::Picture(double height, const Painting& paint)
{
    if (!pending_.empty()) EndLine(pendingAlign_, documentSize_);
    EndTable();
    Ensure(height);
    if (painter_) {
        const double k = perPoint_;
        painter_->save();
        paint(*painter_, QRectF(kLeft * k, y_ * k, TextWidth() * k, height * k));
        painter_->restore();
        paintedFont_ = nullptr;
    }
    y_ += height;
    pageEmpty_ = false;
}

QSizeF ReportLayout::PageSize(QPageLayout::Orientation orientation)
{
    return orientation == QPageLayout::Landscape ? QSizeF(kPageHeight, kPageWidth) : QSizeF(kPageWidth, kPageHeight);
}

void ReportLayout::WholePage(QPageLayout::Orientation orientation, const Painting& paint)
{
    if (!pending_.empty()) EndLine(pendingAlign_, documentSize_);
    EndTable();
    if (!pageEmpty_ || orientation != orientation_) StartPage(orientation);
    if (painter_) {
        painter_->save();
        paint(*painter_, QRectF(QPointF(0, 0), PageSize(orientation) * perPoint_));
        painter_->restore();
        paintedFont_ = nullptr;
    }
    y_ = kPageHeight;
    pageEmpty_ = false;
}

void ReportLayout::Finish()
{
    if (!pending_.empty()) EndLine(pendingAlign_, documentSize_);
    EndTable();
    Footer();
}

void ReportLayout::Ensure(double height)
{
    if (!pageEmpty_ && y_ + height > kPageHeight - kBottom) NewPage();
}

void ReportLayout::NewPage() { StartPage(QPageLayout::Portrait); }

void ReportLayout::StartPage(QPageLayout::Orientation orientation)
{
    Footer();
    if (painter_) {
        if (orientation != orientation_) device_->setPageOrientation(orientation);
        device_->newPage();
        paintedFont_ = nullptr;
    }
    orientation_ = orientation;
    ++page_;
    y_ = kTop;
    pageEmpty_ = true;
    if (inTable_ && header_ && !repeatingHeader_) {
        repeatingHeader_ = true;
        const std::vector<InlineRun> note{{QString::fromUtf8(kTableContinued), &fonts_.Get({kFooterSize, false, true}), 0}};
        PlaceLines(BreakLines(note, TextWidth()), Align::Right, kLeft, TextWidth(), false);
        PlaceRow(*header_, *headerLayout_);
        repeatingHeader_ = false;
    }
}

void ReportLayout::Footer()
{
    if (!painter_ || pages_ <= 0) return;
    const PdfFont& font = fonts_.Get({kFooterSize});
    const QString text = PageNumberText(page_, pages_);
    if (orientation_ == QPageLayout::Landscape) {
        DrawText((kPageHeight - font.Width(text)) / 2, kPageWidth - kFooterBaseline, font, text);
        return;
    }
    DrawText(kLeft + (TextWidth() - font.Width(text)) / 2, kPageHeight - kFooterBaseline, font, text);
}

void ReportLayout::DrawLine(const TextLine& line, double x, double baseline)
{
    if (!painter_) return;
    for (const PlacedRun& run : line.Runs) DrawText(x + run.X, baseline - run.Rise, *run.Font, run.Text);
}

void ReportLayout::DrawText(double x, double baseline, const PdfFont& font, const QString& text)
{
    // Underlines are drawn by the painter's text path.
    if (font.Style().Underline) {
        if (&font.Font() != paintedFont_) {
            painter_->setFont(font.Font());
            paintedFont_ = &font.Font();
        }
        painter_->drawText(QPointF(x * perPoint_, baseline * perPoint_), text);
        return;
    }
    // Each word and each run of blanks is shaped once for the whole report
    // and placed by the advances before it from the start kept in 1/64
    // device units, as drawText places the glyphs; the glyphs of one font
    // go to the page together.
    const auto fixed = [](double v) { return static_cast<int>(v * 64) / 64.0; };
    const double y = fixed(baseline * perPoint_);
    double at = fixed(x * perPoint_);
    QRawFont runFont;
    QList<quint32> indexes;
    QList<QPointF> positions;
    const auto flush = [&] {
        if (indexes.isEmpty()) return;
        QGlyphRun run;
        run.setRawFont(runFont);
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        painter_->drawGlyphRun(QPointF(0, 0), run);
        indexes.clear();
        positions.clear();
    };
    for (qsizetype start = 0; start < text.size();) {
        const bool blank = text[start] == QLatin1Char(' ');
        qsizetype end = start + 1;
        while (end < text.size() && (text[end] == QLatin1Char(' ')) == blank) ++end;
        const PdfFont::Shaped& piece = font.Shape(text.mid(start, end - start));
        for (const PdfFont::Glyphs& glyphs : piece.Runs) {
            if (glyphs.Font != runFont) {
                flush();
                runFont = glyphs.Font;
            }
            indexes += glyphs.Indexes;
            for (const QPointF& p : glyphs.Positions) positions.append(QPointF(at + p.x(), y + p.y()));
        }
        at += piece.Advance;
        start = end;
    }
    flush();
}

void ReportLayout::DrawRule(double x1, double y1, double x2, double y2, double thickness)
{
    const double k = perPoint_;
    QPen pen(Qt::black);
    pen.setWidthF(thickness * k);
    pen.setCapStyle(Qt::SquareCap);
    painter_->setPen(pen);
    painter_->drawLine(QPointF(x1 * k, y1 * k), QPointF(x2 * k, y2 * k));
}

}  // namespace stelmar
