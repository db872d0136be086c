#include "model/EditHistory.h"
#include "model/SchemeBuilder.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "model/SchemeEditing.h"

namespace stelmar {
namespace {

int Put(TPipeLine& s, int x, int y, std::uint8_t kind = kJunction, std::uint8_t mobility = 0)
{
    return SchemeBuilder(s).Node(kind, {.X = x, .Y = y, .F = 0, .Mobility = mobility});
}

void Join(TPipeLine& s, int a, int b, double length) { SchemeBuilder(s).Area(a, b, length, 0); }

// The fields a snapshot records, as text, for comparing whole states.
std::string Recorded(const TPipeLine& s)
{
    std::ostringstream out;
    out << int(s.EtagCount) << ' ' << int(s.ActiveEtag) << ' ' << s.RazVr << s.VrSk << '\n';
    for (const TNode& n : s.Nodes)
        out << int(n.Kind) << ' ' << int(n.Etag) << ' ' << n.People << ' ' << n.FlowCount << ' ' << n.Flows.size()
            << ' ' << n.F << ' ' << n.X << ' ' << n.Y << ' ' << n.SavedX << ' ' << n.SavedY << ' ' << n.Name << ' '
            << int(n.Mobility) << '\n';
    for (const TArea& a : s.Areas)
        out << a.Node1 << ' ' << a.Node2 << ' ' << int(a.Etag) << ' ' << a.Length << ' ' << a.Width << ' '
            << int(a.Kind) << '\n';
    return out.str();
}

TEST(EditHistory, WorkedSequence)
{
    TPipeLine s;
    Put(s, 10, 10);
    EditHistory h;
    EXPECT_FALSE(h.LastUndo());
    h.Reset();
    EXPECT_TRUE(h.LastUndo());
    EXPECT_FALSE(h.UndoEnabled() || h.RedoEnabled());

    h.Push(s);  // edit A
    s.Nodes[1].X = 20;
    EXPECT_EQ(h.HistoryPos(), 1);
    EXPECT_TRUE(h.UndoEnabled());
    h.Push(s);  // edit B
    s.Nodes[1].X = 30;
    EXPECT_EQ(h.HistoryPos(), 2);
    EXPECT_EQ(h.RedoDepth(), 1);

    EXPECT_TRUE(h.Undo(s));
    EXPECT_EQ(s.Nodes[1].X, 20);
    EXPECT_EQ(h.HistoryPos(), 1);
    EXPECT_EQ(h.RedoDepth(), 2);
    EXPECT_TRUE(h.UndoEnabled() && h.RedoEnabled());

    EXPECT_TRUE(h.Undo(s));
    EXPECT_EQ(s.Nodes[1].X, 10);
    EXPECT_EQ(h.HistoryPos(), 0);
    EXPECT_EQ(h.RedoDepth(), 3);
    EXPECT_FALSE(h.UndoEnabled());

    EXPECT_TRUE(h.Redo(s));
    EXPECT_EQ(s.Nodes[1].X, 20);
    EXPECT_EQ(h.HistoryPos(), 2);
    EXPECT_EQ(h.RedoDepth(), 2);
    EXPECT_FALSE(h.RedoEnabled());
    EXPECT_TRUE(h.UndoEnabled());
    EXPECT_TRUE(h.LastRedo() && !h.LastUndo());

    EXPECT_FALSE(h.Redo(s));  // the state after B was never recorded
    EXPECT_EQ(s.Nodes[1].X, 20);

    EXPECT_TRUE(h.Undo(s));  // after a redo, undo steps back one more slot
    EXPECT_EQ(s.Nodes[1].X, 10);
    EXPECT_EQ(h.HistoryPos(), 0);
}

TEST(EditHistory, CommandsWithNothingToDoOnlyDisableThemselves)
{
    TPipeLine s;
    Put(s, 1, 1);
    EditHistory h;
    h.Reset();
    EXPECT_FALSE(h.Undo(s));
    EXPECT_EQ(h.HistoryPos(), 0);
    EXPECT_EQ(h.RedoDepth(), 0);
    EXPECT_FALSE(h.UndoEnabled());

    h.Push(s);
    s.Nodes[1].X = 2;
    h.Push(s);
    s.Nodes[1].X = 3;
    h.Undo(s);
    ASSERT_TRUE(h.RedoEnabled());
    h.Push(s);  // a new snapshot: RedoDepth 1, the button still shows enabled
    s.Nodes[1].X = 4;
    EXPECT_TRUE(h.RedoEnabled());
    EXPECT_FALSE(h.Redo(s));
    EXPECT_FALSE(h.RedoEnabled());
    EXPECT_EQ(h.HistoryPos(), 2);
    EXPECT_EQ(h.RedoDepth(), 1);
    EXPECT_EQ(s.Nodes[1].X, 4);
}

TEST(EditHistory, FiftyOneEditsKeepTheFiftyNewest)
{
    TPipeLine s;
    Put(s, 0, 0);
    EditHistory h;
    h.Reset();
    for (int edit = 1; edit <= 51; ++edit) {
        h.Push(s);
        s.Nodes[1].X = edit;
    }
    EXPECT_EQ(h.HistoryPos(), 50);
    int undos = 0;
    while (h.Undo(s)) ++undos;
    EXPECT_EQ(undos, 50);
    EXPECT_EQ(s.Nodes[1].X, 1);  // the state before the first edit is gone
}

TEST(EditHistory, RestoresRecordedFieldsAndLeavesTheRest)
{
    TPipeLine s;
    Put(s, 10, 20, kInput);
    Put(s, 30, 40, kExit);
    Join(s, 1, 2, 12.5);
    s.Nodes[1].Name = "Вход А";
    s.Nodes[1].People = 40;
    s.Nodes[1].F = 0.125;
    SetFlowCount(s.Nodes[1], 3);
    s.Areas[1].Width = 1.5;
    s.RazVr = true;
    const std::string before = Recorded(s);

    EditHistory h;
    h.Reset();
    h.Push(s);
    s.Nodes[1] = TNode{};
    s.Nodes[1].Selected = true;
    s.Nodes[1].CopyIndex = 7;
    s.Nodes.pop_back();
    Put(s, 1, 1);
    Put(s, 2, 2);
    s.Areas.pop_back();
    s.RazVr = false;
    s.VrSk = true;
    s.EtagCount = 3;
    s.ActiveEtag = 3;
    s.FileName = "/p/a.stm";
    s.AreaWidth = 9;
    s.Modified = false;

    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(Recorded(s), before);
    EXPECT_TRUE(s.Nodes[1].Selected);
    EXPECT_EQ(s.Nodes[1].CopyIndex, 7);
    EXPECT_EQ(s.FileName, "/p/a.stm");
    EXPECT_EQ(s.AreaWidth, 9);
    EXPECT_FALSE(s.Modified);
}

TEST(EditHistory, DeletedNodeComesBackWithItsOwnMobilityGroup)
{
    TPipeLine s;
    Put(s, 10, 10, kInput, 2);  // М3
    Put(s, 20, 10, kInput, 3);
    Put(s, 30, 10, kExit);
    Join(s, 1, 3, 5);
    Join(s, 2, 3, 5);
    EditHistory h;
    h.Reset();
    h.Push(s);
    DeleteNode(s, 1);
    ASSERT_EQ(s.Nodes[1].Mobility, 3);
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.Nodes[1].Mobility, 2);
    EXPECT_EQ(s.Nodes[2].Mobility, 3);
    EXPECT_EQ(s.Nodes[3].Mobility, 0);
    EXPECT_EQ(MobilityText(s.Nodes[1]), "М3");
}

TEST(EditHistory, FloorsAndPicturesComeBackWithoutEmptyingSlots)
{
    TPipeLine s;
    auto picture = [](int w) { return std::make_shared<const Bitmap>(Bitmap{w, 1, std::vector<std::uint32_t>(w)}); };
    BitmapRef first = picture(1);
    s.Backgrounds[1] = first;
    EditHistory h;
    h.Reset();
    h.Push(s);  // one floor with a picture
    s.EtagCount = 2;
    s.ActiveEtag = 2;
    h.Push(s);  // two floors, the second without a picture
    s.Backgrounds[1] = picture(2);
    s.Backgrounds[2] = picture(3);
    const Bitmap* second = s.Backgrounds[2].get();
    s.EtagCount = 3;
    first.reset();  // only the history holds the first picture now

    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.EtagCount, 2);
    EXPECT_EQ(s.ActiveEtag, 2);
    ASSERT_TRUE(s.Backgrounds[1]);
    EXPECT_EQ(s.Backgrounds[1]->Width, 1);
    EXPECT_EQ(s.Backgrounds[2].get(), second);
    const Bitmap* restored = s.Backgrounds[1].get();
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.EtagCount, 1);
    EXPECT_EQ(s.ActiveEtag, 1);
    EXPECT_EQ(s.Backgrounds[1].get(), restored);  // shared, not copied
}

TEST(EditHistory, SnapshotsShareWhatDidNotChange)
{
    TPipeLine s;
    for (int i = 0; i < 5000; ++i) Put(s, i, i);
    for (int i = 1; i < 5000; ++i) Join(s, i, i + 1, i);
    EditHistory h;
    h.Reset();
    h.Push(s);
    const std::size_t one = h.MemoryBytes();
    h.Push(s);
    const std::size_t same = h.MemoryBytes() - one;
    EXPECT_LT(same, 1000u);
    s.Nodes[3000].X = -1;
    h.Push(s);
    const std::size_t moved = h.MemoryBytes() - one - same;
    EXPECT_LT(moved, one / 5);
    for (TNode& n : s.Nodes) ++n.X;
    h.Push(s);
    EXPECT_GT(h.MemoryBytes() - one - same - moved, one / 2);
}

// Random edits, undos and redos on a scheme of several chunks: every
// restore must give exactly the state recorded in the slot it reads.
TEST(EditHistory, RestoresMatchRecordedStatesUnderRandomUse)
{
    std::mt19937 rng(7);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    TPipeLine s;
    for (int i = 0; i < 1500; ++i) Put(s, i, 0, kJunction);
    for (int i = 1; i < 1500; ++i) Join(s, i, i + 1, 1);
    EditHistory h;
    h.Reset();
    std::vector<std::string> expected(EditHistory::kSlots + 1);
    const char* names[] = {kDefaultNodeName, "А1", "", "Узел 5"};

    for (int step = 0; step < 300; ++step) {
        const int action = pick(10);
        if (action < 2) {
            if (h.Undo(s)) {
                EXPECT_EQ(Recorded(s), expected[h.HistoryPos() + 1]) << "undo at step " << step;
            }
            continue;
        }
        if (action < 4) {
            if (h.Redo(s)) {
                EXPECT_EQ(Recorded(s), expected[h.HistoryPos()]) << "redo at step " << step;
            }
            continue;
        }
        if (h.HistoryPos() == EditHistory::kSlots) expected.erase(expected.begin() + 1), expected.emplace_back();
        h.Push(s);
        expected[h.HistoryPos()] = Recorded(s);
        const int k = 1 + pick(NodeCount(s));
        switch (pick(7)) {
        case 0: s.Nodes[k].X += 1 + pick(5); break;
        case 1: s.Nodes[k].Name = names[pick(4)]; break;
        case 2: DeleteNode(s, k); break;
        case 3: Put(s, pick(100), pick(100), kInput, static_cast<std::uint8_t>(pick(10))); break;
        case 4: s.Areas[1 + pick(AreaCount(s))].Length = pick(50) / 4.0; break;
        case 5: SetFlowCount(s.Nodes[k], pick(4)), s.Nodes[k].Mobility = static_cast<std::uint8_t>(pick(10)); break;
        default: s.EtagCount = s.ActiveEtag = static_cast<std::uint8_t>(1 + pick(3)), s.VrSk = !s.VrSk; break;
        }
    }
}

}  // namespace
}  // namespace stelmar
