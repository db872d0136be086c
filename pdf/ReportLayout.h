#pragma once

// The pages of the PDF report: A4 with the RTF report's margins (left 3 cm,
// right 1.5 cm, top and bottom 2 cm), report blocks set as running text,
// formulas and framed tables, tables that run onto the next page repeating
// their header under "Продолжение таблицы", pictures, and "Страница N из M"
// at the foot of every page.
//
// A report is laid out twice: first only to count its pages, then again to
// paint them with the page count known.

#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "calc/ReportDocument.h"
#include "pdf/InlineText.h"
#include "pdf/PdfFonts.h"

class QPainter;
class QPagedPaintDevice;

namespace stelmar {

inline constexpr const char* kTableContinued = "Продолжение таблицы";

// "Страница 3 из 12"
QString PageNumberText(int page, int pages);

class ReportLayout : public ReportSink {
public:
    // A4 in points.
    static constexpr double kPageWidth = 595.276;
    static constexpr double kPageHeight = 841.89;
    static constexpr double kLeft = 85.039;    // 3 cm
    static constexpr double kRight = 42.52;    // 1.5 cm
    static constexpr double kTop = 56.693;     // 2 cm
    static constexpr double kBottom = 56.693;  // 2 cm

    using Painting = std::function<void(QPainter& painter, const QRectF& deviceRect)>;
    using ProgressHandler = std::function<void(std::int64_t done, std::int64_t total)>;

    // Paints through `painter` on `device` when a painter is given (then
    // `pages` is the count the counting pass found); without one only
    // counts the pages. `unitsPerPoint` is the device's resolution.
    ReportLayout(PdfFonts& fonts, QPagedPaintDevice* device, QPainter* painter, double unitsPerPoint, int pages);

    void Add(const ReportBlock& block) override;
    void Progress(std::int64_t done, std::int64_t total) override;
    void SetProgressHandler(ProgressHandler handler) { progress_ = std::move(handler); }

    // A bold heading kept on one page with what follows it.
    void Heading(const QString& text, double size);
    // What follows starts on a new page unless this one is still empty.
    void PageBreak();
    // An area of `height` points across the text width; `paint` draws it
    // (in device units) when the pages are painted.
    void Picture(double height, const Painting& paint);
    // A page of its own in `orientation` that `paint` fills (given the
    // whole page in device units), numbered like the others; what follows
    // starts on a new page in portrait.
    void WholePage(QPageLayout::Orientation orientation, const Painting& paint);
    // The size of an A4 page in points.
    static QSizeF PageSize(QPageLayout::Orientation orientation);
    // Closes the last page.
    void Finish();

    int Pages() const { return page_; }
    double TextWidth() const { return kPageWidth - kLeft - kRight; }
    double TextHeight() const { return kPageHeight - kTop - kBottom; }
    // Height left on the current page.
    double SpaceLeft() const { return kPageHeight - kBottom - y_; }
    double UnitsPerPoint() const { return perPoint_; }

private:
    struct RowLayout {
        std::vector<std::vector<TextLine>> Cells;
        double Height = 0;
    };

    void AddParagraph(const ReportBlock& b);
    void AddEquation(const ReportBlock& b);
    void AddRow(const ReportBlock& b);
    void AddEmptyLine();

    // The runs of `b`'s tokens from `i`, up to the end of the cell when
    // `cell` is set; `i` is left after the CellEnd.
    void AppendRuns(const ReportBlock& b, std::size_t& i, const FontStyle& base, std::vector<InlineRun>& runs,
                    bool cell);
    void EndLine(Align alignment, double emptySize);
    void PlaceLines(std::vector<TextLine> lines, Align alignment, double x, double width, bool keepWithNext);
    void EmptySpace(double height);
    RowLayout LayoutRow(const ReportBlock& b);
    void PlaceRow(const ReportBlock& b, const RowLayout& row);
    void EndTable();

    void Ensure(double height);
    void NewPage();
    void StartPage(QPageLayout::Orientation orientation);
    void Footer();
    void DrawLine(const TextLine& line, double x, double baseline);
    void DrawText(double x, double baseline, const PdfFont& font, const QString& text);
    void DrawRule(double x1, double y1, double x2, double y2, double thickness);

    PdfFonts& fonts_;
    QPagedPaintDevice* device_;
    QPainter* painter_;
    double perPoint_;
    int pages_;
    ProgressHandler progress_;

    int page_ = 1;
    QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
    bool keepPending_ = false;  // the line being collected stays with what follows
    double y_ = kTop;
    bool pageEmpty_ = true;
    // The line being collected from paragraphs without a line end.
    std::vector<InlineRun> pending_;
    Align pendingAlign_ = Align::Left;
    FontStyle pendingStyle_;  // of the line's last paragraph
    double documentSize_ = 12;  // pt of text outside any paragraph group
    // The table being set and its header row, repeated on each new page.
    bool inTable_ = false;
    std::optional<ReportBlock> header_;
    std::optional<RowLayout> headerLayout_;
    bool repeatingHeader_ = false;
    const QFont* paintedFont_ = nullptr;
};

}  // namespace stelmar
