// Reading DXF drawings: entities, blocks, colours, texts, units and the
// files that cannot be shown.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "plans/DxfReader.h"
#include "plans/DxfTexts.h"
#include "tests/plans/DxfFiles.h"

namespace stelmar {
namespace {

using test::DxfText;

PlanDrawing Read(const std::string& text)
{
    auto result = ReadDxf(text, "план.dxf");
    if (const std::string* error = std::get_if<std::string>(&result)) ADD_FAILURE() << *error;
    return std::holds_alternative<PlanDrawing>(result) ? std::get<PlanDrawing>(std::move(result)) : PlanDrawing{};
}

std::string Error(const std::string& text)
{
    auto result = ReadDxf(text, "план.dxf");
    return std::holds_alternative<std::string>(result) ? std::get<std::string>(result) : "";
}

std::vector<PlanPoint> PointsOf(const PlanDrawing& d, const PlanPolyline& p)
{
    return {d.Points.begin() + p.First, d.Points.begin() + p.First + p.Count};
}

void ExpectNear(PlanPoint p, double x, double y)
{
    EXPECT_NEAR(p.X, x, 1e-6);
    EXPECT_NEAR(p.Y, y, 1e-6);
}

TEST(DxfReader, EveryKindOfEntityBecomesStrokesAndTexts)
{
    DxfText f;
    f.Header("AC1021", 6).Section("ENTITIES").Line(0, 0, 10, 0);
    // A closed square with one side bulged outwards by a half circle.
    f(0, "LWPOLYLINE")(8, "0")(90, 4)(70, 1)(10, 0.0)(20, 0.0)(10, 4.0)(20, 0.0)(42, 1.0)(10, 4.0)(20, 4.0)(10, 0.0)(20, 4.0);
    f(0, "ARC")(8, "0")(10, 1.0)(20, 1.0)(40, 2.0)(50, 90.0)(51, 180.0);
    f(0, "CIRCLE")(8, "0")(10, 5.0)(20, 5.0)(40, 1.0);
    f(0, "ELLIPSE")(8, "0")(10, 0.0)(20, 0.0)(30, 0.0)(11, 0.0)(21, 3.0)(31, 0.0)(40, 0.5)(41, 0.0)(42, 2 * std::numbers::pi);
    f(0, "SPLINE")(8, "0")(70, 8)(71, 3)(72, 8)(73, 4)(40, 0.0)(40, 0.0)(40, 0.0)(40, 0.0)(40, 1.0)(40, 1.0)(40, 1.0)(40, 1.0);
    f(10, 0.0)(20, 0.0)(10, 1.0)(20, 2.0)(10, 2.0)(20, 2.0)(10, 3.0)(20, 0.0);
    f(0, "TEXT")(8, "0")(10, 1.0)(20, 2.0)(40, 0.5)(50, 90.0)(1, "Лестница");
    f(0, "MTEXT")(8, "0")(10, 3.0)(20, 4.0)(40, 0.25)(71, 5)(1, "{\\fArial|b1;Кабинет}\\P№ 12");
    f(0, "HATCH")(8, "0")(10, 0.0)(20, 0.0)(30, 0.0)(2, "SOLID")(70, 1)(71, 0)(91, 1)(92, 0)(93, 1)(72, 2)(10, 0.0)(20, 0.0)(40, 5.0)(50, 0.0)(51, 90.0)(73, 0)(97, 0)(75, 0)(76, 1)(98, 0);
    const PlanDrawing d = Read(f.End().Done());

    ASSERT_EQ(d.Polylines.size(), 3u);
    const std::vector<PlanPoint> square = PointsOf(d, d.Polylines[1]);
    EXPECT_TRUE(d.Polylines[1].Closed);
    // The bulged side passes through (6, 2), two units right of its chord.
    double farthest = 0;
    for (PlanPoint p : square) farthest = std::max(farthest, p.X);
    EXPECT_NEAR(farthest, 6, 1e-3);
    const std::vector<PlanPoint> spline = PointsOf(d, d.Polylines[2]);
    ExpectNear(spline.front(), 0, 0);  // clamped: through its end control points
    ExpectNear(spline.back(), 3, 0);
    ExpectNear(spline[spline.size() / 2], 1.5, 1.5);

    ASSERT_EQ(d.Arcs.size(), 4u);
    ExpectNear(d.Arcs[0].At(d.Arcs[0].Start), 1, 3);
    ExpectNear(d.Arcs[0].At(d.Arcs[0].Start + d.Arcs[0].Sweep), -1, 1);
    EXPECT_NEAR(d.Arcs[1].Sweep, 2 * std::numbers::pi, 1e-9);
    ExpectNear(d.Arcs[2].Minor, -1.5, 0);  // half the major axis, turned left
    // The clockwise hatch edge from 0° to 90° holds the points at 0° and -90°.
    const PlanArc& edge = d.Arcs[3];
    ExpectNear(edge.At(edge.Start), 5, 0);
    ExpectNear(edge.At(edge.Start + edge.Sweep), 0, -5);

    ASSERT_EQ(d.Texts.size(), 2u);
    EXPECT_EQ(d.Texts[0].Text, "Лестница");
    ExpectNear(d.Texts[0].Up, -0.5, 0);  // turned 90°, one height tall
    EXPECT_EQ(d.Texts[1].Text, "Кабинет\n№ 12");
    EXPECT_EQ(d.Texts[1].Align, TextAlign::Center);
    EXPECT_EQ(d.Texts[1].Base, TextBase::Middle);
    EXPECT_EQ(d.Units, 6);
    EXPECT_TRUE(d.Skipped.empty());
}

// Blocks inside blocks, a block defined after its use, layer "0" and
// BYBLOCK taking the INSERT's layer and colour, arrays, a block that
// inserts itself.
TEST(DxfReader, BlocksArePlacedNestedWithTheirInsertsLayerAndColour)
{
    DxfText f;
    f.Header("AC1021", 4).Section("TABLES")(0, "TABLE")(2, "LAYER").Layer("0", 7).Layer("Стены", 1).Layer("Двери", 3);
    f(0, "ENDTAB").End();
    f.Section("BLOCKS").Block("Окно", 1, 0).Line(1, 0, 2, 0, "0", 0).Line(1, 1, 2, 1, "Двери", 256).Insert("Окно", 0, 0);
    f.EndBlock();
    f.Block("Секция").Insert("Окно", 10, 0, 2, 90, "0", 0).EndBlock().End();
    f.Section("ENTITIES").Insert("Секция", 100, 100, 1, 0, "Стены", 5);
    f(0, "INSERT")(8, "Стены")(2, "Окно")(10, 0.0)(20, 0.0)(70, 3)(71, 2)(44, 10.0)(45, 20.0);
    const PlanDrawing d = Read(f.End().Done());

    // One window in the section, six in the array; each two lines.
    ASSERT_EQ(d.Polylines.size(), 14u);
    // The section's window: base point (1, 0) at (10, 0) of the section,
    // doubled and turned 90°, the section at (100, 100).
    const std::vector<PlanPoint> sill = PointsOf(d, d.Polylines[0]);
    ExpectNear(sill[0], 110, 100);
    ExpectNear(sill[1], 110, 102);
    EXPECT_EQ(d.Layers[d.Polylines[0].Layer].Name, "Стены");
    EXPECT_EQ(d.Polylines[0].Color, 0x0000FFu);  // BYBLOCK: the section's blue
    EXPECT_EQ(d.Layers[d.Polylines[1].Layer].Name, "Двери");
    EXPECT_EQ(d.Polylines[1].Color, 0x00FF00u);  // BYLAYER: the doors' green
    // The array's last cell: third column, second row.
    const std::vector<PlanPoint> last = PointsOf(d, d.Polylines[12]);
    ExpectNear(last[0], 20, 20);
    EXPECT_EQ(d.Polylines[12].Color, 0xFF0000u);  // BYBLOCK: the array's colour, BYLAYER: the walls' red
    EXPECT_EQ(d.Units, 4);
}

TEST(DxfReader, ColoursComeFromLayersUnlessTheEntityHasItsOwnAndWhiteIsBlack)
{
    DxfText f;
    f.Header("AC1021", 4).Section("TABLES")(0, "TABLE")(2, "LAYER").Layer("Оси", 1).Layer("Мебель", -5);
    f.Layer("Белый", 7).Layer("Цветной", 7, 0x123456)(0, "ENDTAB").End();
    f.Section("ENTITIES").Line(0, 0, 1, 1, "Оси").Line(0, 0, 1, 1, "Оси", 3).Line(0, 0, 1, 1, "Белый");
    f.Line(0, 0, 1, 1, "Оси", 7).Line(0, 0, 1, 1, "Цветной").Line(0, 0, 1, 1, "Мебель");
    f(0, "LINE")(8, "Оси")(62, 3)(420, 0xABCDEF)(10, 0.0)(20, 0.0)(11, 1.0)(21, 0.0);
    const PlanDrawing d = Read(f.End().Done());

    ASSERT_EQ(d.Polylines.size(), 7u);
    const PlanColor expected[] = {0xFF0000, 0x00FF00, 0, 0, 0x123456, 0x0000FF, 0xABCDEF};
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(d.Polylines[i].Color, expected[i]) << i;
    for (const PlanLayer& layer : d.Layers) EXPECT_EQ(layer.Off, layer.Name == "Мебель") << layer.Name;
}

TEST(DxfReader, TextsAreDecodedByTheCodePageOrAsUtf8WithEscapes)
{
    const std::string cp1251 = "\xCA\xE0\xE1\xE8\xED\xE5\xF2";  // "Кабинет"
    DxfText old;
    old.Header("AC1015", 4).Section("ENTITIES")(0, "TEXT")(8, "Слой")(10, 0.0)(20, 0.0)(40, 1.0)(1, cp1251 + " %%c50");
    old(0, "MTEXT")(8, "0")(10, 0.0)(20, 0.0)(40, 1.0)(1, "\\U+0416\\P{\\H2x;1}\\~2\\\\3");
    std::string oldText = old.End().Done();
    // The layer's name in the old file is written in its code page too.
    oldText.replace(oldText.find("Слой"), std::string("Слой").size(), "\xD1\xEB\xEE\xE9");
    const PlanDrawing d1 = Read(oldText);
    ASSERT_EQ(d1.Texts.size(), 2u);
    EXPECT_EQ(d1.Texts[0].Text, "Кабинет Ø50");
    EXPECT_EQ(d1.Layers[d1.Texts[0].Layer].Name, "Слой");
    EXPECT_EQ(d1.Texts[1].Text, "Ж\n1 2\\3");

    DxfText utf8;
    utf8.Header("AC1021", 4, "ANSI_1252").Section("ENTITIES")(0, "TEXT")(8, "0")(10, 0.0)(20, 0.0)(40, 1.0)(1, "Кабинет \\U+2116 5");
    const PlanDrawing d2 = Read(utf8.End().Done());
    ASSERT_EQ(d2.Texts.size(), 1u);
    EXPECT_EQ(d2.Texts[0].Text, "Кабинет № 5");
}

TEST(DxfReader, FilesThatCannotBeShownGetAMessageSayingWhy)
{
    EXPECT_EQ(Error("AC1032\0\0\0\0\0"), kDwgRefused);
    EXPECT_NE(Error(std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "binary").find("двоичный DXF"), std::string::npos);
    EXPECT_NE(Error("это не чертеж").find("не является чертежом DXF"), std::string::npos);
    DxfText paper;
    paper.Header("AC1021", 4).Section("ENTITIES")(0, "LINE")(8, "0")(67, 1)(10, 0.0)(20, 0.0)(11, 1.0)(21, 1.0);
    const std::string empty = Error(paper.End().Done());
    EXPECT_NE(empty.find("нет объектов в пространстве модели"), std::string::npos) << empty;
    EXPECT_NE(empty.find("\"план.dxf\""), std::string::npos);
}

// Kinds not drawn are counted in model space and in the blocks it places,
// each placement again; paper space is not counted.
TEST(DxfReader, EntitiesNotDrawnAreCountedByKindInOneMessage)
{
    DxfText f;
    f.Header("AC1021", 4).Section("BLOCKS").Block("Знак")(0, "POINT")(8, "0")(10, 0.0)(20, 0.0).Line(0, 0, 1, 1);
    f.EndBlock().End();
    f.Section("ENTITIES").Line(0, 0, 1, 1)(0, "DIMENSION")(8, "0")(0, "DIMENSION")(8, "0")(0, "DIMENSION")(8, "0")(67, 1);
    f(0, "SOLID")(8, "0").Insert("Знак", 0, 0).Insert("Знак", 5, 5);
    f(0, "POLYLINE")(8, "0")(66, 1)(70, 64)(0, "VERTEX")(8, "0")(10, 0.0)(20, 0.0)(0, "SEQEND");
    const PlanDrawing d = Read(f.End().Done());

    EXPECT_EQ(d.Skipped, (std::map<std::string, int>{{"DIMENSION", 2}, {"POINT", 2}, {"POLYLINE", 1}, {"SOLID", 1}}));
    EXPECT_EQ(SkippedMessage(d, "план.dxf"),
              "Часть объектов чертежа \"план.dxf\" не показана, программа их не рисует: DIMENSION — 2, POINT — 2, "
              "POLYLINE — 1, SOLID — 1.");
    EXPECT_EQ(d.Polylines.size(), 3u);
}

TEST(DxfReader, UnitsGiveMetres)
{
    EXPECT_EQ(MetresPerUnit(4), 0.001);
    EXPECT_EQ(MetresPerUnit(6), 1);
    EXPECT_EQ(MetresPerUnit(1), 0.0254);
    EXPECT_EQ(MetresPerUnit(0), 0);
}

}  // namespace
}  // namespace stelmar
