// What a floor knows of its plan and the lengths taken from the drawing:
// kept in the extension block of the project file (earlier readers see the
// same scheme), the plan files saved and read beside the project, damaged
// entries reported without losing the scheme, and the data kept right by
// undo, floor deletion, paste and node moves.

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/DrawnLengths.h"
#include "model/EditHistory.h"
#include "model/FloorAlignment.h"
#include "model/ProjectExtension.h"
#include "model/ProjectFile.h"
#include "model/SchemeEditing.h"
#include "model/TextCodec.h"

namespace stelmar {
namespace {

// Two floors: on floor 1 an input, a junction and an exit 200 and 100
// points apart; on floor 2 one node, joined to the exit by a stair.
TPipeLine TwoFloors()
{
    TPipeLine s;
    s.EtagCount = 2;
    auto node = [&s](int x, int y, std::uint8_t kind, std::uint8_t floor) {
        s.Nodes.push_back(TNode{.X = x, .Y = y, .Kind = kind, .Etag = floor, .F = 0.1, .Name = kDefaultNodeName});
    };
    node(100, 100, kInput, 1);
    node(300, 100, kJunction, 1);
    node(300, 200, kExit, 1);
    node(300, 200, kJunction, 2);
    s.Areas.push_back(TArea{1, 2, 1, 0, 1.2, kHorizontal});
    s.Areas.push_back(TArea{2, 3, 1, 0, 1.2, kDoorway});
    s.Areas.push_back(TArea{4, 3, 2, 3, 1.2, kStairsDown});
    return s;
}

TPipeLine WithPlans()
{
    TPipeLine s = TwoFloors();
    s.Plans[1].Scale = 0.05;
    s.Plans[1].OffsetX = 40;
    s.Plans[1].Source = std::make_shared<const TPlanSource>(TPlanSource{"pdf", "%PDF-1.4 plan"});
    s.Plans[1].SourceName = "План №1 ≤ этаж.pdf";
    s.Plans[1].Page = 3;
    s.Plans[1].OriginX = 20;
    s.Plans[1].OriginY = 20.5;
    s.Plans[1].PixelsPerUnit = 2.5;
    s.Plans[2].Scale = 0.025;
    s.Plans[2].Source = std::make_shared<const TPlanSource>(TPlanSource{"dxf", "0\nSECTION\n"});
    s.Plans[2].HiddenLayers = {"Мебель", "Размеры"};
    s.DrawnKinds = 1 << kHorizontal | 1 << kDoorway;
    s.Areas[1].Drawn = true;
    UpdateDrawnLengths(s);
    return s;
}

TEST(PlanData, TheBlockKeepsEveryPlanValueAndEarlierReadersSeeTheSameScheme)
{
    const TPipeLine s = WithPlans();
    EXPECT_EQ(s.Areas[1].Length, 10.0);  // 200 points of 0.05 m

    const std::string text = ProjectText(s, ',', nullptr).value();
    TPipeLine plain = s;
    plain.Plans.fill(TFloorPlan{});
    plain.DrawnKinds = kDefaultDrawnKinds;
    for (TArea& a : plain.Areas) a.Drawn = false;
    const std::string fixedPart = ProjectText(plain, ',', nullptr).value();
    ASSERT_EQ(text.substr(0, fixedPart.size()), fixedPart);
    EXPECT_NE(text.find(Utf8ToCp1251("floor.1.plan.name=План №1 \\u2264 этаж.pdf\r\n").value()), std::string::npos);

    const ProjectReadResult read = ParseProject(text, "/p/plan.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    EXPECT_TRUE(read.Warnings.empty());
    const TPipeLine& back = *read.Scheme;
    for (int n : {1, 2}) {
        TFloorPlan expected = s.Plans[n];
        TFloorPlan got = back.Plans[n];
        ASSERT_TRUE(got.Source);
        EXPECT_EQ(got.Source->Kind, expected.Source->Kind);
        // The reader of the file alone does not read the plan files.
        EXPECT_TRUE(got.Source->Bytes.empty());
        expected.Source = got.Source = nullptr;
        EXPECT_EQ(got, expected) << "floor " << n;
    }
    EXPECT_EQ(back.DrawnKinds, s.DrawnKinds);
    EXPECT_TRUE(back.Areas[1].Drawn);
    EXPECT_FALSE(back.Areas[2].Drawn);

    // A file without the block reads as before: no plans, default kinds.
    const ProjectReadResult old = ParseProject(fixedPart, "/p/plan.stm");
    EXPECT_EQ(old.Scheme->Plans[1], TFloorPlan{});
    EXPECT_EQ(old.Scheme->DrawnKinds, kDefaultDrawnKinds);
    EXPECT_EQ(ProjectText(*old.Scheme, ',', nullptr), fixedPart);
}

TEST(PlanData, PlanFilesAreSavedBesideTheProjectAndReadBack)
{
    test::TempDir dir;
    const std::string project = dir.Path() + "/school.stm";
    const TPipeLine s = WithPlans();
    ASSERT_FALSE(SaveProjectFile(s, project, '.'));
    EXPECT_EQ(test::ReadAll(dir.Path() + "/school.pl1.pdf"), "%PDF-1.4 plan");
    EXPECT_EQ(test::ReadAll(dir.Path() + "/school.pl2.dxf"), "0\nSECTION\n");

    ProjectReadResult read = ReadProjectFile(project);
    ASSERT_TRUE(read.Scheme) << read.Error;
    EXPECT_TRUE(read.Warnings.empty());
    EXPECT_EQ(read.Scheme->Plans[1].Source->Bytes, "%PDF-1.4 plan");
    EXPECT_EQ(read.Scheme->Plans[2].Source->Bytes, "0\nSECTION\n");

    // A plan file gone: the floor keeps its scale and loses the plan, with
    // a message naming the file.
    std::filesystem::remove(dir.Path() + "/school.pl2.dxf");
    read = ReadProjectFile(project);
    ASSERT_TRUE(read.Scheme);
    ASSERT_EQ(read.Warnings.size(), 1u);
    EXPECT_NE(read.Warnings[0].find("план этажа №2"), std::string::npos);
    EXPECT_NE(read.Warnings[0].find("school.pl2.dxf"), std::string::npos);
    EXPECT_FALSE(read.Scheme->Plans[2].Source);
    EXPECT_EQ(read.Scheme->Plans[2].Scale, 0.025);
    // Saved again, it no longer names a plan file for that floor.
    ASSERT_FALSE(SaveProjectFile(*read.Scheme, project, '.'));
    EXPECT_EQ(test::ReadAll(project).find("floor.2.plan="), std::string::npos);
}

TEST(PlanData, DamagedEntriesAreReportedAndTheRestIsRead)
{
    const std::string fixedPart = ProjectText(TwoFloors(), '.', nullptr).value();
    const std::string block =
        "Дополнительные данные:\r\nВерсия: 1\r\nfloor.1.scale=abc\r\nfloor.7.scale=1\r\narea.9.drawn=1\r\n"
        "floor.2.offset=5\r\nlengths.kinds=1;8\r\nfloor.2.scale=0.5\r\narea.1.drawn=1\r\nfloor.1.future=x\r\n";
    const ProjectReadResult read = ParseProject(fixedPart + Utf8ToCp1251(block).value(), "a.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    ASSERT_EQ(read.Warnings.size(), 5u);
    EXPECT_EQ(read.Warnings[0], "Файл \"a.stm\": дополнительные данные «floor.1.scale» повреждены (ожидался масштаб, "
                                "неотрицательное число); они пропущены, схема прочитана.");
    EXPECT_NE(read.Warnings[1].find("нет этажа №7"), std::string::npos);
    EXPECT_NE(read.Warnings[2].find("нет участка №9"), std::string::npos);
    const TPipeLine& s = *read.Scheme;
    EXPECT_EQ(s.Plans[1].Scale, 0.0);
    EXPECT_EQ(s.Plans[2].Scale, 0.5);
    EXPECT_EQ(s.Plans[2].OffsetX, 0);
    EXPECT_EQ(s.DrawnKinds, kDefaultDrawnKinds);
    EXPECT_TRUE(s.Areas[1].Drawn);
    // A key of a later version is kept for the next save.
    EXPECT_EQ(s.KeptExtension, (std::vector<TExtensionEntry>{{"floor.1.future", "x"}}));
}

TEST(PlanData, UndoFloorDeletionAndPasteKeepPlansAndMarksWithTheirFloorsAndAreas)
{
    TPipeLine s = WithPlans();
    EditHistory history;
    history.Begin(s);
    s.Plans[1].Scale = 0.1;
    s.Areas[1].Drawn = false;
    s.Plans[2].HiddenLayers.clear();
    ASSERT_TRUE(history.End(s, "масштаб"));
    ASSERT_TRUE(history.Undo(s));
    EXPECT_EQ(s.Plans[1].Scale, 0.05);
    EXPECT_TRUE(s.Areas[1].Drawn);
    EXPECT_EQ(s.Plans[2].HiddenLayers.size(), 2u);
    ASSERT_TRUE(history.Redo(s));
    EXPECT_EQ(s.Plans[1].Scale, 0.1);
    EXPECT_FALSE(s.Areas[1].Drawn);
    ASSERT_TRUE(history.Undo(s));

    // Deleting floor 1 takes its plan; floor 2's plan becomes floor 1's.
    TPipeLine deleted = s;
    const TFloorPlan second = s.Plans[2];
    for (TNode& n : deleted.Nodes) n.Selected = n.Etag == 1;
    DeleteSelection(deleted);
    CloseFloorGap(deleted, 1);
    EXPECT_EQ(deleted.Plans[1], second);
    EXPECT_EQ(deleted.Plans[2], TFloorPlan{});
    // Undo gives floor 2 its plan back, and a floor added later starts bare.
    history.Begin(s);
    s = std::move(deleted);
    ASSERT_TRUE(history.End(s, "удаление этажа"));
    ASSERT_TRUE(history.Undo(s));
    EXPECT_EQ(s.Plans[2], second);

    // A copied marked area is pasted marked, and gets its length on the
    // floor it lands on.
    s.Areas[1].Selected = true;
    CopySelection(s);
    s.ActiveEtag = 2;
    s.MouseX = s.ClipX;
    s.MouseY = s.ClipY;
    PasteClipboard(s);
    const TArea& pasted = s.Areas[AreaCount(s)];
    EXPECT_TRUE(pasted.Drawn);
    UpdateDrawnLengths(s);
    EXPECT_EQ(pasted.Length, 5.0);  // 200 points of 0.025 m on floor 2
}

TEST(PlanData, MarkedLengthsFollowTheDrawingOnlyWithinOneFloor)
{
    TPipeLine s = TwoFloors();
    MarkNewArea(s, 1);  // no scale yet: nothing to take
    EXPECT_FALSE(s.Areas[1].Drawn);
    s.Plans[1].Scale = *ScaleFromPoints(0, 0, 30, 40, 10);  // 50 points are 10 m
    EXPECT_EQ(s.Plans[1].Scale, 0.2);
    MarkNewArea(s, 1);
    MarkNewArea(s, 2);  // doorways are not taken by default
    EXPECT_TRUE(s.Areas[1].Drawn);
    EXPECT_EQ(s.Areas[1].Length, 40.0);
    EXPECT_FALSE(s.Areas[2].Drawn);
    s.Areas[3].Drawn = true;  // a stair between floors never gets a drawn length
    s.Nodes[2].X = 301;
    EXPECT_TRUE(UpdateDrawnLengths(s));
    EXPECT_EQ(s.Areas[1].Length, RoundTo3(201 * 0.2));
    EXPECT_FALSE(s.Areas[3].Drawn);
    EXPECT_EQ(s.Areas[3].Length, 3.0);
    EXPECT_FALSE(UpdateDrawnLengths(s));
    EXPECT_FALSE(ScaleFromPoints(5, 5, 5, 5, 1));
    EXPECT_FALSE(ScaleFromPoints(0, 0, 1, 0, 0));
}

// A picture of `width` × `height` white pixels with one black pixel at (x, y).
BitmapRef Dot(int width, int height, int x, int y)
{
    auto b = std::make_shared<Bitmap>(Bitmap{width, height, std::vector<std::uint32_t>(std::size_t(width) * height, 0xFFFFFFFF)});
    b->Pixels[std::size_t(y) * width + x] = 0xFF000000;
    return b;
}

TEST(PlanData, AligningFloorsMovesOneFloorWholeAndNothingBelowZero)
{
    TPipeLine s = TwoFloors();  // the stair's upper end (300, 200) on floor 2
    s.Plans[2].OffsetX = 30;
    s.Backgrounds[2] = Dot(100, 50, 40, 5);  // a white margin of 40 columns and 5 rows
    const TPipeLine before = s;

    // Floor 2 goes left by 20 and down by 10: its offset, its nodes and its
    // picture (cut by its white margin) follow; floor 1 stays.
    ASSERT_EQ(AlignFloors(s, {1, 280, 210}, {2, 300, 200}), std::nullopt);
    EXPECT_EQ(s.Nodes[4].X, 280);
    EXPECT_EQ(s.Nodes[4].Y, 210);
    EXPECT_EQ(s.Plans[2].OffsetX, 10);
    EXPECT_EQ(s.Plans[2].OffsetY, 10);
    const BitmapRef moved = Dot(80, 60, 20, 15);
    EXPECT_EQ(s.Backgrounds[2]->Width, moved->Width);
    EXPECT_EQ(s.Backgrounds[2]->Height, moved->Height);
    EXPECT_EQ(s.Backgrounds[2]->Pixels, moved->Pixels);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(s.Nodes[i].X, before.Nodes[i].X);

    // Left by 20 more would push the offset below zero: along that axis
    // floor 1 goes right by 20 instead, and floor 2 still goes up by 10.
    ASSERT_EQ(AlignFloors(s, {1, 260, 200}, {2, 280, 210}), std::nullopt);
    EXPECT_EQ(s.Nodes[4].X, 280);
    EXPECT_EQ(s.Nodes[4].Y, 200);
    EXPECT_EQ(s.Nodes[1].X, 120);
    EXPECT_EQ(s.Nodes[1].Y, 100);
    EXPECT_EQ(s.Plans[1].OffsetX, 20);
    EXPECT_EQ(s.Plans[2].OffsetX, 10);
    EXPECT_EQ(s.Plans[2].OffsetY, 0);
    // Lengths stay: a floor moves whole.
    TPipeLine marked = s;
    marked.Plans[1].Scale = 0.05;
    marked.Areas[1].Drawn = true;
    EXPECT_TRUE(UpdateDrawnLengths(marked));
    EXPECT_EQ(marked.Areas[1].Length, 10.0);

    // Refused, changing nothing: one floor, or a node pushed off the canvas.
    const TPipeLine aligned = s;
    EXPECT_EQ(AlignFloors(s, {1, 0, 0}, {1, 5, 5}), "Укажите одну и ту же точку на двух разных этажах.");
    s.WSpaceG = 400;
    EXPECT_EQ(AlignFloors(s, {1, 390, 200}, {2, 200, 200}),
              "Этажи не совмещены: узлы этажа №2 вышли бы за рабочую область. Увеличьте ее размер в окне "
              "«Параметры».");
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(s.Nodes[i].X, aligned.Nodes[i].X);
    EXPECT_EQ(s.Plans, aligned.Plans);
}

}  // namespace
}  // namespace stelmar
