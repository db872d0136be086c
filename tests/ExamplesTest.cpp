#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "calc/FlowCalculation.h"
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
