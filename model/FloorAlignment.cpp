#include "model/FloorAlignment.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

#include "model/PictureFile.h"

namespace stelmar {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

enum class Axis { X, Y };

bool Blank(const Bitmap& b, Axis axis, int line)
{
    const int count = axis == Axis::X ? b.Height : b.Width;
    for (int i = 0; i < count; ++i) {
        const std::size_t at = axis == Axis::X ? std::size_t(i) * b.Width + line : std::size_t(line) * b.Width + i;
        if (b.Pixels[at] != kWhite) return false;
    }
    return true;
}

// How far floor `floor` can go towards zero along `axis` with nothing of
// it below zero: its nodes, its plan (its offset, since the plan's own
// placement is never negative) and what its picture shows (the white
// margin at its start may be cut off).
int Room(const TPipeLine& s, int floor, Axis axis)
{
    const TFloorPlan& plan = s.Plans[floor];
    int room = axis == Axis::X ? plan.OffsetX : plan.OffsetY;
    for (int i = 1; i <= NodeCount(s) && room > 0; ++i) {
        const TNode& n = s.Nodes[i];
        if (n.Etag == floor) room = std::min(room, axis == Axis::X ? n.X : n.Y);
    }
    if (const BitmapRef& picture = s.Backgrounds[floor]) {
        const int lines = axis == Axis::X ? picture->Width : picture->Height;
        int margin = 0;
        while (margin < room && margin < lines && Blank(*picture, axis, margin)) ++margin;
        room = std::min(room, margin);
    }
    return room;
}

// The picture moved by (dx, dy): white comes in at the start, a negative
// move cuts the start off; it never grows beyond what a picture file holds.
BitmapRef Shifted(const Bitmap& b, int dx, int dy)
{
    auto out = std::make_shared<Bitmap>();
    out->Width = std::clamp(b.Width + dx, 1, kMaxPictureSide);
    out->Height = std::clamp(b.Height + dy, 1, kMaxPictureSide);
    out->Pixels.assign(std::size_t(out->Width) * out->Height, kWhite);
    for (int y = std::max(0, dy); y < out->Height; ++y) {
        const int from = y - dy;
        if (from >= b.Height) break;
        for (int x = std::max(0, dx); x < out->Width && x - dx < b.Width; ++x)
            out->Pixels[std::size_t(y) * out->Width + x] = b.Pixels[std::size_t(from) * b.Width + (x - dx)];
    }
    return out;
}

// Whether the nodes of the floor stay on the canvas moved by (dx, dy).
bool StaysOnCanvas(const TPipeLine& s, int floor, int dx, int dy)
{
    for (int i = 1; i <= NodeCount(s); ++i) {
        const TNode& n = s.Nodes[i];
        if (n.Etag == floor && (n.X + dx > s.WSpaceG || n.Y + dy > s.WSpaceV)) return false;
    }
    return true;
}

void Shift(TPipeLine& s, int floor, int dx, int dy)
{
    if (dx == 0 && dy == 0) return;
    for (int i = 1; i <= NodeCount(s); ++i) {
        TNode& n = s.Nodes[i];
        if (n.Etag != floor) continue;
        n.X += dx;
        n.Y += dy;
    }
    TFloorPlan& plan = s.Plans[floor];
    plan.OffsetX += dx;
    plan.OffsetY += dy;
    if (BitmapRef& picture = s.Backgrounds[floor]) picture = Shifted(*picture, dx, dy);
}

}  // namespace

std::optional<std::string> AlignFloors(TPipeLine& s, const FloorPoint& fixed, const FloorPoint& moved)
{
    if (fixed.Floor == moved.Floor) return "Укажите одну и ту же точку на двух разных этажах.";
    const int dx = static_cast<int>(std::lround(fixed.X - moved.X));
    const int dy = static_cast<int>(std::lround(fixed.Y - moved.Y));
    // Along each axis the floor that goes towards zero must have the room.
    const bool movedX = dx >= 0 || Room(s, moved.Floor, Axis::X) >= -dx;
    const bool movedY = dy >= 0 || Room(s, moved.Floor, Axis::Y) >= -dy;
    const int movedDx = movedX ? dx : 0;
    const int movedDy = movedY ? dy : 0;
    const int fixedDx = movedX ? 0 : -dx;
    const int fixedDy = movedY ? 0 : -dy;
    for (const auto& [floor, x, y] : {std::tuple{moved.Floor, movedDx, movedDy}, std::tuple{fixed.Floor, fixedDx, fixedDy}})
        if (!StaysOnCanvas(s, floor, x, y))
            return "Этажи не совмещены: узлы этажа №" + std::to_string(floor) +
                   " вышли бы за рабочую область. Увеличьте ее размер в окне «Параметры».";
    Shift(s, moved.Floor, movedDx, movedDy);
    Shift(s, fixed.Floor, fixedDx, fixedDy);
    return std::nullopt;
}

}  // namespace stelmar
