#pragma once

// The sheets a print job puts on paper: each floor whole on one sheet at
// the largest scale that fits (the default), or at a chosen scale cut into
// as many sheets as it needs, overlapping, with marks where the overlap
// begins. Every sheet carries a title block: project, floor, scale,
// "Лист N из M". The preview paints the same sheets as the printer.

#include <QPageLayout>
#include <QRect>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "model/Scheme.h"
#include "drawing/DrawingScale.h"
#include "drawing/PlanPicture.h"
#include "drawing/SchemeOverlay.h"

class QPainter;

namespace stelmar {

struct PrintChoice {
    bool AllFloors = false;                          // else the active floor
    std::optional<DrawingScale> Scale;               // none: each floor fits its sheet
    std::optional<QPageLayout::Orientation> Turn;    // none: by the shape of the floors
};

struct PrintSheet {
    int Floor = 0;
    QRect Window;  // canvas pixels
    DrawingScale Scale;
    int Row = 0, Column = 0, Rows = 1, Columns = 1;
};

// The floors printed: the active one, or every floor with elements or a
// plan.
std::vector<int> PrintedFloors(const TPipeLine& s, bool allFloors);

// Whether the floors printed all have a scale, so that scales are offered
// as 1:N.
bool MetricFloors(const TPipeLine& s, const std::vector<int>& floors);

// The orientation a job takes without a choice: landscape when the widest
// floor printed is wider than tall.
QPageLayout::Orientation SheetOrientation(const TPipeLine& s, const std::vector<int>& floors);

// The drawing's room on a sheet whose printable part is `printable` points:
// the sheet less its margin and the title block.
QRectF SheetRoom(const QSizeF& printable);

std::vector<PrintSheet> PlanSheets(const TPipeLine& s, const PrintChoice& choice, const QSizeF& printable);

// Paints sheet `number` (from 1) of `count` through `painter`, whose origin
// is the top-left of the printable part and whose units are
// `unitsPerPoint` to the point. `view` is a printout copy of the scheme;
// `plan`, the vector plan of the sheet's floor, is printed at the device's
// resolution in place of the floor's picture.
void PaintSheet(QPainter& painter, double unitsPerPoint, const QSizeF& printable, TPipeLine& view,
                const PrintSheet& sheet, int number, int count, const SchemeOverlay* overlay, const QString& project,
                const PlanPicture* plan = nullptr);

}  // namespace stelmar
