#include "plans/DxfPlan.h"

#include <QPainter>
#include <algorithm>
#include <variant>

#include "plans/DxfReader.h"

namespace stelmar {

std::shared_ptr<DxfPlan> DxfPlan::Load(const PlanSourceRef& source, const std::string& fileName,
                                       const std::vector<std::string>& hidden, QString* message)
{
    auto read = ReadDxf(source->Bytes, fileName);
    if (const std::string* error = std::get_if<std::string>(&read)) {
        *message = QString::fromStdString(*error);
        return nullptr;
    }
    std::shared_ptr<DxfPlan> plan(new DxfPlan);
    plan->source_ = source;
    plan->drawing_ = std::make_shared<const PlanDrawing>(std::move(std::get<PlanDrawing>(read)));
    plan->boxes_ = std::make_shared<const PlanBoxes>(*plan->drawing_);
    return plan->WithHidden(hidden);
}

std::shared_ptr<DxfPlan> DxfPlan::WithHidden(const std::vector<std::string>& hidden) const
{
    std::shared_ptr<DxfPlan> plan(new DxfPlan);
    plan->source_ = source_;
    plan->drawing_ = drawing_;
    plan->boxes_ = boxes_;
    for (const PlanLayer& layer : drawing_->Layers)
        plan->shown_.push_back(std::find(hidden.begin(), hidden.end(), layer.Name) == hidden.end());
    return plan;
}

QPointF DxfPlan::ToPlan(PlanPoint p) const { return {p.X - drawing_->Extent.Left, drawing_->Extent.Top - p.Y}; }

PlanPoint DxfPlan::FromPlan(QPointF p) const { return {p.x() + drawing_->Extent.Left, drawing_->Extent.Top - p.y()}; }

QSizeF DxfPlan::Size() const
{
    const PlanBox& box = drawing_->Extent;
    return box.Empty() ? QSizeF() : QSizeF(box.Right - box.Left, box.Top - box.Bottom);
}

std::optional<double> DxfPlan::MetresPerUnit() const
{
    const double metres = stelmar::MetresPerUnit(drawing_->Units);
    return metres > 0 ? std::optional<double>(metres) : std::nullopt;
}

QImage DxfPlan::Render(double scale, const QRect& clip) const
{
    QImage image(clip.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const PlanBox& box = drawing_->Extent;
    const QTransform toDevice(scale, 0, 0, -scale, -box.Left * scale - clip.left(),
                              box.Top * scale - clip.top());
    PaintPlan(painter, *drawing_, *boxes_, shown_, toDevice, QRectF(QPointF(0, 0), clip.size()).adjusted(-1, -1, 1, 1));
    return image;
}

}  // namespace stelmar
