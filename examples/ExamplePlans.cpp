#include "examples/ExamplePlans.h"

#include <functional>

#include "model/DrawnLengths.h"
#include "model/FloorAlignment.h"
#include "model/NumberText.h"
#include "model/SchemeBuilder.h"
#include "model/TextCodec.h"

namespace stelmar::examples {
namespace {

// The building is 48 × 18 m: four rooms along the north side of a 3 m
// corridor, the stair cell at the west end of the south side and two more
// rooms (on floor 1 a room and the entrance lobby) beside it. Positions in
// metres from the north-west corner, y pointing south.
constexpr double kLength = 48;
constexpr double kDepth = 18;
constexpr double kCorridorNorth = 7.5;
constexpr double kCorridorSouth = 10.5;
constexpr double kDoor = 1.2;
constexpr double kNorthDoors[] = {6, 18, 30, 42};
constexpr double kStairDoor = 3;
constexpr double kSouthDoors[] = {16.5, 37.5};
constexpr double kWestExitY = 14.2;  // floor 1: the stair cell's door out

// Floor 1's page: 1:200, the building's corner at (80, 120) points.
constexpr double kPointsPerMetre = 72 / 25.4 * 5;
constexpr double kPageLeft = 80;
constexpr double kPageTop = 120;
// Floor 2's drawing: the building's corner at (6, 21) m in a 60 × 26 m frame.
constexpr double kDrawingLeft = 6;
constexpr double kDrawingTop = 21;
constexpr double kFrameWidth = kDxfFrameWidth;
constexpr double kFrameHeight = kDxfFrameHeight;
// The canvas: 10 pixels a metre; the building's corner at (150, 120) on
// floor 1 and at (150, 80) on floor 2 until the floors are lined up.
constexpr double kPixelsPerMetre = 10;
constexpr int kCanvasLeft = 150;
constexpr int kCanvasTop1 = 120;
constexpr int kCanvasTop2 = 80;

// A wall from a to b along one axis with door openings of kDoor centred on
// `doors` (positions along the wall).
void Wall(PlanDrawing& d, bool alongX, double at, double from, double to, std::vector<double> doors)
{
    auto add = [&](double a, double b) {
        if (b <= a) return;
        if (alongX)
            d.Lines.push_back({a, at, b, at, kWallLayer});
        else
            d.Lines.push_back({at, a, at, b, kWallLayer});
    };
    double start = from;
    for (double door : doors) {
        add(start, door - kDoor / 2);
        // The leaf, opened square to the wall.
        if (alongX)
            d.Lines.push_back({door - kDoor / 2, at, door - kDoor / 2, at - kDoor, "Двери"});
        else
            d.Lines.push_back({at, door - kDoor / 2, at + kDoor, door - kDoor / 2, "Двери"});
        start = door + kDoor / 2;
    }
    add(start, to);
}

// Floor 1 or 2 in metres from the north-west corner, y pointing south.
PlanDrawing Building(int floor)
{
    PlanDrawing d;
    const bool ground = floor == 1;
    Wall(d, true, 0, 0, kLength, {});
    Wall(d, true, kDepth, 0, kLength, ground ? std::vector<double>{37.5} : std::vector<double>{});
    Wall(d, false, 0, 0, kDepth, ground ? std::vector<double>{kWestExitY} : std::vector<double>{});
    Wall(d, false, kLength, 0, kDepth, {});
    Wall(d, true, kCorridorNorth, 0, kLength, {std::begin(kNorthDoors), std::end(kNorthDoors)});
    Wall(d, true, kCorridorSouth, 0, kLength, {kStairDoor, kSouthDoors[0], kSouthDoors[1]});
    for (double x : {12.0, 24.0, 36.0}) Wall(d, false, x, 0, kCorridorNorth, {});
    for (double x : {6.0, 27.0}) Wall(d, false, x, kCorridorSouth, kDepth, {});
    // The two flights of the stair, 15 treads each.
    for (int i = 0; i < 15; ++i) {
        const double y = 12.5 + 0.3 * i;
        d.Lines.push_back({0.5, y, 2.9, y, "Лестницы"});
        d.Lines.push_back({3.1, y, 5.5, y, "Лестницы"});
    }
    d.Lines.push_back({3, 12.5, 3, 16.7, "Лестницы"});
    const char* north[] = {"01", "02", "03", "04"};
    for (int i = 0; i < 4; ++i)
        d.Texts.push_back({kNorthDoors[i] - 0.8, 2.5, 0.8, std::to_string(floor) + north[i], "Текст"});
    d.Texts.push_back({15.7, 16.5, 0.8, std::to_string(floor) + "05", "Текст"});
    d.Texts.push_back({ground ? 35.0 : 36.7, 16.5, 0.8, ground ? "Вестибюль" : std::to_string(floor) + "06", "Текст"});
    d.Texts.push_back({0, kDepth + 2, 1, "План " + std::to_string(floor) + " этажа", "Текст"});
    return d;
}

PlanDrawing Mapped(const PlanDrawing& d, const std::function<std::pair<double, double>(double, double)>& to,
                   double unitsPerMetre)
{
    PlanDrawing out;
    for (const PlanLine& l : d.Lines) {
        const auto [x1, y1] = to(l.X1, l.Y1);
        const auto [x2, y2] = to(l.X2, l.Y2);
        out.Lines.push_back({x1, y1, x2, y2, l.Layer});
    }
    for (const PlanText& t : d.Texts) {
        const auto [x, y] = to(t.X, t.Y);
        out.Texts.push_back({x, y, t.Height * unitsPerMetre, t.Text, t.Layer});
    }
    return out;
}

// The DXF text of one group: its code, then its value, each on a line.
void Group(std::string& out, int code, const std::string& value)
{
    out += std::to_string(code) + "\r\n" + value + "\r\n";
}

void Layer(std::string& out, const std::string& name, int colour)
{
    Group(out, 0, "LAYER");
    Group(out, 2, name);
    Group(out, 70, "0");
    Group(out, 62, std::to_string(colour));
    Group(out, 6, "CONTINUOUS");
}

// The canvas pixel of a building position.
int Px(double metres) { return static_cast<int>(metres * kPixelsPerMetre + 0.5); }

}  // namespace

PlanDrawing FloorOnePage()
{
    PlanDrawing page = Mapped(
        Building(1), [](double x, double y) { return std::pair{kPageLeft + x * kPointsPerMetre, kPageTop + y * kPointsPerMetre}; },
        kPointsPerMetre);
    page.Texts.push_back({kPageLeft, kPdfPageHeight - 40, 10, "Административное здание. Масштаб 1:200", "Текст"});
    return page;
}

PlanDrawing FloorTwoDrawing()
{
    PlanDrawing drawing = Mapped(
        Building(2), [](double x, double y) { return std::pair{kDrawingLeft + x, kDrawingTop - y}; }, 1);
    const double w = kFrameWidth;
    const double h = kFrameHeight;
    for (const PlanLine& l : {PlanLine{0, 0, w, 0, "Рамка"}, PlanLine{w, 0, w, h, "Рамка"},
                              PlanLine{w, h, 0, h, "Рамка"}, PlanLine{0, h, 0, 0, "Рамка"}})
        drawing.Lines.push_back(l);
    return drawing;
}

std::string FloorTwoDxf()
{
    const PlanDrawing d = FloorTwoDrawing();
    std::string out;
    Group(out, 0, "SECTION");
    Group(out, 2, "HEADER");
    Group(out, 9, "$ACADVER");
    Group(out, 1, "AC1015");
    Group(out, 9, "$DWGCODEPAGE");
    Group(out, 3, "ANSI_1251");
    Group(out, 9, "$INSUNITS");
    Group(out, 70, "6");  // metres
    Group(out, 9, "$EXTMIN");
    Group(out, 10, "0");
    Group(out, 20, "0");
    Group(out, 9, "$EXTMAX");
    Group(out, 10, FormatShortest(kFrameWidth));
    Group(out, 20, FormatShortest(kFrameHeight));
    Group(out, 0, "ENDSEC");
    Group(out, 0, "SECTION");
    Group(out, 2, "TABLES");
    Group(out, 0, "TABLE");
    Group(out, 2, "LAYER");
    Group(out, 70, "5");
    Layer(out, kWallLayer, 7);
    Layer(out, "Двери", 3);
    Layer(out, "Лестницы", 1);
    Layer(out, "Текст", 5);
    Layer(out, "Рамка", 8);
    Group(out, 0, "ENDTAB");
    Group(out, 0, "ENDSEC");
    Group(out, 0, "SECTION");
    Group(out, 2, "ENTITIES");
    for (const PlanLine& l : d.Lines) {
        Group(out, 0, "LINE");
        Group(out, 8, l.Layer);
        Group(out, 10, FormatShortest(l.X1));
        Group(out, 20, FormatShortest(l.Y1));
        Group(out, 30, "0");
        Group(out, 11, FormatShortest(l.X2));
        Group(out, 21, FormatShortest(l.Y2));
        Group(out, 31, "0");
    }
    for (const PlanText& t : d.Texts) {
        Group(out, 0, "TEXT");
        Group(out, 8, t.Layer);
        Group(out, 10, FormatShortest(t.X));
        Group(out, 20, FormatShortest(t.Y));
        Group(out, 30, "0");
        Group(out, 40, FormatShortest(t.Height));
        Group(out, 1, t.Text);
    }
    Group(out, 0, "ENDSEC");
    Group(out, 0, "EOF");
    // Drawings before AutoCAD 2007 keep their texts in the code page the
    // header names; every text here is Russian or ASCII.
    return Utf8ToCp1251(out).value();
}

PlanPlacement FloorOnePlacement()
{
    const double ppu = kPixelsPerMetre / kPointsPerMetre;
    return {kCanvasLeft - kPageLeft * ppu, kCanvasTop1 - kPageTop * ppu, ppu};
}

PlanPlacement FloorTwoPlacement()
{
    return {kCanvasLeft - kDrawingLeft * kPixelsPerMetre, kCanvasTop2 - (kFrameHeight - kDrawingTop) * kPixelsPerMetre,
            kPixelsPerMetre};
}

ExampleProject PlansExample(const ExamplePlanFiles& files)
{
    TPipeLine s;
    s.EtagCount = 2;
    SchemeBuilder b(s);
    // A node at a building position on the floor being built.
    int top = kCanvasTop2;
    auto at = [&top](double x, double y, std::string name = kDefaultNodeName, int people = 0) {
        return NodeSpec{.X = kCanvasLeft + Px(x), .Y = top + Px(y), .Name = std::move(name), .People = people};
    };
    // A room of the north or south side: its people walk to the door and
    // through it into the corridor, where the returned junction lies.
    auto room = [&](double doorX, bool north, const std::string& name, int people) {
        const double roomY = north ? 3.8 : 14.2;
        const double doorY = north ? kCorridorNorth : kCorridorSouth;
        const int input = b.Input(at(doorX, roomY, name, people));
        const int door = b.Junction(at(doorX, doorY));
        const int corridor = b.Junction(at(doorX, 9));
        b.Area(input, door, 0, 2);
        b.Area(door, corridor, 0, kDoor, kDoorway);
        return corridor;
    };

    // Floor 2: everybody goes west along the corridor into the stair cell.
    b.OnFloor(2);
    const int r204 = room(42, true, "204", 25);
    const int r206 = room(37.5, false, "206", 35);
    const int r203 = room(30, true, "203", 25);
    const int r202 = room(18, true, "202", 25);
    const int r205 = room(16.5, false, "205", 35);
    const int r201 = room(6, true, "201", 25);
    const int stairCorridor = b.Junction(at(kStairDoor, 9));
    const int stairDoor = b.Junction(at(kStairDoor, kCorridorSouth));
    const int stairTop = b.Junction(at(kStairDoor, 12));
    b.Area(r204, r206, 0, 3);
    b.Area(r206, r203, 0, 3);
    b.Area(r203, r202, 0, 3);
    b.Area(r202, r205, 0, 3);
    b.Area(r205, r201, 0, 3);
    b.Area(r201, stairCorridor, 0, 3);
    b.Area(stairCorridor, stairDoor, 0, kDoor, kDoorway);
    b.Area(stairDoor, stairTop, 0, 1.35);

    // Floor 1: the stair leads out through the west door; the rooms leave
    // east along the corridor through the lobby.
    b.OnFloor(1);
    top = kCanvasTop1;
    const int stairFoot = b.Junction(at(kStairDoor, 12));
    b.Area(stairTop, stairFoot, 9, 1.35, kStairsDown);
    b.Area(stairFoot, b.Exit(at(0, kWestExitY, "Выход 1")), 0, 1.35);
    const int r101 = room(6, true, "101", 25);
    const int r105 = room(16.5, false, "105", 40);
    const int r102 = room(18, true, "102", 30);
    const int r103 = room(30, true, "103", 30);
    const int hall = b.Junction(at(37.5, 9));
    const int r104 = room(42, true, "104", 25);
    const int lobbyDoor = b.Junction(at(37.5, kCorridorSouth));
    const int lobby = b.Junction(at(37.5, 14.2));
    b.Area(r101, r105, 0, 3);
    b.Area(r105, r102, 0, 3);
    b.Area(r102, r103, 0, 3);
    b.Area(r103, hall, 0, 3);
    b.Area(r104, hall, 0, 3);
    b.Area(hall, lobbyDoor, 0, 1.8, kDoorway);
    b.Area(lobbyDoor, lobby, 0, 4);
    b.Area(lobby, b.Exit(at(37.5, kDepth, "Выход 2")), 0, 1.8);

    // The plans, to scale: 0.1 m a canvas pixel on both floors.
    const PlanPlacement one = FloorOnePlacement();
    const PlanPlacement two = FloorTwoPlacement();
    TFloorPlan& pdf = s.Plans[1];
    pdf.Scale = 1 / kPixelsPerMetre;
    pdf.Source = std::make_shared<const TPlanSource>(TPlanSource{"pdf", files.Pdf});
    pdf.SourceName = "План 1 этажа.pdf";
    pdf.OriginX = one.OriginX;
    pdf.OriginY = one.OriginY;
    pdf.PixelsPerUnit = one.PixelsPerUnit;
    TFloorPlan& dxf = s.Plans[2];
    dxf.Scale = 1 / kPixelsPerMetre;
    dxf.Source = std::make_shared<const TPlanSource>(TPlanSource{"dxf", FloorTwoDxf()});
    dxf.SourceName = "План 2 этажа.dxf";
    dxf.OriginX = two.OriginX;
    dxf.OriginY = two.OriginY;
    dxf.PixelsPerUnit = two.PixelsPerUnit;

    // Floor 2 lined up with floor 1 at the stair cell's north-west corner.
    const FloorPoint corner1{1, double(kCanvasLeft), double(kCanvasTop1 + Px(kCorridorSouth))};
    const FloorPoint corner2{2, double(kCanvasLeft), double(kCanvasTop2 + Px(kCorridorSouth))};
    AlignFloors(s, corner1, corner2);
    // The pictures show the plans where they lie now.
    if (files.Picture)
        for (const int floor : {1, 2}) s.Backgrounds[floor] = files.Picture(s.Plans[floor]);

    // Every horizontal path takes its length from the drawing.
    for (int i = 1; i <= AreaCount(s); ++i) MarkNewArea(s, i);
    s.Modified = false;
    return {"office-plans.stm", std::move(s)};
}

}  // namespace stelmar::examples
