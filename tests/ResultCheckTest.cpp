// Absurd numbers that pass the checks of the data but overflow the
// calculation are refused after it, naming the area, instead of reaching a
// report as "= INF мин.".

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "calc/FlowCalculation.h"
#include "calc/ResultCheck.h"
#include "calc/Validation.h"
#include "tests/TestSchemes.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

std::string Failure(const std::string& area)
{
    return "Ошибка: расчет на участке №" + area +
           " дает недопустимое значение (бесконечность или неопределенность); проверьте длину и ширину участков, "
           "число людей и площадь горизонтальной проекции человека;";
}

TEST(ResultCheck, FiniteResultsPass)
{
    TPipeLine s = Corridor();
    Calculate(s, ',');
    EXPECT_EQ(CheckResults(s), std::nullopt);
    TPipeLine tree = RandomTree(7, 20, 15);
    tree.RazVr = true;
    tree.VrSk = true;
    ASSERT_TRUE(ValidateScheme(tree).empty());
    Calculate(tree, ',');
    EXPECT_EQ(CheckResults(tree), std::nullopt);
}

TEST(ResultCheck, OverflowingValuesNameTheirArea)
{
    struct Case {
        const char* what;
        std::function<void(TPipeLine&)> change;
        const char* area;
    };
    const Case cases[] = {
        {"length 1e308", [](TPipeLine& s) { s.Areas[1].Length = 1e308; }, "1-2"},
        {"f 1e308", [](TPipeLine& s) { s.Nodes[1].F = 1e308; }, "1-2"},
        // The wide area itself stays finite; the next one is not.
        {"width 1e308", [](TPipeLine& s) { s.Areas[1].Width = 1e308; }, "2-Выход"},
        {"width 1e-320", [](TPipeLine& s) { s.Areas[1].Width = 1e-320; }, "1-2"},
        {"doorway width 1e-320", [](TPipeLine& s) { s.Areas[2].Width = 1e-320; }, "2-Выход"},
        {"second area drawn backwards", [](TPipeLine& s) {
             s.Areas[2] = TArea{3, 2, 1, 1e308, 1.2, kHorizontal};
         }, "Выход-2"},
    };
    for (const Case& c : cases) {
        TPipeLine s = Corridor();
        c.change(s);
        ASSERT_TRUE(ValidateScheme(s).empty()) << c.what;
        Calculate(s, ',');
        EXPECT_EQ(CheckResults(s), Failure(c.area)) << c.what;
    }
}

// Values outside the steps (exit times, t_p) count as well.
TEST(ResultCheck, EveryPrintedValueIsLookedAt)
{
    const std::string general =
        "Ошибка: расчет дает недопустимое значение (бесконечность или неопределенность); проверьте длину и ширину "
        "участков, число людей и площадь горизонтальной проекции человека;";
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::function<void(TPipeLine&)> changes[] = {
        [&](TPipeLine& s) { s.EvacuationTime = inf; },
        [&](TPipeLine& s) { s.ExitTimes.back() = nan; },
    };
    for (const auto& change : changes) {
        TPipeLine s = Corridor();
        Calculate(s, ',');
        change(s);
        EXPECT_EQ(CheckResults(s), general);
    }
    TPipeLine s = Corridor();
    Calculate(s, ',');
    s.Reports[2].Merged.push_back({1, nan, 1});
    EXPECT_EQ(CheckResults(s), Failure("2-Выход"));
}

}  // namespace
