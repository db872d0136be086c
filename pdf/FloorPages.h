#pragma once

// The drawings of the PDF report, section 2: every floor whole, its plan
// and every element with the results over them, on a page of its own in
// the orientation of its shape, all floors at one scale stated on the
// page: the largest at which the biggest floor fits. Symbols, lines and
// labels keep their size on the screen, and where the drawing is smaller
// than on the screen they shrink with it, but labels never under 6 pt.
// When at that scale more than a tenth of the labels would be left out for
// want of room, every floor gets an overview page and detail pages, all
// details at one scale. Labels are placed clear of one another inside the
// frame of the drawing and stay text; a legend is under every drawing.
// A floor's vector plan is drawn for the page's resolution in place of its
// picture, so that it stays sharp.

#include <QPageLayout>
#include <QRect>
#include <QRectF>
#include <optional>
#include <vector>

#include "model/Scheme.h"
#include "drawing/DrawingScale.h"
#include "drawing/PlanPicture.h"
#include "drawing/SchemeOverlay.h"
#include "pdf/PdfFonts.h"

namespace stelmar {

class ReportLayout;

inline constexpr const char* kDrawingsHeading = "2. Схема эвакуации с результатами расчета";

// One page of drawings.
struct DrawingPage {
    int Floor = 0;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QRect Window;      // the part of the floor shown, canvas pixels
    int Detail = 0;    // 0: the whole floor; else the detail's number from 1
    int Details = 0;   // the floor's number of details
};

class FloorPages {
public:
    // Plans the pages of every floor that has elements or a plan; `plans`
    // are the floors' vector plans.
    FloorPages(const TPipeLine& s, const SchemeOverlay& overlay, PdfFonts& fonts, FloorPlanPictures plans = {});

    const std::vector<DrawingPage>& Pages() const { return pages_; }
    const DrawingScale& Scale() const { return scale_; }
    const std::optional<DrawingScale>& DetailScale() const { return detailScale_; }

    // Adds the pages to the report.
    void Compose(ReportLayout& layout);

    // The room for a drawing on a page, in points from the page's corner.
    static QRectF DrawingRoom(QPageLayout::Orientation orientation);

private:
    // Points per canvas pixel of floor `floor` at `scale`.
    double PointsPerPixel(int floor, const DrawingScale& scale) const;
    void Paint(QPainter& painter, const QRectF& page, const DrawingPage& p, bool first);
    void PaintLegend(QPainter& painter, double k, const QRectF& box);

    TPipeLine view_;  // a printout copy: painting pulls nodes inside the canvas
    SchemeOverlay overlay_;
    PdfFonts& fonts_;
    FloorPlanPictures plans_;
    DrawingScale scale_;
    std::optional<DrawingScale> detailScale_;
    std::vector<DrawingPage> pages_;
};

}  // namespace stelmar
