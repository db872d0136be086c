#pragma once

// The evacuation scheme: floors, nodes joined by areas, display settings,
// calculation options and the results of the last calculation.
//
// Every element list is 1-based: element 0 is a placeholder that is never
// used, and a count is the list length minus one. Numbers are positions, so
// deleting an element renumbers everything behind it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/Bitmap.h"

namespace stelmar {

using TColor = std::uint32_t;  // $00BBGGRR

inline constexpr const char* kDefaultNodeName = "<По умолчанию>";
inline constexpr const char* kNewProjectName = "Новый";
inline constexpr int kMaxFloors = 255;

enum NodeKind : std::uint8_t { kInput = 1, kExit = 2, kJunction = 3 };

enum PathKind : std::uint8_t {
    kHorizontal = 1,
    kStairsDown = 2,
    kStairsUp = 3,
    kDoorway = 4,
    kRampDown = 5,
    kRampUp = 6,
};

// State of one flow at the downstream end of the area that brought it.
struct TNodeFlow {
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
    std::int32_t FlowNo = 0;
    std::int32_t People = 0;
};

struct TNode {
    int X = 0;
    int Y = 0;
    std::uint8_t Kind = 0;
    std::uint8_t Etag = 0;
    std::int32_t People = 0;
    std::uint8_t Mobility = 0;
    double F = 0;
    std::string Name;  // UTF-8; kDefaultNodeName labels the node by its number
    int CopyIndex = 0;
    bool Hot = false;
    int FlowCount = 0;
    bool Selected = false;
    std::vector<TNodeFlow> Flows = std::vector<TNodeFlow>(1);       // FlowCount + 1
    std::vector<std::uint8_t> FlowGroups = std::vector<std::uint8_t>(1);  // FlowCount + 1
    int SavedX = 0;
    int SavedY = 0;
};

struct TArea {
    std::int32_t Node1 = 0;
    std::int32_t Node2 = 0;
    std::uint8_t Etag = 0;
    double Length = 0;
    double Width = 0;
    std::uint8_t Kind = 0;
    bool Hot = false;
    bool Selected = false;
};

// One calculation step: one flow over one area.
struct TReport {
    std::string FromNode;
    std::string ToNode;
    bool StartsFlow = false;
    bool FirstArea = false;
    std::uint8_t PathKind = 0;
    std::uint8_t GroupCode = 0;
    std::vector<std::int32_t> MergedFlows = std::vector<std::int32_t>(1);  // ArrivingCount + 1
    std::vector<double> MergedIntensity = std::vector<double>(1);
    std::vector<double> MergedWidth = std::vector<double>(1);
    std::int32_t FlowNo = 0;
    std::int32_t ArrivingCount = 0;
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
};

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
    std::uint8_t ActiveEtag = 1;
    std::uint8_t EtagCount = 1;
    std::string FileName = kNewProjectName;
    std::vector<TNode> Nodes = std::vector<TNode>(1);
    std::vector<TArea> Areas = std::vector<TArea>(1);
    std::vector<TNode> ClipNodes;
    std::vector<TArea> ClipAreas;
    int ClipX = 0;
    int ClipY = 0;
    std::vector<TReport> Reports;

    // Editor pointer and drag state.
    std::uint8_t Tool = 0;
    bool Snap = true;
    int AreaFrom = 0;
    int AnchorX = 0;
    int AnchorY = 0;
    int Dragging = 0;
    int MouseX = 0;
    int MouseY = 0;
    std::uint8_t CursorIndex = 0;
    bool ShowNumbers = true;
    bool Opened = true;
    bool Banding = false;

    // Display settings.
    std::uint8_t AreaWidth = 5;
    std::uint8_t NodeWidth = 7;
    std::uint8_t LNum = 1;
    std::uint8_t DlStr = 13;
    double AngleStr = 0.24;
    TColor Color = 0x008000;
    TColor DColor = 0x008000;
    TColor LupColor = 0x008000;
    TColor LdownDColor = 0x008000;
    TColor NodeColor = 0x008000;
    TFontSpec Font;
    bool StrV = false;

    // Calculation options.
    std::uint8_t Precision = 3;
    bool RazVr = false;
    bool VrSk = false;
    bool FullReport = true;

    bool QuestionMark = true;
    int WSpaceV = 2000;
    int WSpaceG = 2000;
    bool ShowNumPeople = false;
    bool Modified = true;

    // Background picture of floor n in slot n (slot 0 unused).
    std::array<BitmapRef, kMaxFloors + 1> Backgrounds;

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
std::string MobilityText(const TNode& n);
void ResetNodeNames(TPipeLine& s);
double RoundTo3(double x);

void SetFlowCount(TNode& n, int count);
void SetReportSize(TReport& r, int count);

// Empties the project part of the scheme as for a new project: no nodes,
// areas, reports or pictures, one floor, file name "Новый", modified.
// Display settings and calculation options are kept.
void ResetToNewProject(TPipeLine& s);

}  // namespace stelmar
