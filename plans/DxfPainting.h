#pragma once

// Painting a DXF plan with QPainter: what of the drawing lies in the part
// painted, on the layers shown, with lines one pixel wide at any scale.

#include <QPainter>
#include <QRectF>
#include <QTransform>
#include <vector>

#include "plans/PlanDrawing.h"

namespace stelmar {

// The bounding boxes of a drawing's polylines, arcs and texts, in that
// order, to pass over what lies outside the part painted.
struct PlanBoxes {
    explicit PlanBoxes(const PlanDrawing& d);
    std::vector<PlanBox> Boxes;
};

// Paints what of `d` lies in `deviceRect` with `toDevice` from drawing
// units to the painter's pixels; `shown[layer]` false leaves the layer out.
void PaintPlan(QPainter& painter, const PlanDrawing& d, const PlanBoxes& boxes, const std::vector<bool>& shown,
               const QTransform& toDevice, const QRectF& deviceRect);

}  // namespace stelmar
