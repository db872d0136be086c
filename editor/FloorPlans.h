#pragma once

// The floors' vector plans as the main window holds them: each plan's
// picture opened once for its source, page and hidden layers; the screen's
// renders of the active floor's plan (only that one, so that their memory
// stays bounded however many floors have plans); and the floor pictures
// of the project file made anew whenever an edit moves or changes a plan.
// Plans are opened and floor pictures rendered off the window's thread:
// the screen asks without waiting and is painted again when a plan is in,
// the other callers wait with the window painting.

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "model/Scheme.h"
#include "drawing/PlanPicture.h"
#include "drawing/PlanTiles.h"

class QWidget;

namespace stelmar {

// What the wait box says while floor pictures of plans are rendered.
inline constexpr const char* kFloorPictureRendering = "Подготовка рисунка этажа...";

using FloorPlanSet = std::array<TFloorPlan, kMaxFloors + 1>;

// The same picture on the canvas: the same file, page, layers and place.
bool SamePlanPicture(const TFloorPlan& a, const TFloorPlan& b);

class FloorPlans {
public:
    // `rendered` is called on a worker thread whenever more of the plan on
    // the screen has been rendered or a plan asked for by Shown is opened;
    // the waits belong to `window`.
    FloorPlans(QWidget* window, std::function<void()> rendered);
    ~FloorPlans();
    FloorPlans(const FloorPlans&) = delete;
    FloorPlans& operator=(const FloorPlans&) = delete;

    // The picture of `plan` when it is opened already; otherwise null, and
    // the plan is opened on a worker thread (`rendered` then tells). Null
    // too when the floor has no plan or it cannot be drawn.
    PlanPictureRef Shown(const TFloorPlan& plan);
    // The picture of `plan`, opened now (the window waiting) when it is not
    // yet; null when the floor has no plan or it cannot be drawn (`reason`
    // then tells why).
    PlanPictureRef Picture(const TFloorPlan& plan, QString* reason = nullptr);
    // Opens the plans of the floors of `s` that are not opened yet, the
    // window waiting with `text`, and forgets those of other schemes;
    // false, with nothing changed, when the user cancels.
    bool OpenAll(const TPipeLine& s, const QString& text);
    // Takes `picture`, opened for `plan` already, as its picture (null with
    // the `reason` it cannot be drawn).
    void Adopt(const TFloorPlan& plan, PlanPictureRef picture, const QString& reason = {});
    // Takes `bitmap`, rendered already as PlanBitmap renders it, as the
    // floor picture of `plan` placed as it is, for the next RefreshPictures.
    void KeepBitmap(const TFloorPlan& plan, BitmapRef bitmap);
    // The renders of `plan` for the screen, null when it has no picture or
    // it is not opened yet. Asking for another plan's renders drops the
    // ones kept.
    PlanTiles* Tiles(const TFloorPlan& plan);

    // Gives every floor of `s` whose plan differs from its plan in `before`
    // a picture of its plan at 100 % (PlanBitmap), rendered while the window
    // waits, and forgets the pictures of plans no floor has any more.
    void RefreshPictures(TPipeLine& s, const FloorPlanSet& before);

private:
    struct Opened {
        TFloorPlan Plan;  // source, page and layers it was opened for
        PlanPictureRef Picture;
        QString Reason;  // why it cannot be drawn, when Picture is null
    };

    const Opened* Find(const TFloorPlan& plan) const;
    // The opened picture of `plan`, also one made from the same drawing
    // opened with other layers; null when it is not opened.
    const Opened* Known(const TFloorPlan& plan);
    // Forgets the pictures of plans no floor of `s` has.
    void KeepOnly(const TPipeLine& s);
    // Plans opened by workers for the screen become opened ones.
    void TakeArrived();

    QWidget* window_;
    std::function<void()> rendered_;
    std::vector<Opened> opened_;
    std::unique_ptr<PlanTiles> tiles_;
    std::optional<std::pair<TFloorPlan, BitmapRef>> kept_;

    std::vector<TFloorPlan> opening_;  // for the screen, on the workers
    std::vector<std::thread> workers_;
    std::mutex arrivedMutex_;
    std::vector<Opened> arrived_;
};

}  // namespace stelmar
