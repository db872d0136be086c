#include "drawing/PlanTiles.h"

#include <algorithm>
#include <cmath>

namespace stelmar {

PlanTiles::PlanTiles(PlanPictureRef picture, std::function<void()> ready, std::size_t budgetBytes)
    : picture_(std::move(picture)), ready_(std::move(ready)), budget_(budgetBytes), worker_([this] { Run(); })
{
}

PlanTiles::~PlanTiles()
{
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        wanted_.clear();
    }
    wake_.notify_all();
    worker_.join();
}

void PlanTiles::Paint(Canvas& c, const QRect& rect, const ViewMap& map, const TFloorPlan& plan,
                      const std::function<void(const QRect&)>& missing)
{
    const double scale = plan.PixelsPerUnit * map.Zoom;
    const QSizeF size = picture_->Size();
    if (!(scale > 0) || size.isEmpty()) return;
    // The plan's top-left corner in image pixels, and its extent.
    const QPoint corner(static_cast<int>(std::lround((plan.OriginX + plan.OffsetX) * map.Zoom)) - map.OriginX,
                        static_cast<int>(std::lround((plan.OriginY + plan.OffsetY) * map.Zoom)) - map.OriginY);
    const QRect whole(0, 0, static_cast<int>(std::ceil(size.width() * scale)),
                      static_cast<int>(std::ceil(size.height() * scale)));
    const QRect shown = rect.translated(-corner).intersected(whole);
    if (shown.isEmpty()) return;

    struct Wanted {
        Key K;
        QRect Place;  // image pixels
        QImage Image;
    };
    std::vector<Wanted> visible;
    for (int row = shown.top() / kPlanTileSide; row <= shown.bottom() / kPlanTileSide; ++row)
        for (int column = shown.left() / kPlanTileSide; column <= shown.right() / kPlanTileSide; ++column) {
            const QRect tile =
                QRect(column * kPlanTileSide, row * kPlanTileSide, kPlanTileSide, kPlanTileSide).intersected(whole);
            visible.push_back({{scale, column, row}, tile.translated(corner), {}});
        }
    std::vector<Key> absent;
    {
        const std::lock_guard lock(mutex_);
        for (Wanted& w : visible) {
            const auto found = tiles_.find(w.K);
            if (found == tiles_.end()) {
                absent.push_back(w.K);
                continue;
            }
            found->second.LastUse = ++clock_;
            w.Image = found->second.Image;
        }
        // The nearest to the middle of the view are rendered first: the
        // worker takes from the back.
        const QPointF middle = QRectF(shown).center();
        auto distance = [&middle](const Key& k) {
            const QPointF at((k.Column + 0.5) * kPlanTileSide, (k.Row + 0.5) * kPlanTileSide);
            return std::hypot(at.x() - middle.x(), at.y() - middle.y());
        };
        std::sort(absent.begin(), absent.end(),
                  [&distance](const Key& a, const Key& b) { return distance(a) > distance(b); });
        wanted_ = absent;
    }
    if (!absent.empty()) wake_.notify_one();
    for (const Wanted& w : visible) {
        const QRect target = w.Place.intersected(rect);
        if (target.isEmpty()) continue;
        if (w.Image.isNull())
            missing(target);
        else
            c.DrawImage(target.topLeft(), w.Image, target.translated(-w.Place.topLeft()));
    }
}

void PlanTiles::WaitIdle()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return wanted_.empty() && !busy_; });
}

std::size_t PlanTiles::CachedBytes() const
{
    const std::lock_guard lock(mutex_);
    return bytes_;
}

void PlanTiles::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        busy_ = false;
        if (wanted_.empty()) idle_.notify_all();
        wake_.wait(lock, [this] { return stop_ || !wanted_.empty(); });
        if (stop_) return;
        const Key key = wanted_.back();
        wanted_.pop_back();
        if (tiles_.contains(key)) continue;
        busy_ = true;
        lock.unlock();
        const QRect clip(key.Column * kPlanTileSide, key.Row * kPlanTileSide, kPlanTileSide, kPlanTileSide);
        const QSizeF size = picture_->Size();
        const QRect whole(0, 0, static_cast<int>(std::ceil(size.width() * key.Scale)),
                          static_cast<int>(std::ceil(size.height() * key.Scale)));
        QImage image = picture_->Render(key.Scale, clip.intersected(whole));
        lock.lock();
        if (image.isNull()) continue;
        Keep(key, std::move(image));
        lock.unlock();
        if (ready_) ready_();
        lock.lock();
    }
}

// Under the lock: the new tile is kept, and the tiles used longest ago go
// until the rest fits the budget.
void PlanTiles::Keep(const Key& key, QImage image)
{
    bytes_ += static_cast<std::size_t>(image.sizeInBytes());
    tiles_[key] = {std::move(image), ++clock_};
    while (bytes_ > budget_ && tiles_.size() > 1) {
        auto oldest = tiles_.end();
        for (auto it = tiles_.begin(); it != tiles_.end(); ++it)
            if (!(it->first == key) && (oldest == tiles_.end() || it->second.LastUse < oldest->second.LastUse))
                oldest = it;
        bytes_ -= static_cast<std::size_t>(oldest->second.Image.sizeInBytes());
        tiles_.erase(oldest);
    }
}

}  // namespace stelmar
