#pragma once

// The example drawn over plans: a two-floor office building whose floor 1
// lies over a PDF plan and floor 2 over a DXF plan. The plans are drawn
// here as lists of lines and texts; the DXF is written from its list as
// text, the PDF is painted from its list with Qt and the pictures earlier
// readers show are rendered from the plans as the program renders them
// (ExamplePlanFiles.h), and the scheme is built over them
// with the floors' scales set, the floors lined up at a stair corner and
// the lengths taken from the drawing.

#include <functional>
#include <string>
#include <vector>

#include "examples/ExampleProjects.h"

namespace stelmar::examples {

// A line and a text of a plan, in the plan's units. A text's point is the
// left end of its baseline; its height is that of its capitals.
struct PlanLine {
    double X1, Y1, X2, Y2;
    std::string Layer;
};
struct PlanText {
    double X, Y, Height;
    std::string Text;  // UTF-8
    std::string Layer;
};
struct PlanDrawing {
    std::vector<PlanLine> Lines;
    std::vector<PlanText> Texts;
};

// Layers drawn with a heavy line.
inline constexpr const char* kWallLayer = "Стены";

// Floor 1's plan: one A4 landscape page in PDF points (1/72 inch), y
// pointing down, the building at 1:200.
inline constexpr double kPdfPageWidth = 297 * 72 / 25.4;
inline constexpr double kPdfPageHeight = 210 * 72 / 25.4;
PlanDrawing FloorOnePage();

// Floor 2's plan: a DXF drawing in metres, y pointing up, with a frame
// from (0, 0) to (kDxfFrameWidth, kDxfFrameHeight); the DXF text (AutoCAD
// 2000, Windows-1251).
inline constexpr double kDxfFrameWidth = 60;
inline constexpr double kDxfFrameHeight = 26;
PlanDrawing FloorTwoDrawing();
std::string FloorTwoDxf();

// Where each plan lies on its floor's canvas before the floors are lined
// up: the canvas pixel of the plan's top-left corner (the page's, the
// frame's) and the canvas pixels per unit of the plan.
struct PlanPlacement {
    double OriginX, OriginY, PixelsPerUnit;
};
PlanPlacement FloorOnePlacement();
PlanPlacement FloorTwoPlacement();

// The plan files: the PDF of floor 1, and the floor's picture for readers
// that do not know plans, rendered from a floor's plan record (empty: the
// floors get no pictures).
struct ExamplePlanFiles {
    std::string Pdf;
    std::function<BitmapRef(const TFloorPlan&)> Picture;
};

// The example project over those files.
ExampleProject PlansExample(const ExamplePlanFiles& files);

}  // namespace stelmar::examples
