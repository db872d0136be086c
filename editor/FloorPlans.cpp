#include "editor/FloorPlans.h"

#include <algorithm>

#include "dialogs/BackgroundWork.h"
#include "plans/DxfPlan.h"
#include "plans/PlanFiles.h"

namespace stelmar {
namespace {

bool SameSource(const TFloorPlan& a, const TFloorPlan& b)
{
    return a.Source == b.Source && a.Page == b.Page && a.HiddenLayers == b.HiddenLayers;
}

// What a picture is opened for: the source, page and layers of `plan`.
TFloorPlan SourceOf(const TFloorPlan& plan)
{
    TFloorPlan key;
    key.Source = plan.Source;
    key.Page = plan.Page;
    key.HiddenLayers = plan.HiddenLayers;
    return key;
}

}  // namespace

bool SamePlanPicture(const TFloorPlan& a, const TFloorPlan& b)
{
    return SameSource(a, b) && a.OriginX == b.OriginX && a.OriginY == b.OriginY &&
           a.PixelsPerUnit == b.PixelsPerUnit && a.OffsetX == b.OffsetX && a.OffsetY == b.OffsetY;
}

FloorPlans::FloorPlans(QWidget* window, std::function<void()> rendered)
    : window_(window), rendered_(std::move(rendered))
{
}

// A plan still being read is waited for: a worker never outlives the
// window it reports to.
FloorPlans::~FloorPlans()
{
    for (std::thread& worker : workers_) worker.join();
}

const FloorPlans::Opened* FloorPlans::Find(const TFloorPlan& plan) const
{
    const auto found =
        std::find_if(opened_.begin(), opened_.end(), [&plan](const Opened& o) { return SameSource(o.Plan, plan); });
    return found == opened_.end() ? nullptr : &*found;
}

void FloorPlans::TakeArrived()
{
    std::vector<Opened> arrived;
    {
        const std::lock_guard lock(arrivedMutex_);
        arrived.swap(arrived_);
    }
    if (arrived.empty()) return;
    for (Opened& o : arrived) {
        std::erase_if(opening_, [&o](const TFloorPlan& p) { return SameSource(p, o.Plan); });
        if (!Find(o.Plan)) opened_.push_back(std::move(o));
    }
    // The workers that delivered are done but for their return.
    if (opening_.empty()) {
        for (std::thread& worker : workers_) worker.join();
        workers_.clear();
    }
}

// A drawing shown with other layers is not read again.
const FloorPlans::Opened* FloorPlans::Known(const TFloorPlan& plan)
{
    TakeArrived();
    if (const Opened* o = Find(plan)) return o;
    for (const Opened& o : opened_) {
        const auto* dxf = dynamic_cast<const DxfPlan*>(o.Picture.get());
        if (dxf && dxf->Source() == plan.Source) {
            Adopt(plan, dxf->WithHidden(plan.HiddenLayers));
            return Find(plan);
        }
    }
    return nullptr;
}

PlanPictureRef FloorPlans::Shown(const TFloorPlan& plan)
{
    if (!plan.Source) return nullptr;
    if (const Opened* o = Known(plan)) return o->Picture;
    if (std::none_of(opening_.begin(), opening_.end(), [&plan](const TFloorPlan& p) { return SameSource(p, plan); })) {
        const TFloorPlan key = SourceOf(plan);
        opening_.push_back(key);
        workers_.emplace_back([this, key] {
            Opened opened{key, nullptr, {}};
            opened.Picture = OpenPlanPicture(key, &opened.Reason);
            {
                const std::lock_guard lock(arrivedMutex_);
                arrived_.push_back(std::move(opened));
            }
            rendered_();
        });
    }
    return nullptr;
}

PlanPictureRef FloorPlans::Picture(const TFloorPlan& plan, QString* reason)
{
    if (!plan.Source) return nullptr;
    const Opened* o = Known(plan);
    if (!o) {
        const TFloorPlan key = SourceOf(plan);
        const std::optional<Opened> opened = WorkInBackground<Opened>(
            window_, QString("Чтение плана \"%1\"...").arg(QString::fromStdString(plan.SourceName)),
            [key] {
                Opened opened{key, nullptr, {}};
                opened.Picture = OpenPlanPicture(key, &opened.Reason);
                return opened;
            },
            false);
        // A plan that cannot be opened is remembered too, so that it is not
        // tried again at every redraw.
        Adopt(plan, opened->Picture, opened->Reason);
        o = Find(plan);
    }
    if (!o->Picture && reason) *reason = o->Reason.isEmpty() ? "план не удалось открыть" : o->Reason;
    return o->Picture;
}

bool FloorPlans::OpenAll(const TPipeLine& s, const QString& text)
{
    TakeArrived();
    std::vector<TFloorPlan> wanted;
    for (int n = 1; n <= s.EtagCount; ++n) {
        const TFloorPlan& plan = s.Plans[std::size_t(n)];
        if (!plan.Source || Known(plan)) continue;
        if (std::none_of(wanted.begin(), wanted.end(), [&plan](const TFloorPlan& w) { return SameSource(w, plan); }))
            wanted.push_back(SourceOf(plan));
    }
    if (wanted.empty()) {
        KeepOnly(s);
        return true;
    }
    const std::optional<std::vector<Opened>> opened = WorkInBackground<std::vector<Opened>>(
        window_, text,
        [wanted] {
            std::vector<Opened> all;
            for (const TFloorPlan& key : wanted) {
                Opened o{key, nullptr, {}};
                o.Picture = OpenPlanPicture(key, &o.Reason);
                all.push_back(std::move(o));
            }
            return all;
        },
        true);
    if (!opened) return false;
    for (const Opened& o : *opened) Adopt(o.Plan, o.Picture, o.Reason);
    KeepOnly(s);
    return true;
}

void FloorPlans::Adopt(const TFloorPlan& plan, PlanPictureRef picture, const QString& reason)
{
    const TFloorPlan key = SourceOf(plan);
    std::erase_if(opened_, [&key](const Opened& o) { return SameSource(o.Plan, key); });
    opened_.push_back({key, std::move(picture), reason});
}

void FloorPlans::KeepBitmap(const TFloorPlan& plan, BitmapRef bitmap) { kept_.emplace(plan, std::move(bitmap)); }

PlanTiles* FloorPlans::Tiles(const TFloorPlan& plan)
{
    const PlanPictureRef picture = Shown(plan);
    if (!picture) return nullptr;
    if (!tiles_ || tiles_->Picture() != picture) tiles_ = std::make_unique<PlanTiles>(picture, rendered_);
    return tiles_.get();
}

void FloorPlans::RefreshPictures(TPipeLine& s, const FloorPlanSet& before)
{
    struct Job {
        int Floor;
        TFloorPlan Plan;
        PlanPictureRef Picture;
    };
    std::vector<Job> jobs;
    for (int n = 1; n <= s.EtagCount; ++n) {
        const TFloorPlan& plan = s.Plans[n];
        if (!plan.Source || SamePlanPicture(plan, before[n])) continue;
        if (kept_ && SamePlanPicture(plan, kept_->first)) {
            s.Backgrounds[n] = kept_->second;
            continue;
        }
        if (PlanPictureRef picture = Picture(plan)) jobs.push_back({n, plan, std::move(picture)});
    }
    kept_.reset();
    if (!jobs.empty()) {
        const std::optional<std::vector<BitmapRef>> pictures = WorkInBackground<std::vector<BitmapRef>>(
            window_, kFloorPictureRendering,
            [jobs] {
                std::vector<BitmapRef> rendered;
                for (const Job& job : jobs)
                    rendered.push_back(std::make_shared<const Bitmap>(PlanBitmap(*job.Picture, job.Plan)));
                return rendered;
            },
            false);
        for (std::size_t i = 0; i < jobs.size(); ++i) s.Backgrounds[jobs[i].Floor] = (*pictures)[i];
    }
    KeepOnly(s);
}

void FloorPlans::KeepOnly(const TPipeLine& s)
{
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
