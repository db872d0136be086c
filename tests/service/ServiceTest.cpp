// The request handling of the calculation service: reports equal to what
// the engine and the command-line calculator write, and a page that says
// what is wrong for every kind of bad request.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "calc/ReportCommon.h"
#include "model/NumberText.h"
#include "service/ServicePages.h"
#include "tests/TestSchemes.h"
#include "tests/service/ServiceTestSupport.h"

namespace stelmar::test {
namespace {

namespace fs = std::filesystem;

// Runs build/stelmar-calc on `project` and returns the report it writes.
std::string CalculatorReport(const std::string& project, const Options& o, const fs::path& dir,
                             const std::string& more = {})
{
    const fs::path report = dir / "report.rtf";
    fs::remove(report);
    const std::string command = std::string("LC_ALL=C.UTF-8 ") + STELMAR_CALC_BINARY + " " + project +
                                " --decimal-separator , --precision " + std::to_string(o.Precision) +
                                " --raz-vr " + (o.RazVr ? "on" : "off") + " --vr-sk " + (o.VrSk ? "on" : "off") +
                                " --report " + (o.FullReport ? "full" : "summary") + " --out " + report.string() +
                                more + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    return ReadAll(report.string());
}

TEST(ServiceCalculation, ReportsEqualTheEngineAndTheCalculatorForEveryOption)
{
    const fs::path dir = fs::temp_directory_path() / ("stelmar-service-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    int checked = 0;
    for (const std::string& name : ExampleNames()) {
        const std::string project = Example(name);
        for (int bits = 0; bits < 8; ++bits)
            for (const int precision : {1, 3, 9}) {
                const Options o{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, precision};
                const std::string what = name + " raz_vr " + std::to_string(o.RazVr) + " vr_sk " +
                                         std::to_string(o.VrSk) + " full " + std::to_string(o.FullReport) +
                                         " prec " + std::to_string(precision);
                const ServiceResponse r = HandleCalculation(Form::For(project, o).ToUpload());
                ASSERT_EQ(r.Status, 200) << what;
                ASSERT_TRUE(r.Report.has_value()) << what;
                EXPECT_EQ(*r.Report, EngineReport(project, o)) << what;
                EXPECT_EQ(*r.Report, CalculatorReport(ExamplePath(name), o, dir)) << what;
                EXPECT_NE(r.Html.find("href=\"report/" + r.ReportId + "/report.rtf\""), std::string::npos);
                EXPECT_NE(r.Html.find(o.FullReport ? "Скачать полный отчет" : "Скачать сводный отчет"),
                          std::string::npos);
                ++checked;
            }
    }
    fs::remove_all(dir);
    EXPECT_EQ(checked, 72);
}

TEST(ServiceCalculation, PageShowsTheResultLineAndTheFlowsOfTheSummary)
{
    const std::string project = Example("school-wing.stm");
    const Options o{true, true, false, 3};
    const ServiceResponse r = HandleCalculation(Form::For(project, o).ToUpload());
    ASSERT_EQ(r.Status, 200);
    EXPECT_NE(r.Html.find("<meta charset=\"utf-8\">"), std::string::npos);

    TPipeLine s = ParseProject(project, "x").Scheme.value();
    s.Precision = 3;
    s.RazVr = true;
    s.VrSk = true;
    const std::string line = Calculate(s, ',');
    EXPECT_NE(r.Html.find(EscapeHtml(line)), std::string::npos);

    // One row per flow in report order; the last flow to leave has t_p.
    const FlowOrder order(s);
    const std::regex row("<tr><td>(\\d+)</td><td>(\\d+)</td><td>[^<]*</td><td>[^<]*</td><td>([^<]*)</td></tr>");
    int rows = 0;
    bool total = false;
    for (auto it = std::sregex_iterator(r.Html.begin(), r.Html.end(), row); it != std::sregex_iterator(); ++it) {
        EXPECT_EQ((*it)[1].str(), std::to_string(++rows));
        total = total || (*it)[3].str() == FormatReal(s.EvacuationTime, ',');
    }
    EXPECT_EQ(rows, order.Count());
    EXPECT_TRUE(total);
}

TEST(ServiceCalculation, EveryScenarioIsCalculatedAndListed)
{
    const std::string project = Example("two-exits.stm");
    const Options o{false, false, true, 3};
    const ServiceResponse r = HandleCalculation(Form::For(project, o).ToUpload());
    ASSERT_EQ(r.Status, 200) << r.Html;
    EXPECT_NE(r.Html.find("Сценарий «Нормальная эвакуация»: Итак, общее расчетное время эвакуации = 2,382 мин. "
                          "Условие безопасной эвакуации выполняется."),
              std::string::npos);
    EXPECT_NE(r.Html.find("Сценарий «Лестница заблокирована»: Итак, общее расчетное время эвакуации = 2,498 мин. "
                          "Условие безопасной эвакуации не выполняется."),
              std::string::npos);
    EXPECT_NE(r.Html.find("<tr><td>Выход 1 заблокирован</td><td>участок №2-Выход 1, участок №11-6</td><td>2,486</td>"
                          "<td>выполняется</td></tr>"),
              std::string::npos)
        << r.Html;
    EXPECT_NE(r.Html.find("не выполняется (наиболее опасный сценарий)"), std::string::npos);
    const fs::path dir = fs::temp_directory_path() / ("stelmar-service-scenarios-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ASSERT_TRUE(r.Report);
    EXPECT_EQ(*r.Report, CalculatorReport(ExamplePath("two-exits.stm"), o, dir, " --scenario all"));
    fs::remove_all(dir);
}

TEST(ServiceCalculation, AbsentCheckBoxesAreOff)
{
    const std::string project = Example("office-floor.stm");
    Form form = Form::For(project, {false, false, false, 4});
    form.Remove("raz_vr");
    form.Remove("vr_sk");
    form.Remove("full_report");
    const ServiceResponse r = HandleCalculation(form.ToUpload());
    ASSERT_EQ(r.Status, 200);
    EXPECT_EQ(r.Report, EngineReport(project, {false, false, false, 4}));
}

TEST(ServiceCalculation, LongFlowListsAreCutOnThePageButNotInTheReport)
{
    TPipeLine s;
    const int exit = AddExit(s);
    const int hall = AddJunction(s);
    Join(s, hall, exit, 10, 2);
    for (int i = 0; i < kMaxFlowRows + 20; ++i) Join(s, AddInput(s, 5), hall, 5 + i % 7, 1);
    const ServiceResponse r = HandleCalculation(Form::For(ProjectBytes(s), {true, false, false, 2}).ToUpload());
    ASSERT_EQ(r.Status, 200);
    EXPECT_NE(r.Html.find("<tr><td>500</td>"), std::string::npos);
    EXPECT_EQ(r.Html.find("<tr><td>501</td>"), std::string::npos);
    EXPECT_NE(r.Html.find("Показаны первые 500 потоков из"), std::string::npos);
    EXPECT_TRUE(r.Report.has_value());
}

// A scheme whose labels carry markup: a dead-end junction and an input
// with no people.
TPipeLine HostileLabels()
{
    TPipeLine s;
    const int exit = AddExit(s);
    const int hall = AddJunction(s);
    const int input = AddInput(s, 0);
    const int dead = AddJunction(s);
    s.Nodes[input].Name = "<script>alert('x')</script>";
    s.Nodes[dead].Name = "A&B \"tail\"";
    Join(s, hall, exit, 10, 2);
    Join(s, input, hall, 5, 1);
    Join(s, dead, hall, 3, 1);
    return s;
}

TEST(ServiceValidation, FailuresAnswer400WithEveryMessageEscaped)
{
    const TPipeLine s = HostileLabels();
    const std::vector<std::string> messages = ValidateScheme(s);
    ASSERT_EQ(messages.size(), 2u);
    const ServiceResponse r = HandleCalculation(Form::For(ProjectBytes(s), {}).ToUpload());
    EXPECT_EQ(r.Status, 400);
    EXPECT_FALSE(r.Report.has_value());
    for (const std::string& m : messages) EXPECT_NE(r.Html.find(EscapeHtml(m)), std::string::npos) << m;
    EXPECT_EQ(r.Html.find("<script>"), std::string::npos);
    EXPECT_EQ(r.Html.find("\"tail\""), std::string::npos);
    EXPECT_EQ(r.Html.find("Итак"), std::string::npos) << "nothing is calculated";
}

TEST(ServiceValidation, EmptySchemeAndLongMessageListsAreReported)
{
    TPipeLine empty;
    ServiceResponse r = HandleCalculation(Form::For(ProjectBytes(empty), {}).ToUpload());
    EXPECT_EQ(r.Status, 400);
    EXPECT_NE(r.Html.find("Ошибка: не найдено ни одного участка;"), std::string::npos);

    TPipeLine loose;
    for (int i = 0; i < 1500; ++i) AddInput(loose, 1);
    Join(loose, AddInput(loose, 1), AddExit(loose), 1, 1);
    const std::size_t count = ValidateScheme(loose).size();
    ASSERT_GT(count, kMaxMessageLines);
    r = HandleCalculation(Form::For(ProjectBytes(loose), {}).ToUpload());
    EXPECT_EQ(r.Status, 400);
    EXPECT_NE(r.Html.find("Показаны первые 1000 сообщений из " + std::to_string(count) + "."), std::string::npos);
}

// A length of 1e308 passes the checks of the data; its "= INF мин." was
// served as a result.
TEST(ServiceValidation, OverflowingCalculationAnswers400WithoutReport)
{
    TPipeLine s = Corridor();
    s.Areas[2].Width = 1e-320;
    const ServiceResponse r = HandleCalculation(Form::For(ProjectBytes(s), {}).ToUpload());
    EXPECT_EQ(r.Status, 400);
    EXPECT_FALSE(r.Report.has_value());
    EXPECT_NE(r.Html.find(EscapeHtml("Ошибка: расчет на участке №2-Выход дает недопустимое значение")),
              std::string::npos);
    EXPECT_EQ(r.Html.find("Итак"), std::string::npos);
    EXPECT_EQ(r.Html.find("INF"), std::string::npos);
}

// Two inputs of 2 147 483 647 people merged into a flow of -2 people and
// were served as a result.
TEST(ServiceValidation, PeopleBeyondACountAreRefusedBeforeTheCalculation)
{
    TPipeLine s = Corridor(12.5, std::numeric_limits<std::int32_t>::max());
    Join(s, AddInput(s, std::numeric_limits<std::int32_t>::max()), 2, 5, 1);
    const ServiceResponse r = HandleCalculation(Form::For(ProjectBytes(s), {}).ToUpload());
    EXPECT_EQ(r.Status, 400);
    EXPECT_FALSE(r.Report.has_value());
    EXPECT_NE(r.Html.find(EscapeHtml("Ошибка: в узле №2 сливаются потоки входов №1, №4: всего 4294967294 человек")),
              std::string::npos)
        << r.Html;
    EXPECT_EQ(r.Html.find("Итак"), std::string::npos);
}

TEST(ServiceRequest, EveryMalformedFieldIsNamed)
{
    const std::string project = Example("office-floor.stm");
    struct Case {
        const char* what;
        std::function<void(Form&)> change;
        const char* expected;
    };
    const Case cases[] = {
        {"no file", [](Form& f) { f.WithFile = false; }, "Не передан файл проекта (поле «userfile»)."},
        {"empty file", [](Form& f) { f.ProjectFile.clear(); }, "Файл проекта не выбран или пуст."},
        {"no prec", [](Form& f) { f.Remove("prec"); }, "Не передано поле «prec»"},
        {"prec 0", [](Form& f) { f.Set("prec", "0"); }, "передано «0»"},
        {"prec 10", [](Form& f) { f.Set("prec", "10"); }, "передано «10»"},
        {"prec -1", [](Form& f) { f.Set("prec", "-1"); }, "передано «-1»"},
        {"prec text", [](Form& f) { f.Set("prec", "три"); }, "передано «три»"},
        {"prec blank", [](Form& f) { f.Set("prec", " 3"); }, "передано « 3»"},
        {"prec empty", [](Form& f) { f.Set("prec", ""); }, "передано «»"},
        {"prec real", [](Form& f) { f.Set("prec", "3.0"); }, "передано «3.0»"},
        {"raz_vr on", [](Form& f) { f.Set("raz_vr", "on"); }, "Поле «raz_vr» должно иметь значение 1 или 0"},
        {"vr_sk 2", [](Form& f) { f.Set("vr_sk", "2"); }, "Поле «vr_sk» должно иметь значение 1 или 0"},
        {"full_report empty", [](Form& f) { f.Set("full_report", ""); }, "Поле «full_report» должно"},
        {"prec twice", [](Form& f) { f.Fields.emplace_back("prec", "3"); }, "Поле «prec» передано несколько раз."},
        {"file twice",
         [](Form& f) { f.Fields.emplace_back("userfile", "x"); },
         "Поле «userfile» передано несколько раз."},
        {"markup", [](Form& f) { f.Set("prec", "<b>"); }, "передано «&lt;b&gt;»"},
        {"bad bytes", [](Form& f) { f.Set("prec", "\xff\x01" "a"); }, "передано «??a»"},
        {"long", [](Form& f) { f.Set("prec", std::string(100, '7')); }, "«7777777777777777777777777777777777777777…»"},
    };
    for (const Case& c : cases) {
        Form form = Form::For(project, {});
        c.change(form);
        const ServiceResponse r = HandleCalculation(form.ToUpload());
        EXPECT_EQ(r.Status, 400) << c.what;
        EXPECT_NE(r.Html.find(c.expected), std::string::npos) << c.what << "\n" << r.Html;
        EXPECT_FALSE(r.Report.has_value()) << c.what;
    }

    Form all = Form::For(project, {});
    all.WithFile = false;
    all.Set("prec", "x");
    all.Set("raz_vr", "x");
    const ServiceResponse r = HandleCalculation(all.ToUpload());
    EXPECT_NE(r.Html.find("userfile"), std::string::npos);
    EXPECT_NE(r.Html.find("raz_vr"), std::string::npos);
    EXPECT_NE(r.Html.find("«prec»"), std::string::npos) << "every problem at once";
}

TEST(ServiceRequest, UnreadableProjectGivesTheReadersLine)
{
    std::string project = Example("office-floor.stm");
    project.replace(project.find("\r\n6\r\n"), 5, "\r\nшесть\r\n");
    Form form = Form::For(project, {});
    form.FileName = "C:\\fakepath\\<plan>.stm";
    const ServiceResponse r = HandleCalculation(form.ToUpload());
    EXPECT_EQ(r.Status, 400);
    const std::string error = ParseProject(project, "<plan>.stm").Error;
    ASSERT_FALSE(error.empty());
    EXPECT_NE(r.Html.find(EscapeHtml(error)), std::string::npos) << r.Html;
    EXPECT_EQ(r.Html.find("fakepath"), std::string::npos);
}

TEST(ServiceBounds, OversizedSchemesAreRefusedBeforeTheCalculation)
{
    const std::string project = Example("school-wing.stm");
    ServiceLimits areas;
    areas.MaxAreas = 3;
    ServiceResponse r = HandleCalculation(Form::For(project, {}).ToUpload(), areas);
    EXPECT_EQ(r.Status, 400);
    EXPECT_NE(r.Html.find("сервис рассчитывает схемы не более чем из 3 участков"), std::string::npos);

    // Many inputs arriving at different times at one hall followed by a
    // corridor: with different arrival times every step lists every flow.
    TPipeLine star;
    int down = AddExit(star);
    for (int i = 0; i < 30; ++i) {
        const int next = AddJunction(star);
        Join(star, next, down, 3, 1.5);
        down = next;
    }
    for (int i = 0; i < 400; ++i) Join(star, AddInput(star, 10), down, 1 + i * 0.37, 1.5);
    ServiceLimits work;
    work.MaxWork = 1'000'000;
    r = HandleCalculation(Form::For(ProjectBytes(star), {true, false, true, 2}).ToUpload(), work);
    EXPECT_EQ(r.Status, 400);
    EXPECT_NE(r.Html.find("Расчет слишком трудоемок"), std::string::npos);
    r = HandleCalculation(Form::For(ProjectBytes(star), {false, false, true, 2}).ToUpload(), work);
    EXPECT_EQ(r.Status, 200) << "without different arrival times the work stays linear";
}

TEST(ServiceBounds, ReportOverTheLimitIsNotOffered)
{
    ServiceLimits limits;
    limits.MaxReportBytes = 20'000;
    const std::string project = Example("school-wing.stm");
    ServiceResponse r = HandleCalculation(Form::For(project, {false, false, true, 2}).ToUpload(), limits);
    EXPECT_EQ(r.Status, 200);
    EXPECT_FALSE(r.Report.has_value());
    EXPECT_TRUE(r.ReportId.empty());
    EXPECT_NE(r.Html.find("Отчет не сформирован"), std::string::npos);
    EXPECT_NE(r.Html.find("Итак, общее расчетное время эвакуации"), std::string::npos);

    limits.MaxReportBytes = EngineReport(project, {false, false, true, 2}).size();
    r = HandleCalculation(Form::For(project, {false, false, true, 2}).ToUpload(), limits);
    EXPECT_TRUE(r.Report.has_value()) << "a report of exactly the limit fits";
}

}  // namespace
}  // namespace stelmar::test
