#include "model/Scenarios.h"

#include <gtest/gtest.h>

#include "model/EditHistory.h"
#include "model/ProjectFile.h"
#include "model/SchemeEditing.h"
#include "model/TextCodec.h"
#include "TestSchemes.h"

namespace stelmar {
namespace {

using test::AddExit;
using test::AddInput;
using test::AddJunction;
using test::Join;

// Inputs 1, 2 and junction 3 lead to exit 4 and, by area 4, to exit 5.
TPipeLine TwoExits()
{
    TPipeLine s;
    const int a = AddInput(s, 10);
    const int b = AddInput(s, 20);
    const int j = AddJunction(s);
    const int e1 = AddExit(s);
    const int e2 = AddExit(s);
    Join(s, a, j, 10, 2);
    Join(s, b, j, 10, 2);
    Join(s, j, e1, 5, 1);
    Join(s, j, e2, 8, 1);
    return s;
}

TEST(Scenarios, ExclusionsAndTimesFollowDeletionsAndLeaveNotes)
{
    TPipeLine s = TwoExits();
    TScenario& blocked = EditScenario(s, 0);
    blocked.Name = "Выход 4 заблокирован";
    blocked.ExcludedNodes = {4};
    blocked.ExcludedAreas = {3};
    EditNodeTimes(blocked, 2).BlockTime = 4;
    EditNodeTimes(blocked, 5).BlockTime = 3;

    DeleteNode(s, 1);  // input 1 and area 1: everything behind moves down
    const TScenario& sc = s.Scenarios[0];
    EXPECT_EQ(sc.ExcludedNodes, std::vector<int>{3});
    EXPECT_EQ(sc.ExcludedAreas, std::vector<int>{2});
    ASSERT_EQ(sc.NodeTimes.size(), 2u);
    EXPECT_EQ(sc.NodeTimes[0].Node, 1);
    EXPECT_EQ(sc.NodeTimes[1].Node, 4);
    EXPECT_TRUE(sc.Notes.empty());

    // The excluded exit goes, with its area: both leave the scenario.
    DeleteNode(s, 3);
    EXPECT_TRUE(sc.ExcludedNodes.empty());
    EXPECT_TRUE(sc.ExcludedAreas.empty());
    EXPECT_EQ(sc.Notes, (std::vector<std::string>{"Участок №2-3, исключенный в сценарии, удален из схемы.",
                                                  "Узел №3 (выход), исключенный в сценарии, удален из схемы."}));
    EXPECT_EQ(sc.NodeTimes.back().Node, 3);

    // A selection: the times of a deleted node leave a note too.
    s.Nodes[3].Selected = true;
    DeleteSelection(s);
    EXPECT_EQ(sc.NodeTimes.size(), 1u);
    EXPECT_EQ(sc.Notes.back(), "Узел №3 (выход) с заданными в сценарии временами удален из схемы.");

    // A split excluded area goes on excluded.
    TScenario& again = s.Scenarios[0];
    again.ExcludedAreas = {1};
    const int node = AddJunction(s);
    SplitArea(s, 1, node);
    EXPECT_EQ(again.ExcludedAreas, (std::vector<int>{1, AreaCount(s)}));
}

TEST(Scenarios, UndoAndRedoRestoreTheScenarios)
{
    TPipeLine s = TwoExits();
    EditHistory history;
    history.Begin(s);
    EditScenario(s, 0).ExcludedNodes = {4};
    ASSERT_TRUE(history.End(s, "исключение узла №4")) << "a change of the scenarios alone is a step";
    history.Begin(s);
    DeleteNode(s, 4);
    ASSERT_TRUE(history.End(s, "удаление узла №4"));
    const TPipeLine afterDelete = s;
    ASSERT_TRUE(history.Undo(s));
    EXPECT_EQ(s.Scenarios[0].ExcludedNodes, std::vector<int>{4});
    EXPECT_TRUE(s.Scenarios[0].Notes.empty());
    ASSERT_TRUE(history.Undo(s));
    EXPECT_TRUE(s.Scenarios.empty());
    ASSERT_TRUE(history.Redo(s));
    ASSERT_TRUE(history.Redo(s));
    EXPECT_EQ(s.Scenarios, afterDelete.Scenarios);
}

TEST(Scenarios, FileKeepsScenariosAndEarlierReadersReadTheScheme)
{
    TPipeLine s = TwoExits();
    const std::string withoutScenarios = ProjectText(s, ',', nullptr).value();
    s.Scenarios = {TScenario{.Name = "Основной", .StartDelay = 1.5, .BlockTime = 6, .ExcludedAreas = {4}},
                   TScenario{.Name = "Выход 4 заблокирован ≤ 6 мин",
                             .ExcludedNodes = {4},
                             .NodeTimes = {{.Node = 1, .StartDelay = 2, .BlockTime = 5.25}, {.Node = 3, .BlockTime = 4}},
                             .Notes = {"не хранится"}}};
    s.ActiveScenario = 1;
    const std::string text = ProjectText(s, ',', nullptr).value();
    ASSERT_EQ(text.substr(0, withoutScenarios.size()), withoutScenarios);
    EXPECT_EQ(Cp1251ToUtf8(text.substr(withoutScenarios.size())).value(),
              "Дополнительные данные:\r\nВерсия: 1\r\nscenario.active=2\r\nscenario.1.name=Основной\r\n"
              "scenario.1.tne=1.5\r\nscenario.1.tbl=6\r\nscenario.1.excluded.areas=4\r\n"
              "scenario.2.name=Выход 4 заблокирован \\u2264 6 мин\r\nscenario.2.excluded.nodes=4\r\n"
              "scenario.2.node.1.tne=2\r\nscenario.2.node.1.tbl=5.25\r\nscenario.2.node.3.tbl=4\r\n");

    const ProjectReadResult read = ParseProject(text, "p.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    EXPECT_TRUE(read.Warnings.empty());
    s.Scenarios[1].Notes.clear();
    EXPECT_EQ(read.Scheme->Scenarios, s.Scenarios);
    EXPECT_EQ(read.Scheme->ActiveScenario, 1);
    TPipeLine live;
    AdoptProject(live, TPipeLine(*read.Scheme));
    EXPECT_EQ(live.Scenarios, s.Scenarios);
    EXPECT_EQ(ActiveScenarioIndex(live), 1);
}

TEST(Scenarios, DamagedScenarioDataIsReportedAndLeftOut)
{
    const std::string fixed = ProjectText(TwoExits(), '.', nullptr).value();
    const std::string block = Utf8ToCp1251(
                                  "Дополнительные данные:\r\nВерсия: 1\r\nscenario.1.name=А\r\nscenario.1.tbl=0\r\n"
                                  "scenario.1.tne=-1\r\nscenario.1.excluded.nodes=2 9\r\nscenario.1.node.3.tbl=x\r\n"
                                  "scenario.1.excluded.areas=4,2\r\nscenario.1.future=1\r\nscenario.99999.name=Б\r\n")
                                  .value();
    const ProjectReadResult read = ParseProject(fixed + block, "p.stm");
    ASSERT_TRUE(read.Scheme);
    ASSERT_EQ(read.Warnings.size(), 6u);
    EXPECT_EQ(read.Warnings[0],
              "Файл \"p.stm\": дополнительные данные «scenario.1.tbl» повреждены (время блокирования t_бл должно "
              "быть больше нуля); они пропущены, схема прочитана.");
    EXPECT_NE(read.Warnings[1].find("не может быть отрицательным"), std::string::npos);
    EXPECT_NE(read.Warnings[2].find("номер элемента вне схемы"), std::string::npos);
    EXPECT_NE(read.Warnings[3].find("«x» не является числом"), std::string::npos);
    EXPECT_NE(read.Warnings[5].find("номер сценария вне допустимого диапазона"), std::string::npos);
    ASSERT_EQ(read.Scheme->Scenarios.size(), 1u);
    const TScenario& sc = read.Scheme->Scenarios[0];
    EXPECT_EQ(sc.Name, "А");
    EXPECT_FALSE(sc.BlockTime);
    EXPECT_EQ(sc.StartDelay, 0);
    EXPECT_TRUE(sc.ExcludedNodes.empty());
    EXPECT_TRUE(sc.NodeTimes.empty());
    // A field of a later version is kept for writing back.
    ASSERT_EQ(read.Scheme->KeptExtension.size(), 1u);
    EXPECT_EQ(read.Scheme->KeptExtension[0].Key, "scenario.1.future");
}

}  // namespace
}  // namespace stelmar
