#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

#include "model/Scheme.h"
#include "model/SchemeBuilder.h"
#include "model/SchemeEditing.h"
#include "model/SchemePicking.h"
#include "model/SchemeSelection.h"

namespace stelmar {
namespace {

int Put(TPipeLine& s, int x, int y, std::uint8_t kind = kJunction, std::uint8_t etag = 1)
{
    return SchemeBuilder(s).OnFloor(etag).Node(kind, {.X = x, .Y = y, .F = 0});
}

int Join(TPipeLine& s, int a, int b, double length = 0) { return SchemeBuilder(s).Area(a, b, length, 0); }

void Point(TPipeLine& s, int x, int y)
{
    s.MouseX = x;
    s.MouseY = y;
}

std::string Areas(const TPipeLine& s)
{
    std::string out;
    for (int i = 1; i <= AreaCount(s); ++i) out += AreaLabel(s, s.Areas[i]) + " ";
    return out;
}

TEST(SchemeModel, LabelsRoundingAndFlowStorage)
{
    TPipeLine s;
    for (int i = 0; i < 5; ++i) Put(s, 10 * i, 0);
    s.Nodes[5].Name = "А1";
    const int a = Join(s, 2, 5);
    EXPECT_EQ(AreaLabel(s, s.Areas[a]), "2-А1");
    EXPECT_EQ(NodeLabel(s, 3), "3");
    DeleteNode(s, 1);
    EXPECT_EQ(NodeLabel(s, 2), "2");  // the former node 3
    EXPECT_EQ(NodeLabel(s, 4), "А1");
    EXPECT_EQ(AreaLabel(s, s.Areas[1]), "1-А1");

    TNode n;
    const std::pair<int, const char*> groups[] = {
        {0, "Без огранич."}, {1, "М2"}, {2, "М3"}, {3, "М4"}, {4, "Без огранич."}, {9, "Без огранич."}};
    for (auto [m, text] : groups) {
        n.Mobility = static_cast<std::uint8_t>(m);
        EXPECT_EQ(MobilityText(n), text);
    }

    EXPECT_DOUBLE_EQ(RoundTo3(0.5625), 0.562);  // exact ties go to even
    EXPECT_DOUBLE_EQ(RoundTo3(0.4375), 0.438);
    EXPECT_DOUBLE_EQ(RoundTo3(-0.5625), -0.562);
    EXPECT_DOUBLE_EQ(RoundTo3(12.34567), 12.346);
}

TEST(SchemeModel, NodeAtPicksLowestOnActiveFloor)
{
    TPipeLine s;  // NodeWidth 7: the pick square spans X-5 .. X+6
    Put(s, 100, 100, kJunction, 2);
    Put(s, 100, 100);
    Put(s, 102, 101);
    Point(s, 100, 100);
    EXPECT_EQ(NodeAt(s), 2);
    s.ActiveEtag = 2;
    EXPECT_EQ(NodeAt(s), 1);
    s.ActiveEtag = 1;
    s.MouseX = 95;
    EXPECT_EQ(NodeAt(s), 2);
    s.MouseX = 94;
    EXPECT_EQ(NodeAt(s), 0);
    s.MouseX = 108;  // beyond node 2, still on node 3
    EXPECT_EQ(NodeAt(s), 3);
    s.MouseX = 109;
    EXPECT_EQ(NodeAt(s), 0);
}

TEST(SchemeModel, AreaAtWalksTheLineAndYieldsToNodes)
{
    TPipeLine s;  // AreaWidth 5
    const int a = Put(s, 100, 100);
    const int b = Put(s, 200, 100);
    const int c = Put(s, 300, 150, kJunction, 2);
    const int d = Put(s, 200, 300, kJunction, 2);
    Join(s, a, b);
    Join(s, c, d);
    Join(s, b, c);
    Point(s, 150, 104);
    EXPECT_EQ(AreaAt(s), 1);
    s.MouseY = 105;
    EXPECT_EQ(AreaAt(s), 0);
    Point(s, 102, 100);  // over node a, with area 1 beneath
    EXPECT_EQ(AreaAt(s), 0);
    Point(s, 250, 225);  // area 2 lies on floor 2 only
    EXPECT_EQ(AreaAt(s), 0);
    Point(s, 250, 126);  // area 3 has one end on floor 1
    EXPECT_EQ(AreaAt(s), 3);

    // Against the plain walk over every area on random lines and pointers.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pos(0, 60);
    for (int round = 0; round < 300; ++round) {
        TPipeLine r;
        r.NodeWidth = 0;  // no node square gets in the way
        const int p = Put(r, pos(rng), pos(rng));
        const int q = Put(r, pos(rng), pos(rng));
        Join(r, p, q);
        Point(r, pos(rng), pos(rng));
        if (NodeAt(r) != 0) continue;
        const TNode& from = r.Nodes[p];
        const TNode& to = r.Nodes[q];
        int x = from.X, y = from.Y;
        const int dx = to.X - x, dy = to.Y - y;
        const int ax = std::abs(dx), ay = std::abs(dy), m = std::max(ax, ay);
        int ex = ax, ey = ay;
        bool hit = false;
        for (int k = 0; k <= m; ++k) {
            hit = hit || (std::abs(r.MouseX - x) < r.AreaWidth && std::abs(r.MouseY - y) < r.AreaWidth);
            ex += ax;
            ey += ay;
            if (ex > m) ex -= m, x += (dx > 0) - (dx < 0);
            if (ey > m) ey -= m, y += (dy > 0) - (dy < 0);
        }
        ASSERT_EQ(AreaAt(r), hit ? 1 : 0) << round;
    }
}

TEST(SchemeModel, ConnectionRulesBandAndClearSelection)
{
    TPipeLine s;
    const int in1 = Put(s, 20, 20, kInput);
    const int in2 = Put(s, 30, 49, kInput);
    const int out1 = Put(s, 10, 30, kExit);
    const int out2 = Put(s, 60, 30, kExit);
    const int j = Put(s, 40, 40);
    Join(s, in1, j);
    Join(s, j, in2);
    EXPECT_TRUE(Connected(s, j, in1));
    EXPECT_TRUE(Connected(s, in2, j));
    EXPECT_FALSE(Connected(s, in1, in2));
    EXPECT_FALSE(CanConnect(s, in1, in2));
    EXPECT_FALSE(CanConnect(s, out1, out2));
    EXPECT_TRUE(CanConnect(s, in1, out1));
    EXPECT_TRUE(CanConnect(s, j, j));

    s.AnchorX = s.AnchorY = 50;
    Point(s, 10, 10);
    EXPECT_TRUE(NodeInBand(s, in1));
    EXPECT_TRUE(NodeInBand(s, in2));
    EXPECT_FALSE(NodeInBand(s, out1));  // on the band's edge
    EXPECT_FALSE(NodeInBand(s, out2));
    EXPECT_TRUE(AreaInBand(s, 2));
    s.MouseY = 49;
    EXPECT_FALSE(NodeInBand(s, in2));
    EXPECT_FALSE(AreaInBand(s, 2));

    s.Nodes[j].Selected = s.Nodes[j].Hot = true;
    s.Areas[1].Selected = s.Areas[1].Hot = true;
    ClearSelection(s);
    EXPECT_FALSE(s.Nodes[j].Selected || s.Areas[1].Selected);
    EXPECT_TRUE(s.Nodes[j].Hot && s.Areas[1].Hot);
}

TEST(SchemeModel, DeleteNodeRenumbersReferences)
{
    TPipeLine s;
    for (int i = 1; i <= 5; ++i) s.Nodes[Put(s, i, 0)].Name = "n" + std::to_string(i);
    Join(s, 1, 2);
    Join(s, 2, 3);
    Join(s, 3, 4);
    Join(s, 4, 5);
    Join(s, 1, 5);
    Join(s, 5, 2);
    Join(s, 5, 3);
    DeleteNode(s, 3);
    ASSERT_EQ(NodeCount(s), 4);
    EXPECT_EQ(Areas(s), "n1-n2 n4-n5 n1-n5 n5-n2 ");
    EXPECT_EQ(s.Areas[2].Node1, 3);
    EXPECT_EQ(s.Areas[4].Node2, 2);
    DeleteArea(s, 1);
    EXPECT_EQ(Areas(s), "n4-n5 n1-n5 n5-n2 ");
}

// Deletes as the editor always has: the first selected area, rescanning from
// the start after every deletion, then the same for nodes.
void ReferenceDeleteSelection(TPipeLine& s)
{
    for (bool found = true; found;) {
        found = false;
        for (int i = 1; i <= AreaCount(s) && !found; ++i) {
            if (s.Areas[i].Selected) s.Areas.erase(s.Areas.begin() + i), found = true;
        }
    }
    for (bool found = true; found;) {
        found = false;
        for (int k = 1; k <= NodeCount(s) && !found; ++k) {
            if (!s.Nodes[k].Selected) continue;
            found = true;
            for (int i = 1; i <= AreaCount(s);) {
                if (s.Areas[i].Node1 == k || s.Areas[i].Node2 == k) s.Areas.erase(s.Areas.begin() + i);
                else ++i;
            }
            for (int i = 1; i <= AreaCount(s); ++i) {
                if (s.Areas[i].Node1 > k) --s.Areas[i].Node1;
                if (s.Areas[i].Node2 > k) --s.Areas[i].Node2;
            }
            s.Nodes.erase(s.Nodes.begin() + k);
        }
    }
}

TEST(SchemeModel, DeleteSelectionMatchesRescanningDeletion)
{
    std::mt19937 rng(42);
    for (int round = 0; round < 200; ++round) {
        TPipeLine s;
        s.Modified = false;
        const int nodes = 1 + static_cast<int>(rng() % 12);
        for (int i = 1; i <= nodes; ++i) {
            s.Nodes[Put(s, i, i)].Name = "n" + std::to_string(i);
            s.Nodes[i].Selected = rng() % 4 == 0;
        }
        const int areas = static_cast<int>(rng() % 20);
        for (int i = 0; i < areas && nodes > 1; ++i) {
            const int a = 1 + static_cast<int>(rng() % nodes);
            const int b = 1 + (a + static_cast<int>(rng() % (nodes - 1))) % nodes;
            s.Areas[Join(s, a, b, i)].Selected = rng() % 3 == 0;
        }
        TPipeLine expected = s;
        ReferenceDeleteSelection(expected);
        DeleteSelection(s);
        EXPECT_TRUE(s.Modified);
        ASSERT_EQ(NodeCount(s), NodeCount(expected));
        for (int i = 1; i <= NodeCount(s); ++i) ASSERT_EQ(s.Nodes[i].Name, expected.Nodes[i].Name);
        ASSERT_EQ(AreaCount(s), AreaCount(expected));
        for (int i = 1; i <= AreaCount(s); ++i) {
            ASSERT_EQ(s.Areas[i].Node1, expected.Areas[i].Node1) << round;
            ASSERT_EQ(s.Areas[i].Node2, expected.Areas[i].Node2) << round;
            ASSERT_EQ(s.Areas[i].Length, expected.Areas[i].Length) << round;
        }
    }
}

TEST(SchemeModel, AddNodeAndAddArea)
{
    TPipeLine s;
    s.ActiveEtag = 2;
    s.Modified = false;
    const std::pair<int, int> cases[] = {{13, 18}, {4, 4}, {-7, -3}};
    const std::pair<int, int> snapped[] = {{12, 17}, {2, 2}, {-3, 2}};
    for (int i = 0; i < 3; ++i) {
        Point(s, cases[i].first, cases[i].second);
        AddNode(s, kInput);
        const TNode& n = s.Nodes.back();
        EXPECT_EQ(std::make_pair(n.X, n.Y), snapped[i]);
        EXPECT_EQ(std::make_pair(n.SavedX, n.SavedY), snapped[i]);
    }
    EXPECT_TRUE(s.Modified);
    s.Snap = false;
    AddNode(s, kExit);
    const TNode& n = s.Nodes[4];
    EXPECT_EQ(std::make_pair(n.X, n.Y), cases[2]);
    EXPECT_EQ(n.Kind, kExit);
    EXPECT_EQ(n.Etag, 2);
    EXPECT_DOUBLE_EQ(n.F, 0.1);
    EXPECT_EQ(n.Name, kDefaultNodeName);
    EXPECT_TRUE(n.Hot);
    EXPECT_FALSE(n.Selected);
    EXPECT_EQ(n.FlowCount, 0);

    s.Modified = false;
    AddArea(s, 1, 4, 2.5, 1.5, kDoorway);
    const TArea& a = s.Areas[1];
    EXPECT_EQ(a.Node1 * 10 + a.Node2, 14);
    EXPECT_EQ(a.Length, 2.5);
    EXPECT_EQ(a.Width, 1.5);
    EXPECT_EQ(a.Kind, kDoorway);
    EXPECT_EQ(a.Etag, 2);
    EXPECT_TRUE(a.Hot && !a.Selected && s.Modified);
}

TEST(SchemeModel, MoveAndRotateSelection)
{
    TPipeLine s;
    const int a = Put(s, 10, 10);
    const int b = Put(s, 40, 10);
    const int c = Put(s, 70, 10);
    Join(s, a, b);
    s.Nodes[a].Selected = true;
    s.Areas[1].Selected = true;  // ignored while a node is selected
    s.Modified = false;
    s.AnchorX = s.AnchorY = 100;
    Point(s, 113, 94);
    s.Snap = false;
    MoveSelection(s);
    EXPECT_EQ(std::make_pair(s.Nodes[a].X, s.Nodes[a].Y), std::make_pair(23, 4));
    EXPECT_EQ(s.Nodes[b].X, 40);
    s.Snap = true;
    MoveSelection(s);  // from the saved position again, then snapped
    EXPECT_EQ(std::make_pair(s.Nodes[a].X, s.Nodes[a].Y), std::make_pair(22, 2));

    s.Nodes[a].Selected = false;
    s.Nodes[a].X = 10;
    s.Nodes[a].Y = 10;
    s.Snap = false;
    MoveSelection(s);  // no node selected: the selected area's ends move
    EXPECT_EQ(std::make_pair(s.Nodes[a].X, s.Nodes[b].X), std::make_pair(23, 53));
    EXPECT_EQ(s.Nodes[b].Y, 4);
    EXPECT_EQ(s.Nodes[c].X, 70);

    // A quarter turn clockwise on screen about (100, 100).
    SaveNodePositions(s);
    s.Nodes[c].Selected = true;
    s.Nodes[c].SavedX = 150;
    s.Nodes[c].SavedY = 100;
    Point(s, 100, 140);
    RotateSelection(s);
    EXPECT_EQ(std::make_pair(s.Nodes[c].X, s.Nodes[c].Y), std::make_pair(100, 150));
    EXPECT_EQ(s.Nodes[a].X, 23);  // area ends stay put while a node is selected
    s.Snap = true;
    Point(s, 60, 100);  // half a turn
    RotateSelection(s);
    EXPECT_EQ(std::make_pair(s.Nodes[c].X, s.Nodes[c].Y), std::make_pair(52, 102));
    EXPECT_FALSE(s.Modified);  // the editor marks drags itself
}

TEST(SchemeModel, CopyAndPaste)
{
    TPipeLine s;
    const int a = Put(s, 10, 20, kInput);
    const int b = Put(s, 50, 20);
    Put(s, 90, 20, kExit);
    s.Nodes[a].People = 30;
    s.Nodes[a].Mobility = 2;
    s.Nodes[a].F = 0.125;
    s.Nodes[a].Name = "В1";
    s.Nodes[a].FlowCount = 2;
    Join(s, a, b, 7.5);
    Join(s, b, 3);
    s.Areas[1].Selected = true;
    Point(s, 30, 30);
    s.Modified = false;
    CopySelection(s);
    EXPECT_FALSE(s.Modified);  // only the clipboard and the selection change
    EXPECT_TRUE(s.Nodes[a].Selected && s.Nodes[b].Selected && !s.Nodes[3].Selected);
    ASSERT_EQ(s.ClipNodes.size(), 3u);
    ASSERT_EQ(s.ClipAreas.size(), 2u);
    EXPECT_EQ(s.ClipNodes[2].CopyIndex, b);

    ClearSelection(s);
    s.ActiveEtag = 2;
    Point(s, 130, 25);
    s.Modified = false;
    PasteClipboard(s);
    EXPECT_TRUE(s.Modified);
    ASSERT_EQ(NodeCount(s), 5);
    ASSERT_EQ(AreaCount(s), 3);
    const TNode& p = s.Nodes[4];
    EXPECT_EQ(std::make_pair(p.X, p.Y), std::make_pair(110, 15));
    EXPECT_EQ(std::make_pair(p.SavedX, p.SavedY), std::make_pair(110, 15));
    EXPECT_EQ(p.Kind, kInput);
    EXPECT_EQ(p.People, 30);
    EXPECT_EQ(p.F, 0.125);
    EXPECT_EQ(p.Mobility, 0);
    EXPECT_EQ(p.Name, kDefaultNodeName);
    EXPECT_EQ(p.FlowCount, 2);
    EXPECT_EQ(p.Etag, 2);
    EXPECT_TRUE(p.Selected && !p.Hot);
    const TArea& pa = s.Areas[3];
    EXPECT_EQ(std::make_pair(pa.Node1, pa.Node2), std::make_pair(4, 5));
    EXPECT_EQ(pa.Length, 7.5);
    EXPECT_EQ(pa.Etag, 2);
    EXPECT_TRUE(pa.Selected && !pa.Hot);

    s.Modified = false;
    PasteClipboard(s);
    EXPECT_EQ(NodeCount(s), 5);
    EXPECT_EQ(AreaCount(s), 3);
    EXPECT_TRUE(s.Modified);
}

TEST(SchemeModel, PasteAfterTheSchemeShrankKeepsAreasOnTheirCopies)
{
    // Copy nodes 1, 8 and 9 of nine, delete five others, paste: the copied
    // numbers 8 and 9 now collide with the numbers the pasted nodes get.
    TPipeLine s;
    for (int i = 1; i <= 9; ++i) s.Nodes[Put(s, 10 * i, 0)].Name = "n" + std::to_string(i);
    s.Areas[Join(s, 1, 9)].Selected = true;
    s.Areas[Join(s, 8, 9)].Selected = true;
    for (int i : {1, 8, 9}) s.Nodes[i].Selected = true;
    CopySelection(s);
    for (int i = 0; i < 5; ++i) DeleteNode(s, 2);
    ASSERT_EQ(NodeCount(s), 4);
    PasteClipboard(s);
    ASSERT_EQ(NodeCount(s), 7);
    ASSERT_EQ(AreaCount(s), 4);
    EXPECT_EQ(std::make_pair(s.Areas[3].Node1, s.Areas[3].Node2), std::make_pair(5, 7));
    EXPECT_EQ(std::make_pair(s.Areas[4].Node1, s.Areas[4].Node2), std::make_pair(6, 7));

    // An area whose end is missing from the clipboard is not pasted.
    s.ClipNodes.assign(2, TNode{});
    s.ClipNodes[1].CopyIndex = 3;
    s.ClipAreas.assign(2, TArea{});
    s.ClipAreas[1].Node1 = 3;
    s.ClipAreas[1].Node2 = 1;
    PasteClipboard(s);
    EXPECT_EQ(NodeCount(s), 8);
    EXPECT_EQ(AreaCount(s), 4);
}

}  // namespace
}  // namespace stelmar
