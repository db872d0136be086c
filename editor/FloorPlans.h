#pragma once

// The floors' vector plans as the main window holds them: each plan's
// picture opened once for its source, page and hidden layers; the screen's
// renders of the active floor's plan (only that one, so that their memory
// stays bounded however many floors have plans); and the floor pictures
// of the project file made anew whenever an edit moves or changes a plan.

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "model/Scheme.h"
#include "drawing/PlanPicture.h"
#include "drawing/PlanTiles.h"

namespace stelmar {

using FloorPlanSet = std::array<TFloorPlan, kMaxFloors + 1>;

// The same picture on the canvas: the same file, page, layers and place.
bool SamePlanPicture(const TFloorPlan& a, const TFloorPlan& b);

class FloorPlans {
public:
    // `rendered` is called on a rendering thread whenever more of the plan
    // on the screen has been rendered.
    explicit FloorPlans(std::function<void()> rendered);

    // The picture of `plan`, opened when first asked for; null when the
    // floor has no plan or it cannot be drawn (`reason` then tells why).
    PlanPictureRef Picture(const TFloorPlan& plan, QString* reason = nullptr);
    // Takes `picture`, opened for `plan` already, as its picture.
    void Adopt(const TFloorPlan& plan, PlanPictureRef picture);
    // The renders of `plan` for the screen, null when it has no picture.
    // Asking for another plan's renders drops the ones kept.
    PlanTiles* Tiles(const TFloorPlan& plan);

    // Gives every floor of `s` whose plan differs from its plan in `before`
    // a picture of its plan at 100 % (PlanBitmap), and forgets the pictures
    // of plans no floor has any more.
    void RefreshPictures(TPipeLine& s, const FloorPlanSet& before);

private:
    struct Opened {
        TFloorPlan Plan;  // source, page and layers it was opened for
        PlanPictureRef Picture;
    };

    std::function<void()> rendered_;
    std::vector<Opened> opened_;
    std::unique_ptr<PlanTiles> tiles_;
};

}  // namespace stelmar
