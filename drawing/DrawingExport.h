#pragma once

// The drawing of the active floor as an exported picture: the extent of its
// elements and its plan with a margin (not the whole workspace), as a
// raster image or as an SVG or PDF document whose texts stay texts.

#include <QByteArray>
#include <QImage>
#include <QRect>

#include "model/Scheme.h"
#include "drawing/PlanPicture.h"
#include "drawing/SchemeOverlay.h"

namespace stelmar {

enum class VectorFormat { Svg, Pdf };

// The part of the canvas exported: the active floor's extent, with a band
// under it for the legend of `overlay` when it shows one, or the whole
// canvas when the floor is empty.
QRect ExportExtent(const TPipeLine& s, const SchemeOverlay* overlay);

// The export at one image pixel per canvas pixel, on white. `plan`, the
// active floor's vector plan, is drawn in place of its picture (sharper in
// a PDF document).
QImage RasterDrawing(const TPipeLine& s, const SchemeOverlay* overlay, const PlanPicture* plan = nullptr);

// The export as a document of the extent's size (a canvas pixel a 96th of
// an inch); empty when it cannot be made.
QByteArray VectorDrawing(const TPipeLine& s, const SchemeOverlay* overlay, VectorFormat format,
                         const PlanPicture* plan = nullptr);

}  // namespace stelmar
