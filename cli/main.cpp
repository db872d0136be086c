// stelmar-calc: reads a project, validates it, calculates the evacuation
// time and writes the report and a machine-readable result.

#include <cerrno>
#include <csignal>
#include <ctime>
#include <iostream>
#include <unistd.h>

#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/ResultCheck.h"
#include "calc/Validation.h"
#include "cli/CalcOptions.h"
#include "cli/OutputFiles.h"
#include "cli/PdfOutput.h"
#include "cli/ResultJson.h"
#include "model/FileErrors.h"
#include "model/NumberText.h"
#include "model/ProjectFile.h"

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
    if (!options.JsonPath.empty() && !WriteJson(options.JsonPath, s, findings, {})) return kWriteError;
    return kInvalidScheme;
}

}  // namespace

int main(int argc, char** argv)
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
    if (!PrintResultLine(resultLine, documentOnStandardOutput)) return kWriteError;

    if (!options->ReportPath.empty() &&
        !WriteOutput(options->ReportPath, "отчет", [&](std::ostream& out) { BuildReport(scheme, separator, out); }))
        return kWriteError;
    if (!options->PdfPath.empty()) {
        std::string pdf;
        if (const auto failure = MakePdfOutput(scheme, ReportTitle{CalculationTimeText(std::time(nullptr))}, separator, pdf)) {
            std::cerr << *failure << '\n';
            return kWriteError;
        }
        if (!WriteOutput(options->PdfPath, "отчет PDF", [&](std::ostream& out) { out << pdf; })) return kWriteError;
    }
    if (!options->JsonPath.empty() && !WriteJson(options->JsonPath, scheme, {}, resultLine)) return kWriteError;
    return 0;
}
