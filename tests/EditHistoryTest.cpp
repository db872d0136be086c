#include "model/EditHistory.h"
#include "model/SchemeBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "model/SchemeEditing.h"
#include "model/StepNames.h"

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
        out << int(n.Kind) << ' ' << int(n.Etag) << ' ' << n.People << ' ' << n.FlowCount << ' ' << n.F << ' ' << n.X << ' ' << n.Y << ' ' << n.SavedX << ' ' << n.SavedY << ' ' << n.Name << ' '
            << int(n.Mobility) << '\n';
    for (const TArea& a : s.Areas)
        out << a.Node1 << ' ' << a.Node2 << ' ' << int(a.Etag) << ' ' << a.Length << ' ' << a.Width << ' '
            << int(a.Kind) << '\n';
    return out.str();
}

// One edit made between Begin and End; true when it became a step.
template <class Change>
bool Edit(EditHistory& h, TPipeLine& s, Change change, std::string name = "правка")
{
    h.Begin(s);
    change();
    return h.End(s, std::move(name));
}

// S0 --A--> SA --B--> SB: undo gives SA then S0, redo gives SA then SB back.
TEST(EditHistory, UndoAndRedoWalkTheRecordedStates)
{
    TPipeLine s;
    Put(s, 10, 10);
    EditHistory h;
    h.Reset();
    EXPECT_FALSE(h.CanUndo() || h.CanRedo());

    EXPECT_TRUE(Edit(h, s, [&] { s.Nodes[1].X = 20; }, "A"));
    EXPECT_TRUE(h.CanUndo());
    EXPECT_TRUE(Edit(h, s, [&] { s.Nodes[1].X = 30; }, "B"));
    EXPECT_EQ(h.UndoSteps(), 2);
    EXPECT_FALSE(h.CanRedo());

    EXPECT_TRUE(h.Undo(s));
    EXPECT_EQ(s.Nodes[1].X, 20);
    EXPECT_TRUE(h.CanUndo() && h.CanRedo());
    EXPECT_TRUE(h.Undo(s));
    EXPECT_EQ(s.Nodes[1].X, 10);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_EQ(h.RedoSteps(), 2);

    EXPECT_TRUE(h.Redo(s));
    EXPECT_EQ(s.Nodes[1].X, 20);
    EXPECT_TRUE(h.Redo(s));  // the state after the last edit comes back
    EXPECT_EQ(s.Nodes[1].X, 30);
    EXPECT_FALSE(h.CanRedo());
    EXPECT_FALSE(h.Redo(s));
    EXPECT_EQ(s.Nodes[1].X, 30);

    // Alternating undo and redo stays between the same two states.
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(h.Undo(s));
        EXPECT_EQ(s.Nodes[1].X, 20);
        EXPECT_TRUE(h.Redo(s));
        EXPECT_EQ(s.Nodes[1].X, 30);
    }
    EXPECT_EQ(h.UndoSteps(), 2);
}

// Each step carries its name both ways: undo moves it to redo and back.
TEST(EditHistory, StepsCarryTheirNames)
{
    TPipeLine s;
    Put(s, 10, 10);
    EditHistory h;
    h.Reset();
    EXPECT_EQ(h.UndoName(), "");
    Edit(h, s, [&] { s.Nodes[1].X = 20; }, "перемещение узла 1");
    Edit(h, s, [&] { s.Nodes[1].Name = "А"; }, "имя узла 1");
    EXPECT_EQ(h.UndoName(), "имя узла 1");
    EXPECT_EQ(h.RedoName(), "");
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(h.UndoName(), "перемещение узла 1");
    EXPECT_EQ(h.RedoName(), "имя узла 1");
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(h.UndoName(), "");
    EXPECT_EQ(h.RedoName(), "перемещение узла 1");
    ASSERT_TRUE(h.Redo(s));
    EXPECT_EQ(h.UndoName(), "перемещение узла 1");
    EXPECT_EQ(h.RedoName(), "имя узла 1");
}

// An edit that leaves every recorded value as it was (a delete of nothing,
// a move by 0 pixels, a dialog accepted unchanged, a change of what the
// history does not record) is no step: what could be redone and the saved
// state stay. A change undone within the edit is no change either.
TEST(EditHistory, EditsThatChangeNothingLeaveNoTrace)
{
    TPipeLine s;
    Put(s, 10, 10);
    s.Backgrounds[1] = std::make_shared<const Bitmap>(Bitmap{1, 1, {0}});
    EditHistory h;
    h.Reset();
    Edit(h, s, [&] { s.Nodes[1].X = 20; }, "A");
    ASSERT_TRUE(h.Undo(s));
    h.MarkSaved();
    const std::uint64_t state = h.CurrentState();

    EXPECT_FALSE(Edit(h, s, [] {}));
    EXPECT_FALSE(Edit(h, s, [&] {
        s.Nodes[1].X = 50;
        s.Nodes[1].X = 10;
    }));
    EXPECT_FALSE(Edit(h, s, [&] {
        s.Nodes[1].Selected = true;
        s.FileName = "/p/a.stm";
    }));
    EXPECT_EQ(h.CurrentState(), state);
    EXPECT_TRUE(h.AtSavedState());
    EXPECT_FALSE(h.CanUndo());
    ASSERT_EQ(h.RedoSteps(), 1);
    EXPECT_EQ(h.RedoName(), "A");
    ASSERT_TRUE(h.Redo(s));
    EXPECT_EQ(s.Nodes[1].X, 20);

    // Each recorded kind of value is a change.
    const std::vector<std::function<void()>> changes = {
        [&] { s.Nodes[1].Mobility = 4; },   [&] { s.Nodes[1].F = 0.1; },
        [&] { s.Nodes[1].Name = "Б"; },     [&] { s.Nodes[1].FlowCount = 2; },
        [&] { s.Nodes[1].SavedY = 7; },     [&] { Put(s, 0, 0); },
        [&] { Join(s, 1, 2, 3); },          [&] { s.Areas[1].Width = 1.25; },
        [&] { s.Areas[1].Kind = kDoorway; }, [&] { s.EtagCount = 2; },
        [&] { s.ActiveEtag = 2; },          [&] { s.RazVr = true; },
        [&] { s.VrSk = true; },             [&] { s.Plans[2].Scale = 0.02; },
        [&] { s.Backgrounds[1] = std::make_shared<const Bitmap>(*s.Backgrounds[1]); },
        [&] { s.Backgrounds[1].reset(); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) EXPECT_TRUE(Edit(h, s, changes[i])) << "change " << i;
    for (std::size_t i = changes.size(); i-- > 0;) {
        ASSERT_TRUE(h.Undo(s));
        if (i == 13) {
            EXPECT_EQ(s.Plans[2].Scale, 0);
        }
    }
    EXPECT_EQ(s.EtagCount, 1);
    EXPECT_TRUE(s.Backgrounds[1]);
}

// "удаление 1 элемента", "21 элемента", "11 элементов"; a deletion counts
// the areas that go with a selected node and names a single element.
TEST(EditHistory, StepNamesCountInTheGenitive)
{
    EXPECT_EQ(CountGenitive(1, "элемента", "элементов"), "1 элемента");
    EXPECT_EQ(CountGenitive(3, "элемента", "элементов"), "3 элементов");
    EXPECT_EQ(CountGenitive(11, "элемента", "элементов"), "11 элементов");
    EXPECT_EQ(CountGenitive(21, "элемента", "элементов"), "21 элемента");
    EXPECT_EQ(CountGenitive(111, "элемента", "элементов"), "111 элементов");

    TPipeLine s;
    Put(s, 0, 0);
    Put(s, 10, 0);
    Put(s, 20, 0);
    Join(s, 1, 2, 1);
    Join(s, 2, 3, 1);
    s.Nodes[3].Name = "Выход";
    s.Nodes[2].Selected = true;
    EXPECT_EQ(DeletionStepName(s), "удаление 3 элементов");
    s.Nodes[2].Selected = false;
    s.Areas[2].Selected = true;
    EXPECT_EQ(DeletionStepName(s), "удаление участка 2-Выход");
    EXPECT_EQ(DeletionStepName(s, "вырезание"), "вырезание участка 2-Выход");
    s.Areas[2].Selected = false;
    s.Nodes[3].Selected = true;
    s.Nodes[1].Selected = true;
    EXPECT_EQ(SelectionStepName(s, "перемещение"), "перемещение 2 элементов");
    s.Nodes[1].Selected = false;
    EXPECT_EQ(SelectionStepName(s, "перемещение"), "перемещение узла Выход");
}

TEST(EditHistory, CommandsWithNothingToDoChangeNothing)
{
    TPipeLine s;
    Put(s, 1, 1);
    EditHistory h;
    h.Reset();
    EXPECT_FALSE(h.Undo(s));
    EXPECT_FALSE(h.Redo(s));
    EXPECT_EQ(s.Nodes[1].X, 1);
}

TEST(EditHistory, ANewEditDropsTheRedoChain)
{
    TPipeLine s;
    Put(s, 1, 1);
    EditHistory h;
    h.Reset();
    Edit(h, s, [&] { s.Nodes[1].X = 2; });
    Edit(h, s, [&] { s.Nodes[1].X = 3; });
    ASSERT_TRUE(h.Undo(s));
    ASSERT_TRUE(h.CanRedo());
    Edit(h, s, [&] { s.Nodes[1].X = 4; });
    EXPECT_FALSE(h.CanRedo());
    EXPECT_FALSE(h.Redo(s));
    EXPECT_EQ(s.Nodes[1].X, 4);
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.Nodes[1].X, 2);
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.Nodes[1].X, 1);
}

TEST(EditHistory, FiftyOneEditsKeepTheFiftyNewest)
{
    TPipeLine s;
    Put(s, 0, 0);
    EditHistory h;
    h.Reset();
    for (int edit = 1; edit <= 51; ++edit) Edit(h, s, [&] { s.Nodes[1].X = edit; });
    EXPECT_EQ(h.UndoSteps(), EditHistory::kSteps);
    int undos = 0;
    while (h.Undo(s)) ++undos;
    EXPECT_EQ(undos, 50);
    EXPECT_EQ(s.Nodes[1].X, 1);  // the state before the first edit is gone
    int redos = 0;
    while (h.Redo(s)) ++redos;
    EXPECT_EQ(redos, 50);
    EXPECT_EQ(s.Nodes[1].X, 51);
}

// The saved state is known again after undo and redo come back to it, and
// no other state passes for it.
TEST(EditHistory, SavedStateIsRecognised)
{
    TPipeLine s;
    Put(s, 0, 0);
    EditHistory h;
    h.Reset();
    EXPECT_FALSE(h.AtSavedState());  // a new project was never saved
    h.MarkSaved();
    EXPECT_TRUE(h.AtSavedState());
    Edit(h, s, [&] { s.Nodes[1].X = 1; });
    EXPECT_FALSE(h.AtSavedState());
    ASSERT_TRUE(h.Undo(s));
    EXPECT_TRUE(h.AtSavedState());
    ASSERT_TRUE(h.Redo(s));
    EXPECT_FALSE(h.AtSavedState());
    h.MarkSaved();  // saved after the edit
    ASSERT_TRUE(h.Undo(s));
    EXPECT_FALSE(h.AtSavedState());
    ASSERT_TRUE(h.Redo(s));
    EXPECT_TRUE(h.AtSavedState());

    // The same values reached by another edit are not the saved state.
    ASSERT_TRUE(h.Undo(s));
    Edit(h, s, [&] { s.Nodes[1].X = 1; });
    EXPECT_FALSE(h.AtSavedState());
    h.Reset();
    EXPECT_FALSE(h.AtSavedState());
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
    s.Nodes[1].FlowCount = 3;
    s.Areas[1].Width = 1.5;
    s.RazVr = true;
    const std::string before = Recorded(s);

    EditHistory h;
    h.Reset();
    h.Begin(s);
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
    ASSERT_TRUE(h.End(s, "правка"));

    const std::string after = Recorded(s);
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(Recorded(s), before);
    EXPECT_FALSE(s.Nodes[1].Selected);  // selection and highlight are cleared
    EXPECT_EQ(s.Nodes[1].CopyIndex, 7);
    EXPECT_EQ(s.FileName, "/p/a.stm");
    EXPECT_EQ(s.AreaWidth, 9);
    EXPECT_FALSE(s.Modified);
    ASSERT_TRUE(h.Redo(s));
    EXPECT_EQ(Recorded(s), after);
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
    Edit(h, s, [&] { DeleteNode(s, 1); });
    ASSERT_EQ(s.Nodes[1].Mobility, 3);
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.Nodes[1].Mobility, 2);
    EXPECT_EQ(s.Nodes[2].Mobility, 3);
    EXPECT_EQ(s.Nodes[3].Mobility, 0);
    EXPECT_EQ(MobilityText(s.Nodes[1]), "М3");
}

// Undo of a loaded or deleted picture and of a new floor gives back the
// pictures exactly, empty slots included; pictures are shared, not copied.
TEST(EditHistory, FloorsAndPicturesComeBackExactly)
{
    TPipeLine s;
    auto picture = [](int w) { return std::make_shared<const Bitmap>(Bitmap{w, 1, std::vector<std::uint32_t>(w)}); };
    BitmapRef first = picture(1);
    s.Backgrounds[1] = first;
    EditHistory h;
    h.Reset();
    Edit(h, s, [&] { s.EtagCount = s.ActiveEtag = 2; });  // a second floor, without a picture
    Edit(h, s, [&] { s.Backgrounds[2] = picture(3); });  // a picture is loaded there
    const Bitmap* loaded = s.Backgrounds[2].get();
    Edit(h, s, [&] { s.Backgrounds[1].reset(); });  // the first floor's picture is deleted
    first.reset();  // only the history holds the first picture now

    ASSERT_TRUE(h.Undo(s));
    ASSERT_TRUE(s.Backgrounds[1]);
    EXPECT_EQ(s.Backgrounds[1]->Width, 1);
    EXPECT_EQ(s.Backgrounds[2].get(), loaded);
    const Bitmap* restored = s.Backgrounds[1].get();
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.EtagCount, 2);
    EXPECT_FALSE(s.Backgrounds[2]);  // the loaded picture is taken back
    EXPECT_EQ(s.Backgrounds[1].get(), restored);  // shared, not copied
    ASSERT_TRUE(h.Undo(s));
    EXPECT_EQ(s.EtagCount, 1);
    EXPECT_EQ(s.ActiveEtag, 1);

    ASSERT_TRUE(h.Redo(s));
    ASSERT_TRUE(h.Redo(s));
    EXPECT_EQ(s.Backgrounds[2].get(), loaded);
    ASSERT_TRUE(h.Redo(s));
    EXPECT_FALSE(s.Backgrounds[1]);
}

TEST(EditHistory, SnapshotsShareWhatDidNotChange)
{
    TPipeLine s;
    for (int i = 0; i < 5000; ++i) Put(s, i, i);
    for (int i = 1; i < 5000; ++i) Join(s, i, i + 1, i);
    EditHistory h;
    h.Reset();
    Edit(h, s, [&] { s.Nodes[1].X = -1; });
    const std::size_t one = h.MemoryBytes();
    Edit(h, s, [&] { s.Nodes[3000].X = -1; });
    const std::size_t moved = h.MemoryBytes() - one;
    EXPECT_LT(moved, one / 5);
    Edit(h, s, [&] {
        for (TNode& n : s.Nodes) ++n.X;
    });
    ASSERT_TRUE(h.Undo(s));  // the state after the edit is kept for redo: every node anew
    EXPECT_GT(h.MemoryBytes() - one - moved, one / 2);
}

// Random edits, undos and redos on a scheme of several chunks, against a
// plain model of the two stacks of recorded states.
TEST(EditHistory, RestoresMatchRecordedStatesUnderRandomUse)
{
    std::mt19937 rng(7);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    TPipeLine s;
    for (int i = 0; i < 1500; ++i) Put(s, i, 0, kJunction);
    for (int i = 1; i < 1500; ++i) Join(s, i, i + 1, 1);
    EditHistory h;
    h.Reset();
    std::vector<std::string> undo, redo;
    const char* names[] = {kDefaultNodeName, "А1", "", "Узел 5"};

    for (int step = 0; step < 400; ++step) {
        const int action = pick(10);
        if (action < 2) {
            const std::string now = Recorded(s);
            ASSERT_EQ(h.Undo(s), !undo.empty());
            if (!undo.empty()) {
                EXPECT_EQ(Recorded(s), undo.back()) << "undo at step " << step;
                undo.pop_back();
                redo.push_back(now);
            }
            continue;
        }
        if (action < 4) {
            const std::string now = Recorded(s);
            ASSERT_EQ(h.Redo(s), !redo.empty());
            if (!redo.empty()) {
                EXPECT_EQ(Recorded(s), redo.back()) << "redo at step " << step;
                redo.pop_back();
                undo.push_back(now);
            }
            continue;
        }
        const std::string before = Recorded(s);
        h.Begin(s);
        const int k = 1 + pick(NodeCount(s));
        switch (pick(7)) {
        case 0: s.Nodes[k].X += 1 + pick(5); break;
        case 1: s.Nodes[k].Name = names[pick(4)]; break;
        case 2: DeleteNode(s, k); break;
        case 3: Put(s, pick(100), pick(100), kInput, static_cast<std::uint8_t>(pick(10))); break;
        case 4: s.Areas[1 + pick(AreaCount(s))].Length = pick(50) / 4.0; break;
        case 5: s.Nodes[k].FlowCount = pick(4), s.Nodes[k].Mobility = static_cast<std::uint8_t>(pick(10)); break;
        default: s.EtagCount = s.ActiveEtag = static_cast<std::uint8_t>(1 + pick(3)), s.VrSk = !s.VrSk; break;
        }
        const bool changed = Recorded(s) != before;
        ASSERT_EQ(h.End(s, "правка"), changed) << "edit at step " << step;
        if (changed) {
            undo.push_back(before);
            if (undo.size() > EditHistory::kSteps) undo.erase(undo.begin());
            redo.clear();
        }
        EXPECT_EQ(h.UndoSteps(), static_cast<int>(undo.size()));
    }
}

}  // namespace
}  // namespace stelmar
