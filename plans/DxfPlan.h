#pragma once

// A DXF drawing as a floor's plan: its model space painted with QPainter at
// any scale, so that it stays sharp at every zoom, without the layers the
// floor hides. The plan's units are the drawing's; its top-left corner is
// the top-left corner of the drawing's extent, its y axis down.

#include <QPointF>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "model/Scheme.h"
#include "drawing/PlanPicture.h"
#include "plans/DxfPainting.h"
#include "plans/PlanDrawing.h"

namespace stelmar {

class DxfPlan : public PlanPicture {
public:
    // The drawing in `source`, its layers `hidden` left out; null with
    // `message` set to the reader's message (naming `fileName`) when it
    // cannot be read: a DWG, a binary DXF, no DXF, nothing in model space.
    static std::shared_ptr<DxfPlan> Load(const PlanSourceRef& source, const std::string& fileName,
                                         const std::vector<std::string>& hidden, QString* message);
    // The same drawing, read once, with the layers `hidden` left out.
    std::shared_ptr<DxfPlan> WithHidden(const std::vector<std::string>& hidden) const;

    const PlanSourceRef& Source() const { return source_; }
    const PlanDrawing& Drawing() const { return *drawing_; }
    // Per layer of the drawing: whether it is drawn.
    const std::vector<bool>& Shown() const { return shown_; }
    // A point of the drawing in the plan's units and back.
    QPointF ToPlan(PlanPoint p) const;
    PlanPoint FromPlan(QPointF p) const;

    QSizeF Size() const override;
    std::optional<double> MetresPerUnit() const override;
    QImage Render(double scale, const QRect& clip) const override;

private:
    DxfPlan() = default;

    PlanSourceRef source_;
    std::shared_ptr<const PlanDrawing> drawing_;
    std::shared_ptr<const PlanBoxes> boxes_;
    std::vector<bool> shown_;
};

}  // namespace stelmar
