#include "calc/ScenarioCalculation.h"

#include <gtest/gtest.h>

#include <sstream>

#include "calc/FlowCalculation.h"
#include "calc/ReportCommon.h"
#include "calc/ReportWriter.h"
#include "calc/ScenarioChecks.h"
#include "calc/ScenarioReport.h"
#include "calc/Validation.h"
#include "model/Scenarios.h"
#include "model/TextCodec.h"
#include "TestSchemes.h"

namespace stelmar {
namespace {

using test::AddExit;
using test::AddInput;
using test::AddJunction;
using test::Join;

// 40 people (f = 0,1) over 20 × 2 m to the exit: D = 0,1, v = 80, t = 0,25.
TPipeLine OneRoom()
{
    TPipeLine s;
    s.Precision = 2;
    const int input = AddInput(s, 40);
    Join(s, input, AddExit(s), 20, 2);
    return s;
}

// A room whose corridor (junction 2) leads to exit 3 over 10 m and to
// exit 4 over 30 m, all 2 m wide: as drawn, two exits in one part.
TPipeLine CorridorWithTwoExits()
{
    TPipeLine s;
    s.Precision = 2;
    const int input = AddInput(s, 40);
    const int corridor = AddJunction(s);
    const int exit1 = AddExit(s);
    const int exit2 = AddExit(s);
    Join(s, input, corridor, 20, 2);
    Join(s, corridor, exit1, 10, 2);  // area 2
    Join(s, corridor, exit2, 30, 2);  // area 3
    return s;
}

TEST(ScenarioCheck, ConditionMetOrFailedByTheTimeWithScenarioAndInputTimes)
{
    TPipeLine s = OneRoom();
    TScenario& normal = EditScenario(s, 0);
    normal.StartDelay = 0.5;
    normal.BlockTime = 1;
    TScenario late = normal;
    late.Name = "Оповещение позже";
    EditNodeTimes(late, 1).StartDelay = 0.6;  // the room's own t_нэ
    s.Scenarios.push_back(late);
    ASSERT_TRUE(CheckScenarios(s).empty());

    const std::vector<ScenarioRun> runs = CalculateScenarios(s, ',');
    ASSERT_EQ(runs.size(), 2u);
    const InputCheck& met = runs[0].Check.Inputs.at(0);
    EXPECT_DOUBLE_EQ(met.EvacuationTime, 0.25);
    EXPECT_DOUBLE_EQ(met.Total, 0.75);
    EXPECT_DOUBLE_EQ(met.Allowed, 0.8);
    EXPECT_EQ(met.Result, Verdict::Met);
    EXPECT_EQ(runs[0].Check.Result, Verdict::Met);
    EXPECT_EQ(ReasonText(met, ','), "t_р + t_нэ = 0,75 мин ≤ 0,8·t_бл = 0,8 мин; t_ск = 0 мин ≤ 6 мин");

    const InputCheck& failed = runs[1].Check.Inputs.at(0);
    EXPECT_DOUBLE_EQ(failed.StartDelay, 0.6);
    EXPECT_DOUBLE_EQ(failed.Total, 0.85);
    EXPECT_FALSE(failed.TimeMet);
    EXPECT_TRUE(failed.AccumulationMet);
    EXPECT_EQ(runs[1].Check.Result, Verdict::Failed);
    EXPECT_EQ(WorstScenario(runs), 1);

    // Exactly at the limit is met, whatever the last bit of 0,8 · t_бл.
    EditNodeTimes(s.Scenarios[1], 1).StartDelay = 0.55;
    EXPECT_EQ(CalculateScenario(s, 1, ',').Check.Result, Verdict::Met);
    // Without t_бл nothing is checked.
    s.Scenarios[0].BlockTime.reset();
    EXPECT_EQ(CalculateScenario(s, 0, ',').Check.Result, Verdict::NotChecked);
}

// Three rooms of 150 people (f = 0,1) over 20 × 5 m (D = 0,15, q = 10,
// v = 70, t = 0,29) meet in a corridor 0,5 m wide and 10 m long: S = 150,
// q = 300 is above the peak, q_пред = 13,5, v_пред = 15, delay
// R(45 · (1/6,75 − 1/150)) = 6,37, t = R(10/15 + 6,37) = 7,04, total 7,33,
// accumulation R(45 / 6,75) = 6,67.
TEST(ScenarioCheck, AccumulationAboveSixMinutesFailsWhateverTheAccumulationOption)
{
    TPipeLine s;
    s.Precision = 2;
    s.VrSk = false;
    const int corridor = AddJunction(s);
    const int exit = AddExit(s);
    for (int i = 0; i < 3; ++i) Join(s, AddInput(s, 150), corridor, 20, 5);
    Join(s, corridor, exit, 10, 0.5);
    EditScenario(s, 0).BlockTime = 10;

    TPipeLine plain = s;
    plain.Scenarios.clear();
    Calculate(plain, ',');

    const ScenarioRun run = CalculateScenario(s, 0, ',');
    for (const InputCheck& c : run.Check.Inputs) {
        EXPECT_DOUBLE_EQ(c.EvacuationTime, 7.33);
        EXPECT_DOUBLE_EQ(c.AccumTime, 6.67);
        EXPECT_TRUE(c.TimeMet);  // 7,33 ≤ 8
        EXPECT_FALSE(c.AccumulationMet);
        EXPECT_EQ(c.Result, Verdict::Failed);
    }
    // The results read as a calculation without accumulation times.
    EXPECT_DOUBLE_EQ(run.Built.Scheme.EvacuationTime, plain.EvacuationTime);
    ASSERT_EQ(run.Built.Scheme.Reports.size(), plain.Reports.size());
    for (std::size_t k = 1; k < plain.Reports.size(); ++k) {
        EXPECT_EQ(run.Built.Scheme.Reports[k].AccumTime, 0);
        EXPECT_EQ(run.Built.Scheme.Reports[k].TotalTime, plain.Reports[k].TotalTime);
    }
}

TEST(ScenarioCheck, BlockedExitSendsTheFlowTheOtherWay)
{
    TPipeLine s = CorridorWithTwoExits();
    EditScenario(s, 0).Name = "Норма";
    TScenario exit1Blocked{.Name = "Выход 1 заблокирован", .ExcludedAreas = {2}};
    TScenario exit2Blocked{.Name = "Выход 2 заблокирован", .ExcludedNodes = {4}};
    s.Scenarios.push_back(exit1Blocked);
    s.Scenarios.push_back(exit2Blocked);

    // As drawn the corridor has two exits: the normal scenario, which
    // excludes nothing, fails the checks and says so.
    const std::vector<Finding> findings = CheckScenarios(s);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].Message,
              "Сценарий «Норма»: Ошибка: в одном потоке не допускается наличие двух выходов (Узел №4);");
    EXPECT_EQ(findings[0].Element, (ElementRef{ElementKind::Node, 4, 1}));
    s.Scenarios[0].ExcludedAreas = {3};  // the normal way is exit 1
    ASSERT_TRUE(CheckScenarios(s).empty());

    const std::vector<ScenarioRun> runs = CalculateScenarios(s, ',');
    // 0,25 to the corridor, then q = 8, v = 80 over 10 m (0,12) or 30 m (0,38).
    EXPECT_DOUBLE_EQ(runs[0].Built.Scheme.EvacuationTime, 0.37);
    EXPECT_DOUBLE_EQ(runs[1].Built.Scheme.EvacuationTime, 0.63);
    EXPECT_DOUBLE_EQ(runs[2].Built.Scheme.EvacuationTime, 0.37);
    EXPECT_DOUBLE_EQ(runs[1].Check.Inputs.at(0).EvacuationTime, 0.63);

    // The results shown on the drawing name the drawn scheme's elements.
    TPipeLine shown = s;
    ShowScenarioResults(shown, runs[1]);
    ASSERT_EQ(ReportCount(shown), 2);
    EXPECT_EQ(shown.Reports[2].Area, 3);
    EXPECT_EQ(shown.Reports[2].Downstream, 4);
    EXPECT_EQ(ToLabel(shown, shown.Reports[2]), "4");
    EXPECT_EQ(shown.Nodes[4].FlowCount, 1);
    EXPECT_EQ(shown.Nodes[3].FlowCount, 0);
}

// Input 1 on floor 2 reaches the stair's entrance (junction 2) over
// 20 × 2 m at 0,25; the stair down (10 × 2 m, q = 8, v = 96,67, t = 0,1)
// and 5 m to the exit (v = 80, t = 0,06) end at 0,41.
TEST(ScenarioCheck, StairEntranceWithItsOwnBlockTime)
{
    TPipeLine s;
    s.Precision = 2;
    s.EtagCount = 2;
    SchemeBuilder b(s);
    b.OnFloor(2);
    const int input = b.Input({.People = 40});
    const int entrance = b.Junction();
    b.OnFloor(1);
    const int landing = b.Junction();
    const int exit = b.Exit();
    b.Area(input, entrance, 20, 2);
    b.Area(entrance, landing, 10, 2, kStairsDown);
    b.Area(landing, exit, 5, 2);
    TScenario& sc = EditScenario(s, 0);
    sc.StartDelay = 0.5;
    sc.BlockTime = 5;
    EditNodeTimes(sc, entrance).BlockTime = 0.9;

    const ScenarioRun run = CalculateScenario(s, 0, ',');
    ASSERT_EQ(run.Check.Inputs.size(), 1u);
    EXPECT_DOUBLE_EQ(run.Check.Inputs[0].EvacuationTime, 0.41);
    EXPECT_EQ(run.Check.Inputs[0].Result, Verdict::Met);
    ASSERT_EQ(run.Check.Points.size(), 1u);
    const PointCheck& p = run.Check.Points[0];
    EXPECT_EQ(p.Node, entrance);
    EXPECT_EQ(p.Flow, 1);
    EXPECT_EQ(p.People, 40);
    EXPECT_DOUBLE_EQ(p.PassTime, 0.25);
    EXPECT_DOUBLE_EQ(p.StartDelay, 0.5);
    EXPECT_DOUBLE_EQ(p.Allowed, 0.72);
    EXPECT_EQ(p.Result, Verdict::Failed);  // 0,75 > 0,72
    EXPECT_EQ(run.Check.Result, Verdict::Failed);
    EXPECT_EQ(ReasonText(p, ','), "t + t_нэ = 0,75 мин > 0,8·t_бл = 0,72 мин");
}

TEST(ScenarioCheck, PeopleLeftWithoutAnExitAreNamedWithTheScenario)
{
    TPipeLine s = CorridorWithTwoExits();
    const int second = AddInput(s, 10);  // node 5
    Join(s, second, 2, 5, 1);
    s.Scenarios = {TScenario{.Name = "Оба выхода", .ExcludedNodes = {3, 4}}};
    const std::vector<Finding> findings = CheckScenarios(s);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].Message, "Ошибка: в сценарии «Оба выхода» у входов №1, 5 не остается ни одного выхода;");
    EXPECT_EQ(findings[0].Element, (ElementRef{ElementKind::Node, 1, 1}));
}

// A scenario calculates as the scheme drawn without its excluded elements:
// a random tree with a second exit hung on it, the second exit excluded.
TEST(ScenarioCheck, ScenarioEqualsTheSchemeBuiltWithoutTheExcludedElements)
{
    int compared = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        TPipeLine tree = test::RandomTree(seed, 12, 8, seed % 3 == 0 ? 3 : 0);
        tree.Precision = 3;
        tree.RazVr = seed % 2 == 0;
        if (!ValidateScheme(tree).empty()) continue;
        ++compared;
        TPipeLine drawn = tree;
        const int exit2 = AddExit(drawn);
        const int branch = 2 + static_cast<int>(seed % 12);  // a junction of the tree
        Join(drawn, branch, exit2, 7, 1.5);
        drawn.Scenarios = {TScenario{.ExcludedNodes = {exit2}}};
        ASSERT_FALSE(ValidateScheme(drawn).empty());
        ASSERT_TRUE(CheckScenarios(drawn).empty()) << seed;

        Calculate(tree, ',');
        const ScenarioRun run = CalculateScenario(drawn, 0, ',');
        EXPECT_EQ(run.Built.Scheme.EvacuationTime, tree.EvacuationTime) << seed;
        ASSERT_EQ(run.Built.Scheme.Reports.size(), tree.Reports.size()) << seed;
        for (std::size_t k = 1; k < tree.Reports.size(); ++k) {
            EXPECT_EQ(run.Built.Scheme.Reports[k].TotalTime, tree.Reports[k].TotalTime);
            EXPECT_EQ(FromLabel(run.Built.Scheme, run.Built.Scheme.Reports[k]), FromLabel(tree, tree.Reports[k]));
        }
        // Every input's t_р is the time its flow leaves by the exit.
        for (const InputCheck& c : run.Check.Inputs) EXPECT_LE(c.EvacuationTime, tree.EvacuationTime);
    }
    EXPECT_GE(compared, 25);
}

TEST(ScenarioCheck, ProjectWithoutScenariosCalculatesAndReportsAsItsScheme)
{
    for (const bool full : {true, false}) {
        TPipeLine s = test::RandomTree(7, 20, 12);
        s.FullReport = full;
        ASSERT_TRUE(CheckScenarios(s).empty());
        const std::vector<ScenarioRun> runs = CalculateScenarios(s, ',');
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].Name, kMainScenarioName);
        TPipeLine plain = s;
        const std::string line = Calculate(plain, ',');
        EXPECT_EQ(runs[0].ResultLine, line);
        std::ostringstream expected, scenarios;
        BuildReport(plain, ',', expected);
        BuildScenarioReport(s, runs, ',', scenarios);
        EXPECT_EQ(scenarios.str(), expected.str());
    }
}

TEST(ScenarioReport, CheckWrittenOutPerScenarioWithEscapedSymbols)
{
    TPipeLine s = CorridorWithTwoExits();
    s.Scenarios = {TScenario{.Name = "Норма", .StartDelay = 0.5, .BlockTime = 1, .ExcludedAreas = {3}},
                   TScenario{.Name = "Выход 1 заблокирован", .StartDelay = 0.5, .BlockTime = 1, .ExcludedAreas = {2}}};
    const std::vector<ScenarioRun> runs = CalculateScenarios(s, ',');
    std::ostringstream out;
    BuildScenarioReport(s, runs, ',', out);
    const std::string rtf = out.str();
    const auto count = [&rtf](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = rtf.find(what); at != std::string::npos; at = rtf.find(what, at + 1)) ++n;
        return n;
    };
    const auto cp1251 = [](const char* text) { return Utf8ToCp1251(text).value(); };
    EXPECT_EQ(count(cp1251("Проверка условия безопасной эвакуации")), 2u);
    EXPECT_EQ(count(cp1251("Сценарий «Норма»")), 1u);
    EXPECT_EQ(count(cp1251("Заблокировано пожаром: участок №2-3.")), 1u);
    // 0,37 + 0,5 = 0,87 > 0,8 and 0,63 + 0,5 = 1,13 > 0,8, the ≤ and > in the
    // condition's statement written as a Unicode escape.
    EXPECT_NE(rtf.find(cp1251(" = 0,37 + 0,5 = 0,87 мин > 0,8 ")), std::string::npos);
    EXPECT_NE(rtf.find(cp1251(" = 0,63 + 0,5 = 1,13 мин > 0,8 ")), std::string::npos);
    // Twice in each statement of the condition, and in each t_ск equation
    // and its shown result.
    EXPECT_EQ(count("\\u8804\\'3f"), 8u);
    EXPECT_EQ(count(cp1251("(наиболее опасный сценарий)")), 1u);
}

}  // namespace
}  // namespace stelmar
