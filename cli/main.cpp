// stelmar-calc: reads a project, validates it, calculates the evacuation
// time and writes the report and a machine-readable result.

#include <ctime>
#include <iostream>

#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/ResultCheck.h"
#include "calc/Validation.h"
#include "cli/CalcOptions.h"
#include "cli/OutputFiles.h"
#include "cli/PdfOutput.h"
#include "cli/ResultJson.h"
#include "model/NumberText.h"
#include "model/ProjectFile.h"

using namespace stelmar;

namespace {

constexpr int kFileError = 1;
constexpr int kInvalidScheme = 2;
constexpr int kUsageError = 64;

bool WriteJson(const std::string& path, const TPipeLine& s, const std::vector<Finding>& findings,
               const std::string& resultLine)
{
    return WriteOutput(path, "результаты расчета",
                       [&](std::ostream& out) { WriteResultJson(out, s, findings, resultLine); });
}

// Findings on standard error and in the JSON; the scheme is not calculated
// or its results are not reported.
int Refuse(const CalcOptions& options, const TPipeLine& s, const std::vector<Finding>& findings)
{
    for (const Finding& f : findings) std::cerr << f.Message << '\n';
    if (!options.JsonPath.empty() && !WriteJson(options.JsonPath, s, findings, {})) return kFileError;
    return kInvalidScheme;
}

}  // namespace

int main(int argc, char** argv)
{
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
    const char separator = options->Separator.value_or(DecimalSeparatorFromEnvironment());

    ProjectReadResult read = ReadProjectFile(options->Project, false);
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

    const std::vector<Finding> findings = CheckScheme(scheme);
    if (!findings.empty()) return Refuse(*options, scheme, findings);

    const std::string resultLine = Calculate(scheme, separator);
    if (const auto failure = CheckResults(scheme)) return Refuse(*options, scheme, {Finding{*failure, {}}});
    // Standard output carrying a document keeps to it; the line goes aside.
    const bool documentOnStandardOutput =
        (!options->ReportPath.empty() && IsStandardOutput(options->ReportPath)) ||
        (!options->JsonPath.empty() && IsStandardOutput(options->JsonPath)) ||
        (!options->PdfPath.empty() && IsStandardOutput(options->PdfPath));
    (documentOnStandardOutput ? std::cerr : std::cout) << resultLine << std::endl;

    if (!options->ReportPath.empty() &&
        !WriteOutput(options->ReportPath, "отчет", [&](std::ostream& out) { BuildReport(scheme, separator, out); }))
        return kFileError;
    if (!options->PdfPath.empty()) {
        std::string pdf;
        if (const auto failure = MakePdfOutput(scheme, ReportTitle{CalculationTimeText(std::time(nullptr))}, separator, pdf)) {
            std::cerr << *failure << '\n';
            return kFileError;
        }
        if (!WriteOutput(options->PdfPath, "отчет PDF", [&](std::ostream& out) { out << pdf; })) return kFileError;
    }
    if (!options->JsonPath.empty() && !WriteJson(options->JsonPath, scheme, {}, resultLine)) return kFileError;
    return 0;
}
