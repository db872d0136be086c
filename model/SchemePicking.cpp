#include "model/SchemePicking.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace stelmar {

namespace {

double ZoomOf(const TPipeLine& s) { return s.Zoom > 0 ? s.Zoom : 1; }

// The pick square: -3 < (pointer - centre) * zoom + NodeWidth div 2 <
// NodeWidth + 3 in both directions, in screen pixels.
bool NodeHit(const TPipeLine& s, const TNode& n)
{
    if (n.Etag != s.ActiveEtag) return false;
    const int width = s.NodeWidth;
    const int h = width / 2;
    const double zoom = ZoomOf(s);
    const double dx = (s.MouseX - n.X) * zoom + h;
    const double dy = (s.MouseY - n.Y) * zoom + h;
    return -3 < dx && dx < width + 3 && -3 < dy && dy < width + 3;
}

int Sign(std::int64_t v) { return (v > 0) - (v < 0); }

// Walks the pixels of the line from node Node1 to node Node2 in integer
// steps and tells whether one of them lies within `AreaWidth` of the pointer.
bool WalkHits(const TPipeLine& s, const TNode& from, const TNode& to)
{
    const double w = s.AreaWidth / ZoomOf(s);
    const std::int64_t mx = s.MouseX;
    const std::int64_t my = s.MouseY;
    // Every pixel of the walk lies in the box spanned by the two ends, so a
    // pointer far from that box cannot hit.
    if (std::max(from.X, to.X) <= mx - w || std::min(from.X, to.X) >= mx + w ||
        std::max(from.Y, to.Y) <= my - w || std::min(from.Y, to.Y) >= my + w) {
        return false;
    }
    std::int64_t x = from.X;
    std::int64_t y = from.Y;
    const std::int64_t dx = std::int64_t{to.X} - from.X;
    const std::int64_t dy = std::int64_t{to.Y} - from.Y;
    const int sx = Sign(dx);
    const int sy = Sign(dy);
    const std::int64_t ax = std::abs(dx);
    const std::int64_t ay = std::abs(dy);
    const std::int64_t m = std::max(ax, ay);
    std::int64_t ex = ax;
    std::int64_t ey = ay;
    for (std::int64_t step = 0; step <= m; ++step) {
        if (my - w < y && y < my + w && mx - w < x && x < mx + w) return true;
        ex += ax;
        ey += ay;
        if (ex > m) {
            ex -= m;
            x += sx;
        }
        if (ey > m) {
            ey -= m;
            y += sy;
        }
    }
    return false;
}

bool AreaHit(const TPipeLine& s, const TArea& a)
{
    const TNode& from = s.Nodes[a.Node1];
    const TNode& to = s.Nodes[a.Node2];
    if (from.Etag != s.ActiveEtag && to.Etag != s.ActiveEtag) return false;
    return WalkHits(s, from, to);
}

}  // namespace

int NodeAt(const TPipeLine& s)
{
    for (int i = 1; i <= NodeCount(s); ++i)
        if (NodeHit(s, s.Nodes[i])) return i;
    return 0;
}

int AreaAt(const TPipeLine& s)
{
    if (NodeAt(s) != 0) return 0;
    for (int i = 1; i <= AreaCount(s); ++i)
        if (AreaHit(s, s.Areas[i])) return i;
    return 0;
}

std::vector<int> NodesAt(const TPipeLine& s)
{
    std::vector<int> found;
    for (int i = 1; i <= NodeCount(s); ++i)
        if (NodeHit(s, s.Nodes[i])) found.push_back(i);
    return found;
}

std::vector<int> AreasUnder(const TPipeLine& s)
{
    std::vector<int> found;
    for (int i = 1; i <= AreaCount(s); ++i)
        if (AreaHit(s, s.Areas[i])) found.push_back(i);
    return found;
}

bool Connected(const TPipeLine& s, int a, int b)
{
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& area = s.Areas[i];
        if ((area.Node1 == a && area.Node2 == b) || (area.Node1 == b && area.Node2 == a)) {
            return true;
        }
    }
    return false;
}

bool CanConnect(const TPipeLine& s, int a, int b)
{
    const int ka = s.Nodes[a].Kind;
    const int kb = s.Nodes[b].Kind;
    return !((ka == kInput && kb == kInput) || (ka == kExit && kb == kExit));
}

bool NodeInBand(const TPipeLine& s, int i)
{
    const TNode& n = s.Nodes[i];
    return std::min(s.AnchorX, s.MouseX) < n.X && n.X < std::max(s.AnchorX, s.MouseX) &&
           std::min(s.AnchorY, s.MouseY) < n.Y && n.Y < std::max(s.AnchorY, s.MouseY);
}

bool AreaInBand(const TPipeLine& s, int i)
{
    return NodeInBand(s, s.Areas[i].Node1) && NodeInBand(s, s.Areas[i].Node2);
}

}  // namespace stelmar
