// stelmar-calc: reads a project, validates it, calculates the evacuation
// time and writes the report and a machine-readable result.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <optional>
#include <unistd.h>

#include "calc/FlowCalculation.h"
#include "calc/ResultTables.h"
#include "calc/LengthCheck.h"
#include "calc/ReportWriter.h"
#include "calc/ResultCheck.h"
#include "calc/ScenarioCalculation.h"
#include "calc/ScenarioChecks.h"
#include "calc/ScenarioReport.h"
#include "calc/Validation.h"
#include "cli/CalcOptions.h"
#include "cli/HugePages.h"
#include "cli/OutputFiles.h"
#include "cli/PdfOutput.h"
#include "cli/ResultJson.h"
#include "model/FileErrors.h"
#include "model/NumberText.h"
#include "model/ProjectFile.h"
#include "model/Scenarios.h"
#include "model/SafeFile.h"
#include "tables/TableFiles.h"

using namespace stelmar;

namespace {

constexpr int kFileError = 1;
constexpr int kInvalidScheme = 2;
constexpr int kUsageError = 64;
constexpr int kWriteError = 74;

// The result line on standard output, or on standard error while standard
// output carries a document; a failed write to standard output is told.
bool PrintResultLine(const std::string& line, bool aside)
{
    if (aside) {
        std::cerr << line << std::endl;
        return true;
    }
    std::cout.flush();
    const std::string text = line + "\n";
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::cerr << "Не удалось вывести строку результата в стандартный вывод: " << FileErrorText(n < 0 ? errno : EIO)
                      << '\n'
                      << line << '\n';
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteJson(const std::string& path, const TPipeLine& s, const std::vector<Finding>& findings,
               const std::vector<Finding>& warnings, const std::string& resultLine,
               const ScenarioJson* scenarios = nullptr)
{
    return WriteOutput(path, "результаты расчета", [&](std::ostream& out) {
        WriteResultJson(out, s, findings, warnings, resultLine, scenarios);
        return true;
    });
}

// The scenarios `--scenario` asks for: every one for "all", the one of that
// name, or, without it, the active one. Empty when no scenario has the name.
std::vector<int> ChosenScenarios(const TPipeLine& s, const std::string& asked)
{
    std::vector<int> chosen;
    for (int i = 0; i < ScenarioCount(s); ++i)
        if (asked == "all" || (asked.empty() ? i == ActiveScenarioIndex(s) : ScenarioName(s, i) == asked))
            chosen.push_back(i);
    if (!asked.empty() && asked != "all" && chosen.size() > 1) chosen.resize(1);
    return chosen;
}

std::string ScenarioNames(const TPipeLine& s)
{
    std::string names;
    for (int i = 0; i < ScenarioCount(s); ++i) names += (i > 0 ? ", «" : "«") + ScenarioName(s, i) + "»";
    return names;
}

// The result line of each scenario, one under another.
std::string ResultLines(const TPipeLine& s, const std::vector<ScenarioRun>& runs)
{
    std::string lines;
    for (const ScenarioRun& run : runs) {
        if (!lines.empty()) lines += '\n';
        lines += ScenarioResultLine(s, run);
    }
    return lines;
}

// The tables of areas, exits and flows: a workbook, or three CSV files.
bool WriteTables(const std::string& path, const TPipeLine& s, char separator)
{
    std::string error;
    const auto files = TableFiles(ResultTables(s, ResultsOf(s), {}, separator), path, error);
    const std::optional<std::string> failure = files ? WriteFilesAtomically(*files) : error;
    if (failure) std::cerr << "Не удалось записать таблицы результатов в \"" << path << "\": " << *failure << '\n';
    return !failure;
}

// Findings on standard error and in the JSON; the scheme is not calculated
// or its results are not reported.
int Refuse(const CalcOptions& options, const TPipeLine& s, const std::vector<Finding>& findings,
           const std::vector<Finding>& warnings)
{
    for (const Finding& f : findings) std::cerr << f.Message << '\n';
    if (!options.JsonPath.empty() && !WriteJson(options.JsonPath, s, findings, warnings, {})) return kWriteError;
    return kInvalidScheme;
}

// Writes out what the streams hold and ends the process at once. The
// scheme and the results of a large project are left to the system: freeing
// them piece by piece takes longer than anything the run does after the
// calculation, and every output is complete and committed by now.
[[noreturn]] void Quit(int status)
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}

int Run(int argc, char** argv, std::optional<ProjectReadResult>& project, std::vector<ScenarioRun>& runs)
{
    // A reader that closes the pipe early makes writes fail with EPIPE,
    // which is reported, instead of ending the program without a word.
    std::signal(SIGPIPE, SIG_IGN);
    std::string error;
    const auto options = ParseCalcOptions(argc, argv, error);
    if (!options) {
        std::cerr << "stelmar-calc: " << error << "\n\n" << kCalcUsage;
        return kUsageError;
    }
    if (options->Help) {
        std::cout << kCalcUsage;
        return 0;
    }
    if (!options->PdfPath.empty() && !PdfOutputBuilt()) {
        std::cerr << "stelmar-calc: " << kNoPdfOutput << '\n';
        return kUsageError;
    }
    if (const auto conflict = CheckOutputs(*options)) {
        std::cerr << "stelmar-calc: " << *conflict << '\n';
        return kUsageError;
    }
    RestartWithHugePages(argv, options->Project);
    const char separator = options->Separator.value_or(DecimalSeparatorFromEnvironment());

    // The floors' pictures are only drawn, under the elements, in the PDF
    // report.
    ProjectReadResult& read = project.emplace(ReadProjectFile(options->Project, !options->PdfPath.empty()));
    if (!read.Scheme) {
        std::cerr << read.Error << '\n';
        return kFileError;
    }
    for (const std::string& warning : read.Warnings) std::cerr << warning << '\n';
    TPipeLine& scheme = *read.Scheme;
    scheme.Precision = static_cast<std::uint8_t>(options->Precision);
    scheme.RazVr = options->RazVr.value_or(scheme.RazVr);
    scheme.VrSk = options->VrSk.value_or(scheme.VrSk);
    scheme.FullReport = options->FullReport;

    const std::vector<int> chosen = ChosenScenarios(scheme, options->Scenario);
    if (chosen.empty()) {
        std::cerr << "stelmar-calc: в проекте нет сценария «" << options->Scenario
                  << "»; сценарии проекта: " << ScenarioNames(scheme) << '\n';
        return kUsageError;
    }
    // Lengths far from the drawing are told, and do not stop the calculation.
    const std::vector<Finding> warnings = CheckDrawnLengths(scheme, separator);
    for (const Finding& w : warnings) std::cerr << w.Message << '\n';
    const std::vector<Finding> findings =
        chosen.size() > 1 ? CheckScenarios(scheme) : CheckScenario(scheme, chosen.front());
    if (!findings.empty()) return Refuse(*options, scheme, findings, warnings);

    // Without scenarios and without drawings the run takes the scheme over
    // instead of a copy: the outputs read the drawn scheme from the run, and
    // only the JSON tells the condition of safe evacuation.
    const bool whole = scheme.Scenarios.empty() && options->PdfPath.empty();
    const bool named = !scheme.Scenarios.empty();
    for (const int index : chosen) {
        runs.push_back(whole ? CalculateWholeScheme(std::move(scheme), separator, !options->JsonPath.empty())
                             : CalculateScenario(scheme, index, separator));
        if (auto failure = CheckResults(runs.back().Built.Scheme)) {
            if (named) *failure = "Сценарий «" + runs.back().Name + "»: " + *failure;
            return Refuse(*options, whole ? runs.back().Built.Scheme : scheme, {Finding{*failure, {}}}, warnings);
        }
    }
    const TPipeLine& drawn = whole ? runs.front().Built.Scheme : scheme;
    // The top-level result is the active scenario's when it was calculated.
    const int active = RunOf(runs, ActiveScenarioIndex(drawn));
    const ScenarioRun& shown = runs[active >= 0 ? static_cast<std::size_t>(active) : 0];
    // Standard output carrying a document keeps to it; the lines go aside.
    const bool documentOnStandardOutput =
        (!options->ReportPath.empty() && IsStandardOutput(options->ReportPath)) ||
        (!options->JsonPath.empty() && IsStandardOutput(options->JsonPath)) ||
        (!options->PdfPath.empty() && IsStandardOutput(options->PdfPath));
    if (!PrintResultLine(ResultLines(drawn, runs), documentOnStandardOutput)) return kWriteError;

    if (!options->ReportPath.empty() && !WriteOutput(options->ReportPath, "отчет", [&](std::ostream& out) {
            BuildScenarioReport(drawn, runs, separator, out);
            return true;
        }))
        return kWriteError;
    if (!options->PdfPath.empty()) {
        // The drawings show the results of the scenario shown.
        ShowScenarioResults(scheme, shown);
        if (!WriteOutput(options->PdfPath, "отчет PDF", [&](std::ostream& out) {
                const auto failure = MakePdfOutput(scheme, runs, ReportTitle{CalculationTimeText(std::time(nullptr))},
                                                   separator, out);
                if (failure) std::cerr << *failure << '\n';
                return !failure;
            }))
            return kWriteError;
    }
    if (!options->TablePath.empty() && !WriteTables(options->TablePath, shown.Built.Scheme, separator))
        return kWriteError;
    const ScenarioJson scenarios{drawn, runs, separator};
    if (!options->JsonPath.empty() &&
        !WriteJson(options->JsonPath, shown.Built.Scheme, {}, warnings, shown.ResultLine, &scenarios))
        return kWriteError;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // The project and its calculations live here, and Quit leaves main
    // without destroying them.
    std::optional<ProjectReadResult> project;
    std::vector<ScenarioRun> runs;
    Quit(Run(argc, argv, project, runs));
}
