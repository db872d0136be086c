#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <regex>
#include <set>

#include "calc/ElementFindings.h"
#include "calc/MovementTables.h"
#include "calc/Validation.h"
#include "model/ElementTable.h"
#include "model/ElementTableText.h"
#include "tests/TestSchemes.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

// Floor 1: input 1 -> junction 2; floor 2: exit 3; area 2 joins the floors.
TPipeLine TwoFloors()
{
    TPipeLine s;
    s.EtagCount = 2;
    SchemeBuilder b(s);
    const int input = b.Input({.People = 10});
    const int junction = b.Junction();
    const int exit = b.OnFloor(2).Exit();
    b.Area(input, junction, 5, 1.2);
    b.Area(junction, exit, 0, 0.9, kStairsUp);
    return s;
}

std::vector<int> Passing(const TPipeLine& s, bool nodes, const ElementFilter& filter)
{
    std::vector<int> out;
    for (int i = 1; i <= (nodes ? NodeCount(s) : AreaCount(s)); ++i)
        if (nodes ? NodePasses(s, i, filter) : AreaPasses(s, i, filter)) out.push_back(i);
    return out;
}

}  // namespace

TEST(ElementTable, FiltersByFloorKindSizeAndFindings)
{
    const TPipeLine s = TwoFloors();
    EXPECT_EQ(Passing(s, true, {}), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Passing(s, true, {.Floor = 2}), (std::vector<int>{3}));
    // An area lies on the floors of both its ends.
    EXPECT_EQ(Passing(s, false, {.Floor = 1}), (std::vector<int>{1, 2}));
    EXPECT_EQ(Passing(s, false, {.Floor = 2}), (std::vector<int>{2}));
    EXPECT_EQ(Passing(s, true, {.Kind = kJunction}), (std::vector<int>{2}));
    EXPECT_EQ(Passing(s, false, {.Kind = kStairsUp}), (std::vector<int>{2}));
    EXPECT_EQ(Passing(s, false, {.ZeroOnly = true}), (std::vector<int>{2}));
    EXPECT_EQ(Passing(s, false, {.Floor = 1, .ZeroOnly = true}), (std::vector<int>{2}));

    const std::vector<bool> findings{false, false, true};
    EXPECT_EQ(Passing(s, false, {.FindingsOnly = true, .Findings = &findings}), (std::vector<int>{2}));
    // Findings of another scheme state that are too short hide the rest.
    EXPECT_EQ(Passing(s, true, {.FindingsOnly = true, .Findings = &findings}), (std::vector<int>{2}));
    EXPECT_TRUE(Passing(s, true, {.FindingsOnly = true}).empty());
}

TEST(ElementTable, WritesOnlyWhatBelongsToTheElement)
{
    TPipeLine s = TwoFloors();
    EXPECT_TRUE(NodeCellWritable(s.Nodes[1], NodeColumn::People));
    for (NodeColumn c : {NodeColumn::People, NodeColumn::F, NodeColumn::Mobility})
        EXPECT_FALSE(NodeCellWritable(s.Nodes[3], c));
    EXPECT_TRUE(NodeCellWritable(s.Nodes[3], NodeColumn::Floor));
    EXPECT_FALSE(AreaCellWritable(s, s.Areas[1], AreaColumn::Floors));
    EXPECT_TRUE(AreaCellWritable(s, s.Areas[1], AreaColumn::Width));

    const CellValue wide{.Real = 1.2};
    EXPECT_FALSE(AreaCellDiffers(s.Areas[1], AreaColumn::Width, wide));
    EXPECT_TRUE(AreaCellDiffers(s.Areas[2], AreaColumn::Width, wide));
    SetAreaCell(s, 2, AreaColumn::Width, wide);
    SetAreaCell(s, 2, AreaColumn::Kind, {.Integer = kDoorway});
    EXPECT_EQ(s.Areas[2].Width, 1.2);
    EXPECT_EQ(s.Areas[2].Kind, kDoorway);

    SetNodeCell(s, 1, NodeColumn::Label, {.Text = "А-1"});
    SetNodeCell(s, 1, NodeColumn::People, {.Integer = 35});
    SetNodeCell(s, 1, NodeColumn::F, {.Real = 0.125});
    SetNodeCell(s, 1, NodeColumn::Mobility, {.Integer = 3});
    SetNodeCell(s, 2, NodeColumn::Kind, {.Integer = kExit});
    EXPECT_EQ(s.Nodes[1].Name, "А-1");
    EXPECT_EQ(s.Nodes[1].People, 35);
    EXPECT_EQ(s.Nodes[1].F, 0.125);
    EXPECT_EQ(s.Nodes[1].Mobility, 3);
    EXPECT_EQ(s.Nodes[2].Kind, kExit);
    EXPECT_FALSE(NodeCellDiffers(s.Nodes[1], NodeColumn::Label, {.Text = "А-1"}));

    // A node moved above the last floor adds the floors up to it; moving
    // it down again keeps them.
    SetNodeCell(s, 3, NodeColumn::Floor, {.Integer = 5});
    EXPECT_EQ(s.Nodes[3].Etag, 5);
    EXPECT_EQ(s.EtagCount, 5);
    SetNodeCell(s, 3, NodeColumn::Floor, {.Integer = 1});
    EXPECT_EQ(s.EtagCount, 5);
}

TEST(ElementTableText, RowsGoToASpreadsheetAndComeBack)
{
    const std::vector<std::vector<std::string>> rows = {
        {"1-2", "1", "Дверной проем", "0", "1,2"},
        {"a\tb", "with \"quotes\"", "\"leading", "two\nlines", ""},
    };
    const std::string text = TabSeparatedRows(rows);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "1-2\t1\tДверной проем\t0\t1,2\n");
    EXPECT_NE(text.find("\"a\tb\"\twith \"quotes\"\t\"\"\"leading\"\t\"two\nlines\"\t\n"), std::string::npos);
    EXPECT_EQ(SplitTabSeparated(text), rows);
}

TEST(ElementTableText, ColumnsPastedFromSpreadsheets)
{
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(SplitTabSeparated("1,2\r\n0,9\r\n"), (Rows{{"1,2"}, {"0,9"}}));
    EXPECT_EQ(SplitTabSeparated("1,2\n0,9"), (Rows{{"1,2"}, {"0,9"}}));
    EXPECT_EQ(SplitTabSeparated("1\r2\r"), (Rows{{"1"}, {"2"}}));
    // Empty cells and empty lines stay, so that the values keep their rows.
    EXPECT_EQ(SplitTabSeparated("1\n\n3\n"), (Rows{{"1"}, {""}, {"3"}}));
    EXPECT_EQ(SplitTabSeparated("a\t\tc\n"), (Rows{{"a", "", "c"}}));
    EXPECT_EQ(SplitTabSeparated(""), Rows{});
    EXPECT_EQ(SplitTabSeparated("\"\"\n"), (Rows{{""}}));
    // A quotation mark that does not close a whole cell is a character.
    EXPECT_EQ(SplitTabSeparated("\"abc\n"), (Rows{{"\"abc"}}));
    EXPECT_EQ(SplitTabSeparated("\"ab\"c\td"), (Rows{{"\"ab\"c", "d"}}));
    EXPECT_EQ(SplitTabSeparated("x\"y\"\n"), (Rows{{"x\"y\""}}));
}

namespace {

// The labels the messages name after "№": nodes as "5", areas as "5-7".
std::set<std::string> NamedLabels(const std::vector<std::string>& messages)
{
    static const std::regex label("№([0-9]+(-[0-9]+)?)");
    std::set<std::string> out;
    for (const std::string& m : messages)
        for (auto it = std::sregex_iterator(m.begin(), m.end(), label); it != std::sregex_iterator(); ++it)
            out.insert((*it)[1]);
    return out;
}

// Nodes of the connected parts that hold no exit.
std::vector<bool> InPartWithoutExit(const TPipeLine& s)
{
    std::vector<int> root(s.Nodes.size());
    std::iota(root.begin(), root.end(), 0);
    auto find = [&](int p) {
        while (root[p] != p) p = root[p] = root[root[p]];
        return p;
    };
    for (int i = 1; i <= AreaCount(s); ++i) root[find(s.Areas[i].Node1)] = find(s.Areas[i].Node2);
    std::vector<bool> hasExit(s.Nodes.size(), false);
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Kind == kExit) hasExit[find(i)] = true;
    std::vector<bool> out(s.Nodes.size(), false);
    for (int i = 1; i <= NodeCount(s); ++i) out[i] = !hasExit[find(i)];
    return out;
}

// A random scheme with random faults: stray nodes and areas, missing
// values, wrong kinds next to inputs, a second exit, loops, a part without
// an exit, groups without data.
// One scheme in four keeps its values and structure, so that groups
// without data are its only possible faults.
TPipeLine FaultyScheme(unsigned seed)
{
    std::mt19937 rng(seed);
    const bool faults = seed % 4 != 0;
    auto fault = [&](int percent) { return faults && static_cast<int>(rng() % 100) < percent; };
    TPipeLine s = RandomTree(seed, 3 + rng() % 8, 2 + rng() % 6, rng() % 2 ? 9 : 0);
    const int nodes = NodeCount(s);
    for (int extra = faults ? rng() % 3 : 0; extra > 0; --extra) {
        const auto kind = static_cast<std::uint8_t>(1 + rng() % 3);
        const int node = AddTestNode(s, kind, static_cast<int>(rng() % 3), 0.1);
        if (rng() % 10 < 7) Join(s, node, 1 + static_cast<int>(rng() % nodes), 3, 1);
    }
    for (int i = 1; i <= AreaCount(s); ++i) {
        TArea& a = s.Areas[i];
        if (fault(8)) a.Width = 0;
        if (fault(8)) a.Length = rng() % 2 ? 0 : -1;
        if (fault(5)) a.Kind = static_cast<std::uint8_t>(1 + rng() % 6);
    }
    for (int i = 1; i <= NodeCount(s); ++i) {
        if (fault(5)) s.Nodes[i].F = 0;
        if (fault(5)) s.Nodes[i].People = 0;
    }
    if (fault(20)) AddExit(s);
    // A loop between two nodes of the tree.
    if (fault(25)) Join(s, 1 + static_cast<int>(rng() % nodes), 1 + static_cast<int>(rng() % nodes), 2, 1);
    // A part of sound nodes that leads nowhere.
    if (fault(25)) {
        const int j = AddJunction(s);
        Join(s, AddInput(s, 5), j, 2, 1);
        Join(s, AddInput(s, 5), j, 2, 1);
    }
    return s;
}

}  // namespace

// The errors filter marks exactly the elements the messages of the checks
// name, and the nodes of a part without an exit, which no message names.
TEST(ElementFindings, MarkWhatTheChecksName)
{
    int withMessages = 0;
    int clean = 0;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE(seed);
        const TPipeLine s = FaultyScheme(seed);
        const std::vector<std::string> messages = ValidateScheme(s);
        const std::set<std::string> named = NamedLabels(messages);
        const ElementFindings findings = FindElementFindings(s);
        ASSERT_EQ(findings.Nodes.size(), s.Nodes.size());
        ASSERT_EQ(findings.Areas.size(), s.Areas.size());

        bool withoutExit = false;
        for (const std::string& m : messages) withoutExit |= m.find("не имеет ни одного выхода") != std::string::npos;
        const std::vector<bool> loose = InPartWithoutExit(s);
        std::set<std::string> marked;
        for (int i = 1; i <= NodeCount(s); ++i) {
            if (!findings.Nodes[i]) continue;
            if (!named.count(NodeLabel(s, i))) {
                EXPECT_TRUE(withoutExit && loose[i]) << "node " << i;
            }
            marked.insert(NodeLabel(s, i));
        }
        for (int i = 1; i <= AreaCount(s); ++i) {
            if (!findings.Areas[i]) continue;
            EXPECT_TRUE(named.count(AreaLabel(s, s.Areas[i]))) << "area " << i;
            marked.insert(AreaLabel(s, s.Areas[i]));
        }
        for (const std::string& label : named) EXPECT_TRUE(marked.count(label)) << label;
        for (int i = 1; withoutExit && i <= NodeCount(s); ++i) {
            EXPECT_TRUE(!loose[i] || findings.Nodes[i]) << "node " << i;
        }
        (messages.empty() ? clean : withMessages)++;
    }
    // Both kinds of scheme were tried.
    EXPECT_GT(withMessages, 100);
    EXPECT_GT(clean, 10);
}

TEST(ElementFindings, GroupWithoutDataMarksTheAreaAndTheInput)
{
    int group = 0;
    std::uint8_t kind = 0;
    for (int g = 1; g < 10 && !kind; ++g)
        for (std::uint8_t k = kStairsDown; k <= kRampUp && !kind; ++k)
            if (!GroupCoversPathKind(g, k)) {
                group = g;
                kind = k;
            }
    ASSERT_NE(kind, 0) << "every group has data for every path kind";

    TPipeLine s;
    const int input = AddInput(s, 10, 0.1, static_cast<std::uint8_t>(group));
    const int j = AddJunction(s);
    const int exit = AddExit(s);
    const int first = Join(s, input, j, 5, 1);
    const int uncovered = Join(s, j, exit, 5, 1, kind);
    ASSERT_EQ(ValidateScheme(s).size(), 1u);
    const ElementFindings findings = FindElementFindings(s);
    EXPECT_TRUE(findings.Areas[std::size_t(uncovered)]);
    EXPECT_TRUE(findings.Nodes[std::size_t(input)]);
    EXPECT_FALSE(findings.Areas[std::size_t(first)]);
    EXPECT_FALSE(findings.Nodes[std::size_t(j)]);
    EXPECT_FALSE(findings.Nodes[std::size_t(exit)]);
}
