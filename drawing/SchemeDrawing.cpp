#include "drawing/SchemeDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "model/SchemePicking.h"
#include "drawing/ArrowLine.h"
#include "drawing/Canvas.h"
#include "drawing/ExclusionPainting.h"
#include "drawing/FloorExtent.h"
#include "drawing/FloorPainting.h"
#include "drawing/LabelPlacement.h"
#include "drawing/OverlayPainting.h"
#include "drawing/PlanTiles.h"
#include "drawing/ScaleBar.h"
#include "drawing/ViewMap.h"

namespace stelmar {

namespace {

constexpr TColor kBlue = 0xFF0000;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kLime = 0x00FF00;
constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kLightBlue = 0xF0CAA6;
constexpr TColor kHotShift = 70;
constexpr double kSmallestLabelZoom = 0.5;

// Canvas font sizes: the label font's pixel height and its size in points
// at 96 dots per inch.
int LabelPixelSize(const TFontSpec& f)
{
    if (f.Height == 0) return 12;
    return static_cast<int>(std::clamp<long long>(std::llabs(f.Height), 1, 1000));
}

int PointsOf(int pixels) { return static_cast<int>(std::lround(pixels * 72.0 / 96.0)); }

}  // namespace

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

QFont OverlayFont(const TFontSpec& f)
{
    QFont font = LabelFont(f);
    font.setPixelSize(11);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

namespace {

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
    if (view.BoxOnly) {
        const QSize box(std::max(view.BoxWidth, 1), std::max(view.BoxHeight, 1));
        if (canvas.size() != box || canvas.format() != QImage::Format_RGB32)
            canvas = QImage(box, QImage::Format_RGB32);
        return;
    }
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

QImage ImageOf(const Bitmap& picture)
{
    return QImage(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width, picture.Height,
                  picture.Width * 4, QImage::Format_RGB32);
}

// White, then the floor's picture over the image rectangle `rect`: copied
// pixel for pixel at zoom 1, enlarged pixel by pixel above it (only the
// part in view), and reduced smoothly below it (once per zoom, through the
// cache).
void PaintPicture(const TPipeLine& s, Canvas& c, const QRect& rect, const ViewMap& map, BackgroundCache* cache)
{
    c.FillRect(rect, kWhite);
    const BitmapRef& picture = s.Backgrounds[s.ActiveEtag];
    if (!picture || picture->Width <= 0 || picture->Height <= 0) return;
    const QImage image = ImageOf(*picture);
    if (map.Zoom == 1) {
        const QRect source = rect.translated(map.OriginX, map.OriginY).intersected(image.rect());
        if (!source.isEmpty()) c.DrawImage(source.topLeft() - QPoint(map.OriginX, map.OriginY), image, source);
        return;
    }
    if (map.Zoom < 1 && cache) {
        const QImage& reduced = cache->Reduced(picture, map.Zoom);
        const QRect source = rect.translated(map.OriginX, map.OriginY).intersected(reduced.rect());
        if (!source.isEmpty()) c.DrawImage(source.topLeft() - QPoint(map.OriginX, map.OriginY), reduced, source);
        return;
    }
    // The canvas pixels under the image rectangle, one more at each edge.
    const QRectF wanted(QPointF(rect.left() + map.OriginX, rect.top() + map.OriginY) / map.Zoom,
                        QSizeF(rect.width(), rect.height()) / map.Zoom);
    const QRect source = wanted.toAlignedRect().adjusted(-1, -1, 1, 1).intersected(image.rect());
    if (source.isEmpty()) return;
    const QRectF target(QPointF(source.left() * map.Zoom - map.OriginX, source.top() * map.Zoom - map.OriginY),
                        QSizeF(source.width(), source.height()) * map.Zoom);
    c.DrawScaledImage(target, image, source, map.Zoom < 1);
}

// A printout's vector plan over the image rectangle `rect`, rendered for
// the device's own pixels (a printer's 600 dpi, say) so that it prints
// sharp, in at most kPrintedPlanPixels pixels.
void PaintPrintedPlan(Canvas& c, const QRect& rect, const ViewMap& map, const TFloorPlan& plan,
                      const PlanPicture& picture)
{
    constexpr double kPrintedPlanPixels = 16e6;
    const double unit = plan.PixelsPerUnit * map.Zoom;  // image pixels per plan unit
    const QSizeF size = picture.Size();
    if (!(unit > 0) || size.isEmpty()) return;
    const QPointF corner((plan.OriginX + plan.OffsetX) * map.Zoom - map.OriginX,
                         (plan.OriginY + plan.OffsetY) * map.Zoom - map.OriginY);
    const QRectF target = QRectF(corner, size * unit).intersected(QRectF(rect));
    if (target.isEmpty()) return;
    double device = std::max(1.0, c.DeviceScale());
    const double pixels = target.width() * target.height() * device * device;
    if (pixels > kPrintedPlanPixels) device *= std::sqrt(kPrintedPlanPixels / pixels);
    const QRect clip = QRectF((target.topLeft() - corner) * device, target.size() * device).toAlignedRect();
    const QImage image = picture.Render(unit * device, clip);
    if (image.isNull()) return;
    c.DrawScaledImage(QRectF(corner + QPointF(clip.topLeft()) / device, QSizeF(clip.size()) / device), image,
                      image.rect(), true);
}

// The floor's vector plan on the screen, its picture where the plan's tiles
// for this zoom are not rendered yet; a printout's plan when it has one;
// the picture alone in export mode and without a plan.
void PaintBackground(const TPipeLine& s, Canvas& c, const QRect& rect, const ViewMap& map, BackgroundCache* cache,
                     bool exportMode, const PlanPicture* printed)
{
    if (printed) {
        c.FillRect(rect, kWhite);
        PaintPrintedPlan(c, rect, map, s.Plans[s.ActiveEtag], *printed);
        return;
    }
    PlanTiles* plan = cache && !exportMode ? cache->Plan() : nullptr;
    if (!plan) {
        PaintPicture(s, c, rect, map, cache);
        return;
    }
    c.FillRect(rect, kWhite);
    plan->Paint(c, rect, map, s.Plans[s.ActiveEtag],
                [&](const QRect& place) { PaintPicture(s, c, place, map, cache); });
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
bool AreaShown(const TPipeLine& s, const TArea& a, const Visibility& vis, const ViewMap& map)
{
    if (!ValidNode(s, a.Node1) || !ValidNode(s, a.Node2)) return false;
    const TNode& n1 = s.Nodes[a.Node1];
    const TNode& n2 = s.Nodes[a.Node2];
    if (n1.Etag != s.ActiveEtag && n2.Etag != s.ActiveEtag) return false;
    return vis.Area(map(n1), map(n2));
}

// The pen of an area: its kind's colour, the highlight colour and a wider
// pen when highlighted, blue or red when it leads to a higher or lower floor;
// with results, the colour and the line of its movement.
struct AreaPenKey {
    TColor Color = 0;
    int Width = 1;
    Qt::PenStyle Style = Qt::SolidLine;
    bool operator==(const AreaPenKey&) const = default;
};

AreaPenKey AreaPen(const TPipeLine& s, int i, const SchemeOverlay* overlay)
{
    const TArea& a = s.Areas[i];
    AreaPenKey pen = a.Hot ? AreaPenKey{s.Color + kHotShift, s.AreaWidth + 2}
                           : AreaPenKey{OverlayAreaColor(overlay, i, KindColor(s, a.Kind)), int(s.AreaWidth),
                                        OverlayAreaStyle(overlay, i)};
    const TNode& n1 = s.Nodes[a.Node1];
    const TNode& n2 = s.Nodes[a.Node2];
    if (n1.Etag != n2.Etag) {
        const TNode& other = n1.Etag != s.ActiveEtag ? n1 : n2;
        pen.Color = other.Etag > s.ActiveEtag ? kBlue : kRed;
    }
    return pen;
}

// The "?" of an area without a width, centred on (mx, my), in `color`.
void DrawMarker(Canvas& c, const TextFont& marker, TColor color, int mx, int my)
{
    c.SetPenWidth(1);
    c.SetPenColor(color);
    c.SetFont(marker, color);
    c.Ellipse(mx - 7, my - 7, mx + 8, my + 8);
    c.TextOut(mx - 3, my - 7, QStringLiteral("?"));
}

// Markers drawn once per colour into a small picture and copied.
class MarkerSprites {
public:
    explicit MarkerSprites(const TextFont& marker) : marker_(marker) {}

    void Draw(Canvas& c, TColor color, int mx, int my)
    {
        auto found = std::find_if(sprites_.begin(), sprites_.end(), [color](const auto& e) { return e.first == color; });
        if (found == sprites_.end()) {
            QImage sprite(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
            sprite.fill(Qt::transparent);
            {
                Canvas own(sprite);
                DrawMarker(own, marker_, color, kCentre, kCentre);
            }
            found = sprites_.insert(sprites_.end(), {color, std::move(sprite)});
        }
        c.DrawImage(QPoint(mx - kCentre, my - kCentre), found->second, found->second.rect());
    }

private:
    static constexpr int kCentre = 10;
    static constexpr int kSide = 2 * kCentre + 1;
    const TextFont& marker_;
    std::vector<std::pair<TColor, QImage>> sprites_;
};

QPoint Middle(const QPoint& p1, const QPoint& p2)
{
    return {p1.x() - (p1.x() - p2.x()) / 2, p1.y() - (p1.y() - p2.y()) / 2};
}

// Below zoom 1 a floor shows many areas in little room: the lines are drawn
// pen by pen in batches, then the arrowheads and markers over them.
void DrawAreasReduced(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map, const TextFont& marker,
                      const SchemeOverlay* overlay)
{
    struct Batch {
        AreaPenKey Pen;
        std::vector<QLine> Lines;
    };
    std::vector<Batch> batches;
    struct Mark {
        QPoint From, To;
        TColor Color;
        bool Marker;
    };
    std::vector<Mark> marks;
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!AreaShown(s, a, vis, map)) continue;
        const QPoint p1 = map(s.Nodes[a.Node1]);
        const QPoint p2 = map(s.Nodes[a.Node2]);
        const AreaPenKey pen = AreaPen(s, i, overlay);
        auto batch = std::find_if(batches.begin(), batches.end(), [&pen](const Batch& b) { return b.Pen == pen; });
        if (batch == batches.end()) batch = batches.insert(batches.end(), Batch{pen, {}});
        batch->Lines.emplace_back(p1, p2);
        marks.push_back({p1, p2, pen.Color, a.Width == 0 && s.QuestionMark});
    }
    for (const Batch& batch : batches) {
        c.SetPenColor(batch.Pen.Color);
        c.SetPenWidth(batch.Pen.Width);
        c.SetPenStyle(batch.Pen.Style);
        c.Lines(batch.Lines);
    }
    c.SetPenStyle(Qt::SolidLine);
    c.SetPenWidth(1);
    MarkerSprites markers(marker);
    for (const Mark& m : marks) {
        c.SetPenColor(m.Color);
        DrawArrowHead(s, c, m.From.x(), m.From.y(), m.To.x(), m.To.y());
        if (!m.Marker) continue;
        const QPoint mid = Middle(m.From, m.To);
        if (c.IsRaster())
            markers.Draw(c, m.Color, mid.x(), mid.y());
        else
            DrawMarker(c, marker, m.Color, mid.x(), mid.y());
    }
}

void DrawAreas(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map, const TextFont& marker,
               const SchemeOverlay* overlay)
{
    if (map.Zoom < 1 && c.IsRaster()) {
        DrawAreasReduced(s, c, vis, map, marker, overlay);
        return;
    }
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!AreaShown(s, a, vis, map)) continue;
        const QPoint p1 = map(s.Nodes[a.Node1]);
        const QPoint p2 = map(s.Nodes[a.Node2]);
        const AreaPenKey pen = AreaPen(s, i, overlay);
        c.SetPenWidth(pen.Width);
        c.SetPenColor(pen.Color);
        c.SetPenStyle(pen.Style);
        c.Line(p1.x(), p1.y(), p2.x(), p2.y());
        c.SetPenStyle(Qt::SolidLine);
        c.SetPenWidth(1);
        DrawArrowHead(s, c, p1.x(), p1.y(), p2.x(), p2.y());
        if (a.Width == 0 && s.QuestionMark) {
            const QPoint mid = Middle(p1, p2);
            DrawMarker(c, marker, c.PenColor(), mid.x(), mid.y());
        }
    }
}

// The area the user is drawing from node `AreaFrom` to the pointer.
void DrawAreaInProgress(TPipeLine& s, Canvas& c, const ViewMap& map)
{
    if (s.AreaFrom == 0 || !ValidNode(s, s.AreaFrom)) return;
    c.SetPenWidth(1);
    c.SetPenColor(kLime);
    const QPoint from = map(s.Nodes[s.AreaFrom]);
    const int target = NodeAt(s);
    if (target != 0 && s.Nodes[target].Etag == s.Nodes[s.AreaFrom].Etag) {
        const QPoint to = map(s.Nodes[target]);
        DrawArrowLine(s, c, from.x(), from.y(), to.x(), to.y());
    } else {
        c.SetPenDotted(true);
        if (s.Snap) {
            s.MouseX = s.MouseX / 5 * 5 + 2;
            s.MouseY = s.MouseY / 5 * 5 + 2;
        }
        const QPoint to = map(s.MouseX, s.MouseY);
        DrawArrowLine(s, c, from.x(), from.y(), to.x(), to.y());
        c.SetPenDotted(false);
    }
    c.SetPenColor(kBlack);
}

// The symbol of a node of `kind` centred on (x, y): a blue circle with an
// arrow into it for an input, a red one with an arrow out for an exit, a
// circle of `NodeWidth` in the node colour for a junction; a highlighted
// node is drawn with a pen of two pixels.
void DrawSymbol(const TPipeLine& s, Canvas& c, std::uint8_t kind, bool hot, int x, int y)
{
    const int r = s.NodeWidth / 2;
    if (hot) {
        c.SetPenWidth(2);
        c.SetPenColor(s.NodeColor + kHotShift);
    } else {
        c.SetPenWidth(1);
        c.SetPenColor(s.NodeColor);
    }
    if (kind == kInput) {
        c.SetPenColor(kBlue);
        c.Ellipse(x - 5, y - 5, x + 6, y + 6);
        const QPoint arrow[] = {{x - 8, y}, {x + 2, y}, {x - 1, y - 2}, {x - 1, y + 2}, {x + 2, y}};
        c.Polyline(arrow, 5);
    } else if (kind == kExit) {
        c.SetPenColor(kRed);
        c.Ellipse(x - 5, y - 5, x + 6, y + 6);
        const QPoint arrow[] = {{x - 1, y}, {x + 10, y}, {x + 8, y - 2}, {x + 8, y + 2}, {x + 10, y}};
        c.Polyline(arrow, 5);
    } else if (kind == kJunction) {
        c.Ellipse(x - r, y - r, x - r + s.NodeWidth, y - r + s.NodeWidth);
    }
}

// The node symbols drawn once into small pictures and copied to every
// node: the same pixels as drawing each one, at a fraction of the cost.
// Only for raster images; a printer page gets each symbol as shapes.
class SymbolSprites {
public:
    explicit SymbolSprites(const TPipeLine& s) : s_(s) {}

    void Draw(Canvas& c, std::uint8_t kind, bool hot, int x, int y)
    {
        if (kind < kInput || kind > kJunction) return;
        // Pixels the symbol reaches from its centre: the arrows of inputs
        // and exits, the circle of a junction, one more for the wide pen.
        const int reach = kind == kJunction ? s_.NodeWidth / 2 + 3 : 12;
        QImage& sprite = sprites_[kind - 1][hot ? 1 : 0];
        if (sprite.isNull()) {
            sprite = QImage(2 * reach + 1, 2 * reach + 1, QImage::Format_ARGB32_Premultiplied);
            sprite.fill(Qt::transparent);
            Canvas own(sprite);
            DrawSymbol(s_, own, kind, hot, reach, reach);
        }
        c.DrawImage(QPoint(x - reach, y - reach), sprite, sprite.rect());
    }

private:
    const TPipeLine& s_;
    QImage sprites_[3][2];
};

// The box a node's symbol covers: the circle with the arrow of an input or
// an exit, the circle of a junction.
QRect SymbolBox(const TPipeLine& s, std::uint8_t kind, int x, int y)
{
    if (kind == kInput) return QRect(x - 8, y - 6, 15, 13);
    if (kind == kExit) return QRect(x - 6, y - 6, 17, 13);
    const int r = s.NodeWidth / 2 + 1;
    return QRect(x - r, y - r, 2 * r + 1, 2 * r + 1);
}

// The text of a node at (x, y) of its cell: written and taken in `placer`;
// on a printout left out when it would cover another.
void NodeText(Canvas& c, const TextFont& font, LabelPlacer& placer, bool printout, int x, int y, const QString& text)
{
    const QPoint at(x, y);
    if (printout) {
        if (placer.Place(font.Size(text), {&at, 1})) c.TextOut(x, y, text);
        return;
    }
    placer.Take(QRect(at, font.Size(text)));
    c.TextOut(x, y, text);
}

void DrawNodes(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map, int peopleOffset,
               const TextFont& font, LabelPlacer& placer, bool printout)
{
    const int r = s.NodeWidth / 2;
    // Labels closer together than this are not drawn on the screen: they
    // could not be told apart, and writing them all would slow every redraw
    // of a large floor.
    const bool labels = printout || map.Zoom >= kSmallestLabelZoom;
    std::optional<SymbolSprites> sprites;
    if (c.IsRaster()) sprites.emplace(s);
    // A node's labels touch its own symbol, so the symbols keep only the
    // results' labels away: they are taken after every node's labels.
    std::vector<QRect> symbols;
    for (int i = 1; i <= NodeCount(s); ++i) {
        const TNode& n = s.Nodes[i];
        if (n.Etag != s.ActiveEtag) continue;
        const QPoint at = map(n);
        if (!vis.Node(at)) continue;
        const int x = at.x();
        const int y = at.y();
        if (sprites)
            sprites->Draw(c, n.Kind, n.Hot, x, y);
        else
            DrawSymbol(s, c, n.Kind, n.Hot, x, y);
        if (labels) symbols.push_back(SymbolBox(s, n.Kind, x, y));
        if (n.Kind == kInput && s.ShowNumPeople && labels)
            NodeText(c, font, placer, printout, x + s.LNum, y + s.LNum + peopleOffset,
                     QString::number(n.People) + QStringLiteral(" чел."));
        if (s.ShowNumbers && labels) {
            const QString label =
                n.Name == kDefaultNodeName ? QString::number(i) : QString::fromStdString(n.Name);
            NodeText(c, font, placer, printout, x + s.LNum, y + s.LNum, label);
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
    for (const QRect& box : symbols) placer.Take(box);
}

void DrawSelectedAreas(const TPipeLine& s, Canvas& c, const Visibility& vis, const ViewMap& map)
{
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (!a.Selected || !AreaShown(s, a, vis, map)) continue;
        const TNode& n1 = s.Nodes[a.Node1];
        const TNode& n2 = s.Nodes[a.Node2];
        const QPoint p1 = map(n1);
        const QPoint p2 = map(n2);
        const int x1 = p1.x(), y1 = p1.y(), x2 = p2.x(), y2 = p2.y();
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

void DrawBand(const TPipeLine& s, Canvas& c, const ViewMap& map)
{
    if (!s.Banding) return;
    c.SetPenColor(kBlack);
    c.SetPenWidth(1);
    c.SetPenDotted(true);
    const QPoint anchor = map(s.AnchorX, s.AnchorY);
    const QPoint pointer = map(s.MouseX, s.MouseY);
    const QPoint band[] = {anchor, {pointer.x(), anchor.y()}, pointer, {anchor.x(), pointer.y()}, anchor};
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

QSize CanvasExtent(const TPipeLine& s, int boxWidth, int boxHeight)
{
    return {std::max(s.WSpaceG, boxWidth), std::max(s.WSpaceV, boxHeight)};
}

const QImage& BackgroundCache::Reduced(const BitmapRef& picture, double zoom)
{
    if (picture != source_ || zoom != zoom_) {
        source_ = picture;
        zoom_ = zoom;
        const QSize size(std::max(1, static_cast<int>(std::lround(picture->Width * zoom))),
                         std::max(1, static_cast<int>(std::lround(picture->Height * zoom))));
        reduced_ = ImageOf(*picture).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return reduced_;
}

void PaintFloor(TPipeLine& s, Canvas& c, const QPaintDevice* device, const QSize& canvasSize, const CanvasView& view,
                bool exportMode, BackgroundCache* cache, const SchemeOverlay* overlay, LabelTally* tally)
{
    ViewMap map;
    Visibility vis;
    vis.All = exportMode;
    if (!exportMode) {
        map.Zoom = view.Zoom > 0 ? view.Zoom : 1;
        if (view.BoxOnly) {
            map.OriginX = view.HorzPos;
            map.OriginY = view.VertPos;
        }
        vis.Left = view.HorzPos - map.OriginX;
        vis.Top = view.VertPos - map.OriginY;
        vis.Right = vis.Left + view.BoxWidth;
        vis.Bottom = vis.Top + view.BoxHeight;
    }
    const QRect shown(vis.Left, vis.Top, view.BoxWidth, view.BoxHeight);
    const QRect canvas(QPoint(-map.OriginX, -map.OriginY), QSize(map.Scale(canvasSize.width()), map.Scale(canvasSize.height())));
    PaintBackground(s, c, exportMode ? QRect(QPoint(0, 0), canvasSize) : shown, map, cache, exportMode,
                    view.Printout ? view.Plan : nullptr);
    ClampNodes(s, canvasSize.width(), canvasSize.height());

    if (overlay) DrawOverlayUnderlays(s, c, vis, map, *overlay);
    const TextFont marker(MarkerFont(s.Font), device);
    DrawAreas(s, c, vis, map, marker, overlay);

    const TextFont label(LabelFont(s.Font), device);
    c.SetFont(label, s.Font.Color);
    if (!view.Printout) DrawAreaInProgress(s, c, map);
    // Labels keep clear of one another and of the symbols: within the
    // printout's frame, or anywhere on the canvas on the screen.
    LabelPlacer placer(view.Printout ? shown : canvas);
    const int peopleOffset = static_cast<int>(std::nearbyint(1.2 * PointsOf(LabelPixelSize(s.Font))));
    c.SetFont(label, s.Font.Color);
    DrawNodes(s, c, vis, map, peopleOffset, label, placer, view.Printout);
    DrawExcluded(s, c, vis, map);
    if (overlay) {
        DrawOverlayNodeMarks(s, c, vis, map, *overlay);
        const TextFont small(OverlayFont(s.Font), device);
        if (view.Printout || map.Zoom >= kSmallestLabelZoom) {
            // On the screen the labels of elements just out of view are
            // placed too, so that those in view stay where they are while
            // the view scrolls.
            Visibility near = vis;
            if (!view.Printout && !vis.All) {
                constexpr int kNear = 150;
                near.Left -= kNear;
                near.Top -= kNear;
                near.Right += kNear;
                near.Bottom += kNear;
            }
            DrawOverlayLabels(s, c, near, map, *overlay, small, placer);
        }
        const QRect box = exportMode ? QRect(QPoint(0, 0), canvasSize) : shown;
        const QRect floor = ElementsExtent(s, s.ActiveEtag);
        const QRect drawing(map(floor.left(), floor.top()), map(floor.right(), floor.bottom()));
        DrawOverlayLegend(c, box, drawing, *overlay, small);
    }
    if (tally) *tally = {placer.Placed(), placer.LeftOut()};
    if (view.Printout) return;
    DrawSelectedAreas(s, c, vis, map);
    DrawBand(s, c, map);
    if (!exportMode && s.Plans[s.ActiveEtag].Scale > 0) {
        const TextFont small(OverlayFont(s.Font), device);
        DrawScaleBar(c, s.Plans[s.ActiveEtag].Scale, map.Zoom,
                     QRect(vis.Left, vis.Top, view.BoxWidth, view.BoxHeight), small);
    }
}

bool Draw(TPipeLine& s, QImage& canvas, const CanvasView& view, bool exportMode, DrawCounters* counters,
          BackgroundCache* cache, const SchemeOverlay* overlay)
{
    if (!s.Opened) return false;
    if (exportMode && view.BoxOnly) return false;
    PrepareCanvas(s, canvas, view);
    const QSize extent = view.BoxOnly ? CanvasExtent(s, view.BoxWidth, view.BoxHeight) : canvas.size();
    {
        Canvas c(canvas);
        PaintFloor(s, c, &canvas, extent, view, exportMode, cache, overlay);
    }
    if (counters != nullptr) {
        counters->Nodes = QStringLiteral("Узлов %1").arg(NodeCount(s));
        counters->Areas = QStringLiteral("Участков %1").arg(AreaCount(s));
        counters->Floors = QStringLiteral("Этажей %1").arg(s.EtagCount);
    }
    return true;
}

}  // namespace stelmar
