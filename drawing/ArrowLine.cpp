#include "drawing/ArrowLine.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace stelmar {

namespace {

// Nearest integer, ties to even.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

void DrawArrowLine(const TPipeLine& s, Canvas& canvas, int x1, int y1, int x2, int y2)
{
    canvas.Line(x1, y1, x2, y2);
    canvas.SetPenWidth(1);
    DrawArrowHead(s, canvas, x1, y1, x2, y2);
}

void DrawArrowHead(const TPipeLine& s, Canvas& canvas, int x1, int y1, int x2, int y2)
{
    const int L = s.DlStr;
    if (std::abs(x1 - x2) < L + 5 && std::abs(y1 - y2) < L + 5) return;
    if (!s.StrV) return;

    const double dx = static_cast<double>(x1) - x2;
    const double dy = static_cast<double>(y1) - y2;
    // A vertical line gets a huge slope of the sign of y1 - y2, so that the
    // arctangent below is +-pi/2.
    const double k = x1 == x2 ? (dy > 0 ? 1.7E306 : -1.7E306) : dy / dx;
    const double len = std::sqrt(dx * dx + dy * dy);
    const double d = len / 2 - L / 2;

    const int tx = RoundEven((x1 * d + (len - d) * x2) / len);
    const int ty = RoundEven((y1 * d + (len - d) * y2) / len);
    const double turn = tx > x1 ? std::numbers::pi : 0.0;
    const double plus = std::atan(k) + s.AngleStr + turn;
    const double minus = std::atan(k) - s.AngleStr + turn;

    const QPoint head[3] = {
        {tx, ty},
        {tx + RoundEven(L * std::cos(plus)), ty + RoundEven(L * std::sin(plus))},
        {tx + RoundEven(L * std::cos(minus)), ty + RoundEven(L * std::sin(minus))},
    };
    canvas.Polygon(head, 3);
}

}  // namespace stelmar
