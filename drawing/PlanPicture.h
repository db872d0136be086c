#pragma once

// A floor's plan as the drawing sees it, whatever file it came from (a PDF
// page, a DXF drawing): a size in the plan's own units (PDF points, DXF
// drawing units) and the rendering of any part of it at any scale. The
// floor places it on the canvas by TFloorPlan: its top-left corner at
// (OriginX + OffsetX, OriginY + OffsetY), PixelsPerUnit canvas pixels per
// unit.

#include <QImage>
#include <QRect>
#include <QSizeF>
#include <map>
#include <memory>
#include <optional>

namespace stelmar {

class PlanPicture {
public:
    virtual ~PlanPicture() = default;

    // The plan's width and height in its units.
    virtual QSizeF Size() const = 0;
    // Metres on the ground per unit when the file tells them (a drawing's
    // units); none for a page drawn on paper at a scale, whose units are
    // PDF points.
    virtual std::optional<double> MetresPerUnit() const { return std::nullopt; }
    // The part `clip` of the plan drawn at `scale` pixels per unit, the
    // plan's top-left corner at pixel (0, 0): an image of clip.size() in
    // QImage::Format_RGB32, white where the plan draws nothing. May be
    // called from any thread; a picture serves one call at a time.
    virtual QImage Render(double scale, const QRect& clip) const = 0;
};

using PlanPictureRef = std::shared_ptr<const PlanPicture>;

// The plans of a scheme's floors that can be drawn, by floor number.
using FloorPlanPictures = std::map<int, PlanPictureRef>;

// The plan of `floor` in `plans`, null when it has none.
inline const PlanPicture* PlanOf(const FloorPlanPictures& plans, int floor)
{
    const auto found = plans.find(floor);
    return found == plans.end() ? nullptr : found->second.get();
}

}  // namespace stelmar
