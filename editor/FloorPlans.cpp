#include "editor/FloorPlans.h"

#include <algorithm>

#include "plans/DxfPlan.h"
#include "plans/PlanFiles.h"

namespace stelmar {
namespace {

bool SameSource(const TFloorPlan& a, const TFloorPlan& b)
{
    return a.Source == b.Source && a.Page == b.Page && a.HiddenLayers == b.HiddenLayers;
}

}  // namespace

bool SamePlanPicture(const TFloorPlan& a, const TFloorPlan& b)
{
    return SameSource(a, b) && a.OriginX == b.OriginX && a.OriginY == b.OriginY &&
           a.PixelsPerUnit == b.PixelsPerUnit && a.OffsetX == b.OffsetX && a.OffsetY == b.OffsetY;
}

FloorPlans::FloorPlans(std::function<void()> rendered) : rendered_(std::move(rendered)) {}

PlanPictureRef FloorPlans::Picture(const TFloorPlan& plan, QString* reason)
{
    if (!plan.Source) return nullptr;
    const auto found =
        std::find_if(opened_.begin(), opened_.end(), [&plan](const Opened& o) { return SameSource(o.Plan, plan); });
    if (found != opened_.end()) {
        if (!found->Picture && reason) *reason = "план не удалось открыть";
        return found->Picture;
    }
    // A drawing shown with other layers is not read again.
    for (const Opened& o : opened_) {
        const auto* dxf = dynamic_cast<const DxfPlan*>(o.Picture.get());
        if (dxf && dxf->Source() == plan.Source) {
            PlanPictureRef picture = dxf->WithHidden(plan.HiddenLayers);
            Adopt(plan, picture);
            return picture;
        }
    }
    QString why;
    PlanPictureRef picture = OpenPlanPicture(plan, &why);
    if (reason) *reason = why;
    // A plan that cannot be opened is remembered too, so that it is not
    // tried again at every redraw.
    Adopt(plan, picture);
    return picture;
}

void FloorPlans::Adopt(const TFloorPlan& plan, PlanPictureRef picture)
{
    TFloorPlan key;
    key.Source = plan.Source;
    key.Page = plan.Page;
    key.HiddenLayers = plan.HiddenLayers;
    std::erase_if(opened_, [&key](const Opened& o) { return SameSource(o.Plan, key); });
    opened_.push_back({std::move(key), std::move(picture)});
}

PlanTiles* FloorPlans::Tiles(const TFloorPlan& plan)
{
    const PlanPictureRef picture = Picture(plan);
    if (!picture) return nullptr;
    if (!tiles_ || tiles_->Picture() != picture) tiles_ = std::make_unique<PlanTiles>(picture, rendered_);
    return tiles_.get();
}

void FloorPlans::RefreshPictures(TPipeLine& s, const FloorPlanSet& before)
{
    for (int n = 1; n <= s.EtagCount; ++n) {
        const TFloorPlan& plan = s.Plans[n];
        if (!plan.Source || SamePlanPicture(plan, before[n])) continue;
        if (const PlanPictureRef picture = Picture(plan))
            s.Backgrounds[n] = std::make_shared<const Bitmap>(PlanBitmap(*picture, plan));
    }
    std::erase_if(opened_, [&s](const Opened& o) {
        for (int n = 1; n <= s.EtagCount; ++n)
            if (SameSource(o.Plan, s.Plans[n])) return false;
        return true;
    });
    if (tiles_ && std::none_of(opened_.begin(), opened_.end(),
                               [this](const Opened& o) { return o.Picture == tiles_->Picture(); }))
        tiles_.reset();
}

}  // namespace stelmar
