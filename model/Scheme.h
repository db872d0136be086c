#pragma once

// The evacuation scheme: floors, nodes joined by areas, display settings,
// calculation options and the results of the last calculation.
//
// Every element list is 1-based: element 0 is a placeholder that is never
// used, and a count is the list length minus one. Numbers are positions, so
// deleting an element renumbers everything behind it.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Bitmap.h"
#include "model/Scenario.h"

namespace stelmar {

using TColor = std::uint32_t;  // $00BBGGRR

inline constexpr const char* kDefaultNodeName = "<По умолчанию>";
inline constexpr const char* kNewProjectName = "Новый";
inline constexpr int kMaxFloors = 255;

enum NodeKind : std::uint8_t { kInput = 1, kExit = 2, kJunction = 3 };

// The canvas tools (`Tool`): the pointer, a node tool for each node kind
// (its number is the kind), the area tool and the delete tool.
inline constexpr std::uint8_t kPointerTool = 0;
inline constexpr std::uint8_t kAreaTool = 4;
inline constexpr std::uint8_t kDeleteTool = 5;

enum PathKind : std::uint8_t {
    kHorizontal = 1,
    kStairsDown = 2,
    kStairsUp = 3,
    kDoorway = 4,
    kRampDown = 5,
    kRampUp = 6,
};

struct TNode {
    int X = 0;  // centre in canvas pixels, y growing downwards
    int Y = 0;
    std::uint8_t Kind = 0;  // NodeKind
    std::uint8_t Etag = 0;  // floor, 1-based
    std::int32_t People = 0;  // people starting here (inputs)
    std::uint8_t Mobility = 0;  // mobility group 0..9, 0 = no restriction
    double F = 0;  // mean horizontal projection area of one person f, m²
    std::string Name{};  // UTF-8; kDefaultNodeName labels the node by its number
    int CopyIndex = 0;  // in clipboard copies: the node's number when copied
    bool Hot = false;   // highlighted: under the pointer or just created
    // Flow states the last calculation left here: the steps in Reports
    // that end at this node.
    int FlowCount = 0;
    bool Selected = false;
    int SavedX = 0;  // position at the start of the current move or rotation
    int SavedY = 0;
};

// A path section between two nodes.
struct TArea {
    std::int32_t Node1 = 0;  // end node numbers; the flow runs from Node1 to Node2
    std::int32_t Node2 = 0;
    std::uint8_t Etag = 0;  // floor the area was drawn on
    double Length = 0;      // l, m
    double Width = 0;       // δ, m
    std::uint8_t Kind = 0;  // PathKind
    bool Hot = false;       // highlighted
    bool Selected = false;
    bool Drawn = false;     // "по чертежу": the length follows the drawn length and the floor's scale
};

// One flow arriving at an area together with others: it merges there, or
// with mobility groups shares the stream of another group's flow.
struct TMergedFlow {
    std::int32_t FlowNo = 0;  // 0 for a flow of another mobility group that only shares the stream
    double Intensity = 0;     // q on its previous area
    double Width = 0;         // δ of its previous area

    bool operator==(const TMergedFlow&) const = default;
};

// One calculation step: one flow over one area. The labels of its ends are
// those of the nodes Upstream and Downstream (NodeLabel).
struct TReport {
    std::int32_t Area = 0;        // the area's number
    std::int32_t Upstream = 0;    // the number of the node the flow enters the area by
    std::int32_t Downstream = 0;  // the number of the node the flow leaves the area by
    bool StartsFlow = false;
    bool FirstArea = false;
    std::uint8_t PathKind = 0;
    std::uint8_t GroupCode = 0;
    // The arriving flows that move on together over the area, in the order
    // of the flow states at the upstream node; none for a first area. Of
    // the ArrivingCount states there, the others go on as flows of their own.
    std::vector<TMergedFlow> Merged{};
    std::int32_t FlowNo = 0;
    std::int32_t ArrivingCount = 0;  // flow states at the upstream node
    std::int32_t People = 0;
    double RawIntensity = 0;
    double Density = 0;
    double Width = 0;
    double AreaTime = 0;
    double DelayTime = 0;
    double AccumTime = 0;
    double Speed = 0;
    double Intensity = 0;
    double Length = 0;
    double TotalTime = 0;
    double ProjArea = 0;
    // N and f of the whole stream that passes the area together, from which
    // the delay and the accumulation time were computed: with mobility
    // groups the flows of every group that merge here, else the flow itself.
    std::int32_t StreamPeople = 0;
    double StreamProjArea = 0;
};

// One entry of the extension block of a project file (ProjectExtension.h):
// an ASCII key and a UTF-8 value.
struct TExtensionEntry {
    std::string Key;
    std::string Value;

    bool operator==(const TExtensionEntry&) const = default;
};

// A floor's plan file (PDF or DXF) as it was imported, kept byte for byte:
// it is copied beside the project when the project is saved. It never
// changes once made, so the scheme and the edit history share it.
struct TPlanSource {
    std::string Kind;   // the file's extension in lower case: "pdf" or "dxf"
    std::string Bytes;
};

using PlanSourceRef = std::shared_ptr<const TPlanSource>;

// What a floor knows of its plan besides the background picture.
struct TFloorPlan {
    double Scale = 0;  // metres per canvas pixel at 100 % zoom; 0 = the floor has no scale
    // How far the floor (its plan and its elements) was moved to line up
    // with the other floors, in canvas pixels; never negative.
    int OffsetX = 0;
    int OffsetY = 0;
    // The vector plan, when the floor has one: the file, the page of a PDF
    // (from 1), where the plan's top-left corner lies on the canvas before
    // the offset, and the canvas pixels one unit of the plan takes (a PDF
    // point, a DXF drawing unit).
    PlanSourceRef Source;
    std::string SourceName;  // the file's name when it was imported (UTF-8)
    int Page = 1;
    double OriginX = 0;
    double OriginY = 0;
    double PixelsPerUnit = 1;
    std::vector<std::string> HiddenLayers;  // DXF layers not shown (UTF-8), sorted

    bool operator==(const TFloorPlan&) const = default;
};

// The path kinds whose new areas take their length from the drawing, one
// bit per kind (bit k for kind k): by default horizontal paths and ramps.
inline constexpr std::uint8_t kDefaultDrawnKinds = 1 << kHorizontal | 1 << kRampDown | 1 << kRampUp;

// Font of node labels; the desktop program turns it into a platform font.
struct TFontSpec {
    std::string Name = "arial";
    int Height = 12;
    TColor Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
};

struct TPipeLine {
    std::uint8_t ActiveEtag = 1;  // floor being edited and drawn, 1..EtagCount
    std::uint8_t EtagCount = 1;   // number of floors, 1..255
    std::string FileName = kNewProjectName;  // full path of the project file
    std::vector<TNode> Nodes = std::vector<TNode>(1);
    std::vector<TArea> Areas = std::vector<TArea>(1);
    std::vector<TNode> ClipNodes;
    std::vector<TArea> ClipAreas;
    int ClipX = 0;  // pointer position when the clipboard was filled
    int ClipY = 0;
    std::vector<TReport> Reports;

    // Editor pointer and drag state.
    std::uint8_t Tool = 0;  // kPointerTool, a node kind, kAreaTool or kDeleteTool
    bool Snap = true;       // new and moved nodes snap to the 5-pixel grid
    int AreaFrom = 0;       // node an area is being drawn from, 0 = none
    int AnchorX = 0;        // pointer at the last press: origin of moves, rotations, the band
    int AnchorY = 0;
    int Dragging = 0;  // 0 = no drag; else the node taken, or 1 when an area was taken
    int MouseX = 0;    // pointer in canvas pixels
    int MouseY = 0;
    std::uint8_t CursorIndex = 0;  // pointer shape over the canvas
    bool ShowNumbers = true;       // draw node labels
    bool Opened = true;            // a project is open; nothing is drawn otherwise
    bool Banding = false;          // a rubber-band selection is in progress
    double Zoom = 1;               // screen pixels per canvas pixel of the view picked in

    // Display settings.
    std::uint8_t AreaWidth = 5;  // line width of areas, px; also the pick tolerance of AreaAt
    std::uint8_t NodeWidth = 7;  // node symbol size, px; also the pick size of NodeAt
    std::uint8_t LNum = 1;       // offset of node labels from the node centre, px
    std::uint8_t DlStr = 13;     // arrowhead length, px
    double AngleStr = 0.24;      // arrowhead half-angle, radians
    TColor Color = 0x008000;        // horizontal paths and ramps
    TColor DColor = 0x008000;       // doorways
    TColor LupColor = 0x008000;     // stairs up
    TColor LdownDColor = 0x008000;  // stairs down
    TColor NodeColor = 0x008000;    // junction outlines and the node pen
    TFontSpec Font;                 // node labels and counts
    bool StrV = false;              // draw arrowheads on areas

    // Calculation options.
    std::uint8_t Precision = 3;  // decimals of rounding, 1..9
    bool RazVr = false;  // consider different arrival times at merge points
    bool VrSk = false;   // compute the accumulation time
    bool FullReport = true;  // full (true) or summary report

    std::uint8_t DrawnKinds = kDefaultDrawnKinds;  // kinds whose new areas get lengths from the drawing

    bool QuestionMark = true;   // mark areas of zero width with "?"
    int WSpaceV = 2000;         // canvas height, px
    int WSpaceG = 2000;         // canvas width, px
    bool ShowNumPeople = false;  // write the people count beside each input
    bool Modified = false;       // unsaved changes

    // Background picture of floor n in slot n (slot 0 unused).
    std::array<BitmapRef, kMaxFloors + 1> Backgrounds;

    // Plan data of floor n in slot n (slot 0 unused).
    std::array<TFloorPlan, kMaxFloors + 1> Plans{};

    // Fire scenarios over the drawn scheme; none: the project is the one
    // scenario "Основной", which excludes nothing. The active one is shown
    // on the drawing and in the panels.
    std::vector<TScenario> Scenarios;
    int ActiveScenario = 0;  // index into Scenarios

    // Entries of the project file's extension block that this version does
    // not know, written back unchanged on save.
    std::vector<TExtensionEntry> KeptExtension;

    // Results of the last calculation: the time of every flow state at every
    // exit (element 0 is 0), the rounded total time t_p and the highest flow
    // number used.
    std::vector<double> ExitTimes;
    double EvacuationTime = 0;
    std::int32_t FlowCounter = 0;
};

int NodeCount(const TPipeLine& s);
int AreaCount(const TPipeLine& s);
int ReportCount(const TPipeLine& s);
std::string NodeLabel(const TPipeLine& s, int i);
std::string AreaLabel(const TPipeLine& s, const TArea& a);
// The floors of an area's ends in the same order: "2" or "2-1".
std::string AreaFloorsLabel(const TPipeLine& s, const TArea& a);
std::string MobilityText(const TNode& n);
void ResetNodeNames(TPipeLine& s);
double RoundTo3(double x);

// Empties the project part of the scheme as for a new project: no nodes,
// areas, reports, pictures or floor plans, one floor, file name "Новый",
// not modified (nothing is lost by leaving it). Display settings and
// calculation options are kept.
void ResetToNewProject(TPipeLine& s);

}  // namespace stelmar
