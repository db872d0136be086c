// Selection, floors, splitting and the pending area start: the scheme
// operations the editor's commands and tools are made of.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/SchemeBuilder.h"
#include "model/SchemeEditing.h"
#include "model/SchemePicking.h"
#include "model/SchemeSelection.h"

namespace stelmar {
namespace {

std::string Marks(const TPipeLine& s, bool TNode::*nodeFlag, bool TArea::*areaFlag)
{
    std::string text;
    for (int i = 1; i <= NodeCount(s); ++i) text += s.Nodes[i].*nodeFlag ? 'N' : '.';
    text += '|';
    for (int i = 1; i <= AreaCount(s); ++i) text += s.Areas[i].*areaFlag ? 'A' : '.';
    return text;
}

std::string Selected(const TPipeLine& s) { return Marks(s, &TNode::Selected, &TArea::Selected); }

// Floor 1: 1-2-3 in a row; floor 2: 4-5; a stair 3-4 between the floors;
// node 6 alone on floor 1.
TPipeLine TwoFloors()
{
    TPipeLine s;
    s.EtagCount = 2;
    SchemeBuilder b(s);
    b.Junction({.X = 10, .Y = 10});
    b.Junction({.X = 30, .Y = 10});
    b.Junction({.X = 50, .Y = 10});
    b.Area(1, 2, 5, 1);
    b.Area(2, 3, 5, 1);
    b.OnFloor(2);
    b.Junction({.X = 50, .Y = 10});
    b.Junction({.X = 70, .Y = 10});
    b.Area(4, 5, 5, 1);
    b.Area(3, 4, 5, 1, kStairsUp);
    b.OnFloor(1).Junction({.X = 200, .Y = 200});
    return s;
}

TEST(SchemeSelection, AnySelectedAndFloors)
{
    TPipeLine s = TwoFloors();
    EXPECT_FALSE(AnySelected(s));
    s.Areas[3].Selected = true;
    EXPECT_TRUE(AnySelected(s));

    SelectFloor(s, 2);
    EXPECT_EQ(Selected(s), "...NN.|..AA");
    SelectFloor(s, 1);
    EXPECT_EQ(Selected(s), "NNN..N|AA..");
    ClearSelection(s);
    EXPECT_FALSE(AnySelected(s));
}

TEST(SchemeSelection, SpreadFollowsAreasAcrossFloors)
{
    TPipeLine s = TwoFloors();
    s.Nodes[1].Selected = true;
    SpreadSelection(s);
    EXPECT_EQ(Selected(s), "NNNNN.|AAAA");

    // A selected area does not spread by itself.
    ClearSelection(s);
    s.Areas[1].Selected = true;
    SpreadSelection(s);
    EXPECT_EQ(Selected(s), "......|A...");

    // Nothing to spread from: nothing changes.
    ClearSelection(s);
    SpreadSelection(s);
    EXPECT_EQ(Selected(s), "......|....");
}

TEST(SchemeSelection, BandSelectsOnlyTheActiveFloor)
{
    TPipeLine s = TwoFloors();
    s.Nodes[5].Selected = true;   // floor 2: kept while floor 1 is banded
    s.Nodes[6].Selected = true;   // floor 1 outside the band: unselected
    s.ActiveEtag = 1;
    s.AnchorX = 0;
    s.AnchorY = 0;
    s.MouseX = 40;
    s.MouseY = 20;
    SelectInBand(s);
    // Nodes 1 and 2 inside; area 1-2 inside; area 3-4 touches floor 1 but its
    // ends are outside, so it is unselected; area 4-5 keeps its mark.
    EXPECT_EQ(Selected(s), "NN..N.|A...");

    // The stair 3-4 counts by the positions of both ends, the upper one
    // included; the area 4-5 of floor 2 keeps its mark.
    s.MouseX = 60;
    s.Areas[3].Selected = true;
    SelectInBand(s);
    EXPECT_EQ(Selected(s), "NNN.N.|AAAA");
}

TEST(SchemeSelection, ClearHotTellsWhetherAnythingWasHighlighted)
{
    TPipeLine s = TwoFloors();
    EXPECT_FALSE(ClearHot(s));
    s.Nodes[2].Hot = true;
    s.Areas[4].Hot = true;
    s.Nodes[2].Selected = true;
    EXPECT_TRUE(ClearHot(s));
    EXPECT_EQ(Marks(s, &TNode::Hot, &TArea::Hot), "......|....");
    EXPECT_TRUE(s.Nodes[2].Selected);
    EXPECT_FALSE(ClearHot(s));
}

TEST(SchemeSelection, ClosingAFloorGapMovesTheFloorsAboveDown)
{
    TPipeLine s = TwoFloors();
    s.EtagCount = 3;
    SchemeBuilder(s).OnFloor(3).Junction();
    auto picture = [](int width) { return std::make_shared<const Bitmap>(Bitmap{width, 1, {0}}); };
    s.Backgrounds[1] = picture(1);
    s.Backgrounds[2] = picture(2);
    s.Backgrounds[3] = picture(3);

    SelectFloor(s, 2);
    DeleteSelection(s);
    CloseFloorGap(s, 2);
    EXPECT_EQ(s.EtagCount, 2);
    ASSERT_EQ(NodeCount(s), 5);
    EXPECT_EQ(s.Nodes[5].Etag, 2);  // the node of floor 3
    EXPECT_EQ(s.Nodes[4].Etag, 1);
    EXPECT_EQ(AreaCount(s), 2);
    EXPECT_EQ(s.Backgrounds[1]->Width, 1);
    EXPECT_EQ(s.Backgrounds[2]->Width, 3);
    EXPECT_FALSE(s.Backgrounds[3]);
}

TEST(SchemeSelection, SplitAreaLeadsOnFromTheNewNode)
{
    TPipeLine s = TwoFloors();
    s.ActiveEtag = 1;
    const int node = SchemeBuilder(s).Junction({.X = 20, .Y = 10});
    s.Areas[1].Length = 7;
    s.Areas[1].Kind = kDoorway;
    SplitArea(s, 1, node);
    ASSERT_EQ(AreaCount(s), 5);
    EXPECT_EQ(s.Areas[1].Node1, 1);
    EXPECT_EQ(s.Areas[1].Node2, node);
    EXPECT_EQ(s.Areas[1].Length, 7);
    EXPECT_EQ(s.Areas[1].Kind, kDoorway);
    const TArea& added = s.Areas[5];
    EXPECT_EQ(added.Node1, node);
    EXPECT_EQ(added.Node2, 2);
    EXPECT_EQ(added.Kind, kHorizontal);
    EXPECT_EQ(added.Length, 0);
    EXPECT_EQ(added.Width, 0);
    EXPECT_EQ(added.Etag, 1);
    EXPECT_TRUE(added.Hot);
    EXPECT_TRUE(s.Modified);
}

TEST(SchemeSelection, PendingAreaStartFollowsDeletions)
{
    TPipeLine s = TwoFloors();
    s.AreaFrom = 5;
    DeleteNode(s, 6);  // behind the start: unchanged
    EXPECT_EQ(s.AreaFrom, 5);
    DeleteNode(s, 2);  // before it: one lower
    EXPECT_EQ(s.AreaFrom, 4);
    DeleteNode(s, 4);  // the start itself: given up
    EXPECT_EQ(s.AreaFrom, 0);

    s = TwoFloors();
    s.AreaFrom = 5;
    s.Nodes[1].Selected = s.Nodes[3].Selected = s.Nodes[6].Selected = true;
    DeleteSelection(s);
    EXPECT_EQ(s.AreaFrom, 3);
    s.Nodes[3].Selected = true;
    DeleteSelection(s);
    EXPECT_EQ(s.AreaFrom, 0);

    // Deleting only areas keeps it.
    s = TwoFloors();
    s.AreaFrom = 2;
    s.Areas[1].Selected = true;
    DeleteSelection(s);
    EXPECT_EQ(s.AreaFrom, 2);
}

}  // namespace
}  // namespace stelmar
