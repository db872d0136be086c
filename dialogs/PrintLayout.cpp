#include "dialogs/PrintLayout.h"

#include <cmath>

namespace stelmar {
namespace {

// To the nearest integer, ties to even.
int Round(double x) { return static_cast<int>(std::nearbyint(x)); }

}  // namespace

void PrintLayout::SetPage(const PageGeometry& page)
{
    Page = page;
    Left = page.OffsetX;
    Top = page.OffsetY;
    Scale = 1;
}

// The page values are those of the current orientation, so in landscape
// the printable width is the long side of the paper and the same formula
// fills it.
void PrintLayout::Centre()
{
    if (Picture.width() <= 0) return;
    Scale = static_cast<double>(Page.Width - 2 * Page.OffsetX) / Picture.width();
    Top = Round((Page.Height - Picture.height() * Scale) / 2);
    Left = Page.OffsetX;
}

QRect PrintLayout::PageRect() const
{
    return QRect(Left, Top, Round(Picture.width() * Scale), Round(Picture.height() * Scale));
}

QRect PrintLayout::PreviewRect(const QSize& preview) const
{
    if (Page.Width <= 0 || Page.Height <= 0) return QRect();
    const double horizontal = static_cast<double>(preview.width()) / Page.Width;
    const double vertical = static_cast<double>(preview.height()) / Page.Height;
    return QRect(Round(horizontal * Left), Round(vertical * Top), Round(horizontal * Picture.width() * Scale),
                 Round(horizontal * Picture.height() * Scale));
}

QRect PreviewPanelRect(bool landscape)
{
    return landscape ? QRect(28, 40, 175, 123) : QRect(56, 18, 123, 175);
}

}  // namespace stelmar
