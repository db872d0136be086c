#pragma once

// A vector plan read from a drawing file, in the drawing's own units with
// the y axis up: strokes (polylines and elliptic arcs) and texts, each on a
// layer and in its colour. Blocks are already placed and curves that have
// no exact form here (splines) are already approximated.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace stelmar {

struct PlanPoint {
    double X = 0;
    double Y = 0;
};

// The smallest box holding the plan; empty while Left > Right.
struct PlanBox {
    double Left = 1;
    double Bottom = 1;
    double Right = 0;
    double Top = 0;

    bool Empty() const { return Left > Right; }
    void Add(PlanPoint p)
    {
        if (Empty()) {
            Left = Right = p.X;
            Bottom = Top = p.Y;
            return;
        }
        Left = p.X < Left ? p.X : Left;
        Right = p.X > Right ? p.X : Right;
        Bottom = p.Y < Bottom ? p.Y : Bottom;
        Top = p.Y > Top ? p.Y : Top;
    }
};

using PlanColor = std::uint32_t;  // 0xRRGGBB

struct PlanLayer {
    std::string Name;  // UTF-8
    PlanColor Color = 0;
    bool Off = false;  // switched off or frozen in the drawing
};

// Points [First, First + Count) of PlanDrawing::Points, joined in order.
struct PlanPolyline {
    int Layer = 0;
    PlanColor Color = 0;
    bool Closed = false;
    std::uint32_t First = 0;
    std::uint32_t Count = 0;
};

// The points Center + cos(t)·Major + sin(t)·Minor for t from Start to
// Start + Sweep (radians, Sweep > 0): a circle, an arc or an elliptic arc,
// also after a block's scaling or mirroring.
struct PlanArc {
    int Layer = 0;
    PlanColor Color = 0;
    PlanPoint Center;
    PlanPoint Major;
    PlanPoint Minor;
    double Start = 0;
    double Sweep = 0;

    PlanPoint At(double t) const;
};

enum class TextAlign : std::uint8_t { Start, Center, End };
enum class TextBase : std::uint8_t { Baseline, Bottom, Middle, Top };

// A text whose lines run along `Along` and stack against `Up` (both the
// length of one text height, so a block's scaling and mirroring are kept),
// anchored at `At` as the alignment says.
struct PlanText {
    int Layer = 0;
    PlanColor Color = 0;
    PlanPoint At;
    PlanPoint Along;
    PlanPoint Up;
    TextAlign Align = TextAlign::Start;
    TextBase Base = TextBase::Baseline;
    std::string Text;  // UTF-8, lines split by '\n'
};

struct PlanDrawing {
    std::vector<PlanLayer> Layers;
    std::vector<PlanPoint> Points;
    std::vector<PlanPolyline> Polylines;
    std::vector<PlanArc> Arcs;
    std::vector<PlanText> Texts;
    PlanBox Extent;
    int Units = 0;  // $INSUNITS: 0 none, 4 mm, 5 cm, 6 m ...
    // Entities of model space that are not drawn, by their DXF name.
    std::map<std::string, int> Skipped;

    bool Empty() const { return Polylines.empty() && Arcs.empty() && Texts.empty(); }
};

// Metres in one drawing unit of $INSUNITS `units`; 0 when the drawing
// states none (0) or a code this program does not know.
double MetresPerUnit(int units);

}  // namespace stelmar
