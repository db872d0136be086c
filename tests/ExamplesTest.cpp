#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "calc/FlowCalculation.h"
#include "calc/ScenarioCalculation.h"
#include "calc/ScenarioChecks.h"
#include "calc/Validation.h"
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
