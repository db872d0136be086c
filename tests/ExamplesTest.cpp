#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "calc/FlowCalculation.h"
#include "calc/ScenarioCalculation.h"
#include "calc/ScenarioChecks.h"
#include "calc/LengthCheck.h"
#include "calc/Validation.h"
#include "examples/ExamplePlans.h"
#include "examples/ExampleProjects.h"
#include "model/ProjectFile.h"
#include "tests/TestFiles.h"

using namespace stelmar;
using test::ReadAll;

TEST(Examples, FilesAreWhatTheWriterWrites)
{
    for (const auto& example : examples::ExampleProjects()) {
        std::string error;
        const auto text = ProjectText(example.Scheme, ',', &error);
        ASSERT_TRUE(text) << error;
        EXPECT_EQ(*text, ReadAll(std::string(STELMAR_EXAMPLES_DIR) + "/" + example.FileName))
            << example.FileName << " is out of date: build/make_examples examples";
    }
}

TEST(Examples, CalculateToKnownTimes)
{
    const std::map<std::string, std::string> expected = {
        {"school-wing.stm", "Итак, общее расчетное время эвакуации = 3,055 мин."},
        {"care-home.stm", "Итак, общее расчетное время эвакуации = 3,871 мин."},
        {"office-floor.stm", "Итак, общее расчетное время эвакуации = 2,574 мин."},
    };
    for (const auto& [name, line] : expected) {
        ProjectReadResult read = ReadProjectFile(std::string(STELMAR_EXAMPLES_DIR) + "/" + name);
        ASSERT_TRUE(read.Scheme) << read.Error;
        ASSERT_EQ(ValidateScheme(*read.Scheme), std::vector<std::string>{}) << name;
        EXPECT_EQ(Calculate(*read.Scheme, ','), line);
    }
}

TEST(Examples, TwoExitsScenariosPassTheChecksAndOneFailsTheCondition)
{
    ProjectReadResult read = ReadProjectFile(std::string(STELMAR_EXAMPLES_DIR) + "/two-exits.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    const TPipeLine& s = *read.Scheme;
    EXPECT_FALSE(ValidateScheme(s).empty()) << "drawn, the corridor leads to both exits";
    ASSERT_TRUE(CheckScenarios(s).empty());
    const std::vector<ScenarioRun> runs = CalculateScenarios(s, ',');
    ASSERT_EQ(runs.size(), 3u);
    const std::vector<std::string> lines = {"Итак, общее расчетное время эвакуации = 2,382 мин.",
                                            "Итак, общее расчетное время эвакуации = 2,486 мин.",
                                            "Итак, общее расчетное время эвакуации = 2,498 мин."};
    const std::vector<Verdict> verdicts = {Verdict::Met, Verdict::Met, Verdict::Failed};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].ResultLine, lines[i]) << runs[i].Name;
        EXPECT_EQ(runs[i].Check.Result, verdicts[i]) << runs[i].Name;
    }
    EXPECT_EQ(runs[0].Check.Points.size(), 1u) << "the stair's entrance is a check point";
    EXPECT_EQ(WorstScenario(runs), 2);
}

// The example drawn over plans is what the writer writes over the plan
// files beside it; its floors are lined up, so its stair joins points that
// lie above each other; its paths take their lengths from the drawing,
// none far from it; it passes the checks and calculates.
TEST(Examples, PlansExampleIsDrawnToScaleOverItsPlans)
{
    const std::string folder = STELMAR_EXAMPLES_DIR;
    const examples::ExampleProject example =
        examples::PlansExample({ReadAll(folder + "/office-plans.pl1.pdf"), {}});
    EXPECT_EQ(ProjectText(example.Scheme, ',', nullptr), ReadAll(folder + "/office-plans.stm"))
        << "out of date: build/make_examples examples";
    EXPECT_EQ(ReadAll(folder + "/office-plans.pl2.dxf"), examples::FloorTwoDxf());

    const ProjectReadResult read = ReadProjectFile(folder + "/office-plans.stm");
    ASSERT_TRUE(read.Scheme) << read.Error;
    EXPECT_EQ(read.Warnings, std::vector<std::string>{});
    const TPipeLine& s = *read.Scheme;
    EXPECT_TRUE(s.Plans[1].Source->Bytes.starts_with("%PDF-"));
    EXPECT_EQ(s.Plans[2].Source->Kind, "dxf");
    EXPECT_TRUE(s.Backgrounds[1] && s.Backgrounds[2]);
    EXPECT_EQ(s.Plans[2].OffsetY, 40);
    int stairs = 0;
    for (int i = 1; i <= AreaCount(s); ++i) {
        const TArea& a = s.Areas[i];
        if (a.Kind == kStairsDown) {
            ++stairs;
            EXPECT_EQ(s.Nodes[a.Node1].X, s.Nodes[a.Node2].X);
            EXPECT_EQ(s.Nodes[a.Node1].Y, s.Nodes[a.Node2].Y);
        }
        EXPECT_EQ(a.Drawn, a.Kind == kHorizontal) << "area " << i;
    }
    EXPECT_EQ(stairs, 1);
    EXPECT_TRUE(CheckDrawnLengths(s, ',').empty());
    ASSERT_EQ(ValidateScheme(s), std::vector<std::string>{});
    TPipeLine calculated = s;
    EXPECT_EQ(Calculate(calculated, ','), "Итак, общее расчетное время эвакуации = 2,925 мин.");
}
