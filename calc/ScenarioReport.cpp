#include "calc/ScenarioReport.h"

#include "calc/ReportCommon.h"
#include "calc/ReportWriter.h"
#include "calc/RtfReport.h"
#include "calc/SafetyReport.h"
#include "model/NumberText.h"
#include "model/SafeFile.h"
#include "model/Scenarios.h"

namespace stelmar {

namespace {

void ScenarioHeading(const TPipeLine& drawn, const ScenarioRun& run, bool first, BlockStream& out)
{
    if (!first) {
        out.EmptyLine();
        out.EmptyLine();
    }
    ReportBlock& heading = out.Paragraph(Align::Center, 32, 2);
    heading.Bold = true;
    heading.Text("Сценарий «" + run.Name + "»");
    const std::string excluded = ExcludedText(drawn, ScenarioAt(drawn, run.Index));
    out.Paragraph(Align::Left, 24, 2)
        .Text(excluded.empty() ? "Пожар не блокирует ни одного элемента схемы."
                               : "Заблокировано пожаром: " + excluded + ".");
    out.Flush();
}

// The scenarios side by side; the one nearest to failing, or failing most,
// is marked.
void ScenarioTable(const std::vector<ScenarioRun>& runs, char separator, BlockStream& out)
{
    out.EmptyLine();
    out.EmptyLine();
    out.Paragraph(Align::Left, 26, 2, true).Text("Сводная таблица по сценариям");
    out.Row(3, true).Text("Сценарий").CellEnd().Text("t").Part(TokenKind::Sub, "р").Text(", мин").CellEnd()
        .Text("Условие безопасной эвакуации").CellEnd();
    const int worst = WorstScenario(runs);
    for (int i = 0; i < static_cast<int>(runs.size()); ++i) {
        const ScenarioRun& run = runs[i];
        ReportBlock& row = out.Row(3, false);
        row.Text(run.Name).CellEnd().Text(FormatReal(run.Built.Scheme.EvacuationTime, separator)).CellEnd();
        if (i == worst) row.Begin(TokenKind::Strong, 20);
        row.Text(VerdictText(run.Check.Result));
        if (i == worst) row.Text(" (наиболее опасный сценарий)").End();
        row.CellEnd();
    }
    out.Flush();
}

}  // namespace

void ComposeScenarioReport(const TPipeLine& drawn, const std::vector<ScenarioRun>& runs, char separator,
                           ReportSink& sink)
{
    if (drawn.Scenarios.empty()) {
        for (const ScenarioRun& run : runs) ComposeReport(run.Built.Scheme, separator, sink);
        return;
    }
    const bool several = runs.size() > 1;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const ScenarioRun& run = runs[i];
        if (several) {
            BlockStream out(sink);
            ScenarioHeading(drawn, run, i == 0, out);
        }
        ComposeReport(run.Built.Scheme, separator, sink);
        ComposeSafetySection(drawn, run, run.Built.Scheme.FullReport, separator, sink);
    }
    if (several) {
        BlockStream out(sink);
        ScenarioTable(runs, separator, out);
    }
}

void BuildScenarioReport(const TPipeLine& drawn, const std::vector<ScenarioRun>& runs, char separator,
                         std::ostream& out)
{
    RtfReportWriter writer(out);
    ComposeScenarioReport(drawn, runs, separator, writer);
    writer.Finish();
}

std::optional<std::string> WriteScenarioReport(const TPipeLine& drawn, const std::vector<ScenarioRun>& runs,
                                               const std::string& path, char separator)
{
    AtomicFileWriter file(path);
    BuildScenarioReport(drawn, runs, separator, file.Stream());
    if (const std::optional<std::string> error = file.Commit())
        return "Не удалось записать отчет в файл \"" + path + "\": " + *error;
    return std::nullopt;
}

}  // namespace stelmar
