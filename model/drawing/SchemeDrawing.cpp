#include "model/drawing/SchemeDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/SchemePicking.h"
#include "model/drawing/ArrowLine.h"
#include "model/drawing/Canvas.h"
#include "model/drawing/FloorPainting.h"

namespace stelmar {

namespace {

constexpr TColor kBlue = 0xFF0000;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kLime = 0x00FF00;
constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kLightBlue = 0xF0CAA6;
constexpr TColor kHotShift = 70;

// The part of the canvas to paint; everything in export mode.
struct Visibility {
    bool All = false;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool Node(const TNode& n) const
    {
        return All || (Left < n.X && n.X < Right && Top < n.Y && n.Y < Bottom);
    }

    bool Area(const TNode& a, const TNode& b) const
    {
        return All || !((a.X < Left && b.X < Left) || (a.X > Right && b.X > Right) || (a.Y < Top && b.Y < Top) ||
                         (a.Y > Bottom && b.Y > Bottom));
    }
};

// Canvas font sizes: the label font's pixel height and its size in points
// at 96 dots per inch.
int LabelPixelSize(const TFontSpec& f)
{
    if (f.Height == 0) return 12;
    return static_cast<int>(std::clamp<long long>(std::llabs(f.Height), 1, 1000));
}

int PointsOf(int pixels) { return static_cast<int>(std::lround(pixels * 72.0 / 96.0)); }

QFont LabelFont(const TFontSpec& f)
{
    QFont font(QString::fromStdString(f.Name));
    font.setPixelSize(LabelPixelSize(f));
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    font.setUnderline(f.Underline);
    font.setStrikeOut(f.StrikeOut);
    return font;
}

// The "?" of an area without a width: the label font at 10 points, bold.
QFont MarkerFont(const TFontSpec& f)
{
    QFont font = LabelFont(f);
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

void PrepareCanvas(const TPipeLine& s, QImage& canvas, const CanvasView& view)
{
    if (canvas.isNull()) canvas = QImage(std::max(s.WSpaceG, 1), std::max(s.WSpaceV, 1), QImage::Format_RGB32);
    // Pictures are copied pixel for pixel, their fourth byte included, so
    // the canvas keeps 32-bit pixels without alpha.
    if (canvas.format() != QImage::Format_RGB32) canvas.convertTo(QImage::Format_RGB32);
    int width = canvas.width();
    int height = canvas.height();
    if (view.BoxWidth > s.WSpaceG) width = std::max(width, view.BoxWidth);
    if (view.BoxHeight > s.WSpaceV) height = std::max(height, view.BoxHeight);
    if (width != canvas.width() || height != canvas.height()) canvas = canvas.copy(0, 0, width, height);
}

void PaintBackground(const TPipeLine& s, Canvas& c, const QRect& rect)
{
    c.FillRect(rect, kWhite);
    const BitmapRef& picture = s.Backgrounds[s.ActiveEtag];
    if (!picture || picture->Width <= 0 || picture->Height <= 0) return;
    const QImage image(reinterpret_cast<const uchar*>(picture->Pixels.data()), picture->Width, picture->Height,
                       picture->Width * 4, QImage::Format_RGB32);
    const QRect source = rect.intersected(image.rect());
    if (!source.isEmpty()) c.DrawImage(source.topLeft(), image, source);
}

void ClampNodes(TPipeLine& s, int width, int height)
{
    for (int i = 1; i <= NodeCount(s); ++i) {
        TNode& n = s.Nodes[i];
        if (n.X < 0) n.X = 5;
        if (n.Y < 0) n.Y = 5;
        if (n.X > width) n.X = width - 10;
        if (n.Y > height) n.Y = height - 10;
    }
}

bool ValidNode(const TPipeLine& s, int i) { return i >= 1 && i <= NodeCount(s); }

// Both ends exist, one of them lies on the active floor and the area is in
// view.
bool AreaShown(const TPipeLine& s, const TArea& a, const Visibility& vis)
{
    if (!ValidNode(s, a.Node1) || !ValidNode(s, a.Node2)) return false;
    const TNode& n1 = s.Nodes[a.Node1];
    const TNode& n2 = s.Nodes[a.Node2];
    if (n1.Etag != s.ActiveEtag && n2.Etag != s.ActiveEtag) return false;
    return vis.Area(n1, n2);
}

void DrawAreas(const TPipeLine& s, Canvas& c, const Visibility& vis, const TextFont& marker)
{
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!AreaShown(s, a, vis)) continue;
        const TNode& n1 = s.Nodes[a.Node1];
        const TNode& n2 = s.Nodes[a.Node2];
        if (a.Hot) {
            c.SetPenWidth(s.AreaWidth + 2);
            c.SetPenColor(s.Color + kHotShift);
        } else {
            c.SetPenWidth(s.AreaWidth);
            c.SetPenColor(KindColor(s, a.Kind));
        }
        if (n1.Etag != n2.Etag) {
            const TNode& other = n1.Etag != s.ActiveEtag ? n1 : n2;
            c.SetPenColor(other.Etag > s.ActiveEtag ? kBlue : kRed);
        }
        DrawArrowLine(s, c, n1.X, n1.Y, n2.X, n2.Y);
        if (a.Width == 0 && s.QuestionMark) {
            const int mx = n1.X - (n1.X - n2.X) / 2;
            const int my = n1.Y - (n1.Y - n2.Y) / 2;
            c.SetFont(marker, c.PenColor());
            c.Ellipse(mx - 7, my - 7, mx + 8, my + 8);
            c.TextOut(mx - 3, my - 7, QStringLiteral("?"));
        }
    }
}

// The area the user is drawing from node `AreaFrom` to the pointer.
void DrawAreaInProgress(TPipeLine& s, Canvas& c)
{
    if (s.AreaFrom == 0 || !ValidNode(s, s.AreaFrom)) return;
    c.SetPenWidth(1);
    c.SetPenColor(kLime);
    const TNode& from = s.Nodes[s.AreaFrom];
    const int target = NodeAt(s);
    if (target != 0 && s.Nodes[target].Etag == from.Etag) {
        DrawArrowLine(s, c, from.X, from.Y, s.Nodes[target].X, s.Nodes[target].Y);
    } else {
        c.SetPenDotted(true);
        if (s.Snap) {
            s.MouseX = s.MouseX / 5 * 5 + 2;
            s.MouseY = s.MouseY / 5 * 5 + 2;
        }
        DrawArrowLine(s, c, from.X, from.Y, s.MouseX, s.MouseY);
        c.SetPenDotted(false);
    }
    c.SetPenColor(kBlack);
}

void DrawNodes(const TPipeLine& s, Canvas& c, const Visibility& vis, int peopleOffset)
{
    const int r = s.NodeWidth / 2;
    for (int i = 1; i <= NodeCount(s); ++i) {
        const TNode& n = s.Nodes[i];
        if (n.Etag != s.ActiveEtag || !vis.Node(n)) continue;
        const int x = n.X;
        const int y = n.Y;
        if (n.Hot) {
            c.SetPenWidth(2);
            c.SetPenColor(s.NodeColor + kHotShift);
        } else {
            c.SetPenWidth(1);
            c.SetPenColor(s.NodeColor);
        }
        if (n.Kind == kInput) {
            c.SetPenColor(kBlue);
            c.Ellipse(x - 5, y - 5, x + 6, y + 6);
            const QPoint arrow[] = {{x - 8, y}, {x + 2, y}, {x - 1, y - 2}, {x - 1, y + 2}, {x + 2, y}};
            c.Polyline(arrow, 5);
            if (s.ShowNumPeople) {
                c.TextOut(x + s.LNum, y + s.LNum + peopleOffset, QString::number(n.People) + QStringLiteral(" чел."));
            }
        } else if (n.Kind == kExit) {
            c.SetPenColor(kRed);
            c.Ellipse(x - 5, y - 5, x + 6, y + 6);
            const QPoint arrow[] = {{x - 1, y}, {x + 10, y}, {x + 8, y - 2}, {x + 8, y + 2}, {x + 10, y}};
            c.Polyline(arrow, 5);
        } else if (n.Kind == kJunction) {
            c.Ellipse(x - r, y - r, x - r + s.NodeWidth, y - r + s.NodeWidth);
        }
        if (s.ShowNumbers) {
            const QString label =
                n.Name == kDefaultNodeName ? QString::number(i) : QString::fromStdString(n.Name);
            c.TextOut(x + s.LNum, y + s.LNum, label);
        }
        if (n.Selected) {
            c.SetPenColor(kBlue);
            c.SetPenWidth(1);
            c.SetPenDotted(true);
            const int a = r + 3;
            const QPoint box[] = {{x - a, y - a}, {x + a, y - a}, {x + a, y + a}, {x - a, y + a}, {x - a, y - a}};
            c.Polyline(box, 5);
            c.SetPenDotted(false);
        }
    }
}

void DrawSelectedAreas(const TPipeLine& s, Canvas& c, const Visibility& vis)
{
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!a.Selected || !AreaShown(s, a, vis)) continue;
        const TNode& n1 = s.Nodes[a.Node1];
        const TNode& n2 = s.Nodes[a.Node2];
        const int x1 = n1.X, y1 = n1.Y, x2 = n2.X, y2 = n2.Y;
        const int mx = x1 - (x1 - x2) / 2;
        const int my = y1 - (y1 - y2) / 2;
        c.SetBrush(kBlue);
        c.SetPenColor(n1.Etag == n2.Etag ? kBlue : kLightBlue);
        c.SetPenWidth(1);
        c.SetPenDotted(true);
        c.Rectangle(x1 - 3, y1 - 3, x1 + 3, y1 + 3);
        c.Line(x1, y1, x2, y2);
        c.SetPenDotted(false);
        c.Rectangle(x2 - 3, y2 - 3, x2 + 3, y2 + 3);
        c.Rectangle(mx - 3, my - 3, mx + 3, my + 3);
        c.SetBrush(kWhite);
    }
}

void DrawBand(const TPipeLine& s, Canvas& c)
{
    if (!s.Banding) return;
    c.SetPenColor(kBlack);
    c.SetPenWidth(1);
    c.SetPenDotted(true);
    const QPoint band[] = {{s.AnchorX, s.AnchorY}, {s.MouseX, s.AnchorY}, {s.MouseX, s.MouseY},
                           {s.AnchorX, s.MouseY}, {s.AnchorX, s.AnchorY}};
    c.Polyline(band, 5);
    c.SetPenDotted(false);
}

}  // namespace

QColor ToQColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

TColor KindColor(const TPipeLine& s, int kind)
{
    switch (kind) {
    case kHorizontal: return s.Color;
    case kStairsDown: return s.LdownDColor;
    case kStairsUp: return s.LupColor;
    case kDoorway: return s.DColor;
    default: return s.Color;
    }
}

void PaintFloor(TPipeLine& s, Canvas& c, const QPaintDevice* device, const QSize& canvasSize, const CanvasView& view,
                bool exportMode)
{
    Visibility vis;
    vis.All = exportMode;
    vis.Left = view.HorzPos;
    vis.Top = view.VertPos;
    vis.Right = view.HorzPos + view.BoxWidth;
    vis.Bottom = view.VertPos + view.BoxHeight;
    const QRect shown(vis.Left, vis.Top, view.BoxWidth, view.BoxHeight);
    PaintBackground(s, c, exportMode ? QRect(QPoint(0, 0), canvasSize) : shown);
    ClampNodes(s, canvasSize.width(), canvasSize.height());

    const TextFont marker(MarkerFont(s.Font), device);
    DrawAreas(s, c, vis, marker);

    const TextFont label(LabelFont(s.Font), device);
    c.SetFont(label, s.Font.Color);
    DrawAreaInProgress(s, c);
    const int peopleOffset = static_cast<int>(std::nearbyint(1.2 * PointsOf(LabelPixelSize(s.Font))));
    DrawNodes(s, c, vis, peopleOffset);
    DrawSelectedAreas(s, c, vis);
    DrawBand(s, c);
}

bool Draw(TPipeLine& s, QImage& canvas, const CanvasView& view, bool exportMode, DrawCounters* counters)
{
    if (!s.Opened) return false;
    PrepareCanvas(s, canvas, view);
    {
        Canvas c(canvas);
        PaintFloor(s, c, &canvas, canvas.size(), view, exportMode);
    }
    if (counters != nullptr) {
        counters->Nodes = QStringLiteral("Узлов %1").arg(NodeCount(s));
        counters->Areas = QStringLiteral("Участков %1").arg(AreaCount(s));
        counters->Floors = QStringLiteral("Этажей %1").arg(s.EtagCount);
    }
    return true;
}

}  // namespace stelmar
