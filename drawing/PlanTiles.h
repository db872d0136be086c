#pragma once

// The screen's renders of one vector plan: the plan is cut into square
// tiles of the zoomed canvas, each rendered once for a zoom on a thread of
// its own and kept while it fits the memory given (the tiles used longest
// ago go first). A redraw paints the tiles it finds; those not rendered yet
// are asked for and their place is painted meanwhile by the caller (from
// the floor's picture, enlarged), so the screen never waits for a render
// and the plan is sharp at every zoom once its tiles are in.

#include <QRect>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "model/Scheme.h"
#include "drawing/Canvas.h"
#include "drawing/PlanPicture.h"
#include "drawing/ViewMap.h"

namespace stelmar {

// A tile's side in image pixels, and the memory the tiles of one plan may
// take by default (64 full tiles).
inline constexpr int kPlanTileSide = 512;
inline constexpr std::size_t kPlanTileBudget = std::size_t(64) * kPlanTileSide * kPlanTileSide * 4;

class PlanTiles {
public:
    // `ready` is called on the rendering thread after each tile is done, so
    // that the screen is painted again (the caller moves it to its own
    // thread).
    PlanTiles(PlanPictureRef picture, std::function<void()> ready, std::size_t budgetBytes = kPlanTileBudget);
    ~PlanTiles();
    PlanTiles(const PlanTiles&) = delete;
    PlanTiles& operator=(const PlanTiles&) = delete;

    const PlanPictureRef& Picture() const { return picture_; }

    // Paints the plan's part under the image rectangle `rect` for `map`,
    // the plan placed as `plan` says. Tiles not rendered for this zoom are
    // asked for (replacing what earlier redraws asked for and is not begun)
    // and `missing` is called with each of their image rectangles.
    void Paint(Canvas& c, const QRect& rect, const ViewMap& map, const TFloorPlan& plan,
               const std::function<void(const QRect&)>& missing);

    // Waits until every tile asked for is rendered.
    void WaitIdle();
    // The memory the rendered tiles take.
    std::size_t CachedBytes() const;

private:
    struct Key {
        double Scale = 0;
        int Column = 0;
        int Row = 0;
        auto operator<=>(const Key&) const = default;
    };
    struct Tile {
        QImage Image;
        std::uint64_t LastUse = 0;
    };

    void Run();
    void Keep(const Key& key, QImage image);

    PlanPictureRef picture_;
    std::function<void()> ready_;
    std::size_t budget_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::map<Key, Tile> tiles_;
    std::size_t bytes_ = 0;
    std::uint64_t clock_ = 0;
    std::vector<Key> wanted_;  // taken from the back
    bool busy_ = false;
    bool stop_ = false;
    std::thread worker_;
};

}  // namespace stelmar
