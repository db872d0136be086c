#include "drawing/ScaleBar.h"

#include <cmath>

#include "model/NumberText.h"

namespace stelmar {
namespace {

constexpr double kAimPixels = 120;
constexpr int kMargin = 12;
constexpr int kBarHeight = 6;
constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;

}  // namespace

double ScaleBarMetres(double metresPerPixel)
{
    const double aim = kAimPixels * metresPerPixel;
    const double power = std::pow(10.0, std::floor(std::log10(aim)));
    for (const double step : {5.0, 2.0, 1.0})
        if (step * power <= aim) return step * power;
    return power;
}

void DrawScaleBar(Canvas& c, double scale, double zoom, const QRect& box, const TextFont& font)
{
    if (!(scale > 0) || !(zoom > 0)) return;
    const double metresPerPixel = scale / zoom;
    const double metres = ScaleBarMetres(metresPerPixel);
    const int length = static_cast<int>(std::lround(metres / metresPerPixel));
    const int left = box.left() + kMargin;
    const int bottom = box.bottom() - kMargin;
    const int top = bottom - kBarHeight;
    const QString text = QString::fromStdString(FormatReal(metres, DecimalSeparatorFromEnvironment())) + " м";
    // A white ground keeps the bar readable over the plan.
    c.FillRect(QRect(left - 4, top - font.Ascent - 8, length + 8, font.Ascent + kBarHeight + 14), kWhite);
    c.SetPenColor(kBlack);
    c.SetPenWidth(1);
    c.SetPenDotted(false);
    c.Rectangle(left, top, left + length + 1, bottom + 1);
    c.FillRect(QRect(left, top, length / 2, kBarHeight), kBlack);
    c.SetFont(font, kBlack);
    c.TextOut(left, top - font.Ascent - 4, text);
}

}  // namespace stelmar
