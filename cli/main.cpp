// stelmar-calc: reads a project, validates it, calculates the evacuation
// time and writes the report and a machine-readable result.

#include <ctime>
#include <iostream>

#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/Validation.h"
#include "cli/CalcOptions.h"
#include "cli/PdfOutput.h"
#include "cli/ResultJson.h"
#include "model/NumberText.h"
#include "model/ProjectFile.h"
#include "model/SafeFile.h"

using namespace stelmar;

namespace {

constexpr int kFileError = 1;
constexpr int kInvalidScheme = 2;
constexpr int kUsageError = 64;

bool WriteJson(const std::string& path, const TPipeLine& s, const std::vector<std::string>& messages,
               const std::string& resultLine)
{
    AtomicFileWriter file(path);
    WriteResultJson(file.Stream(), s, messages, resultLine);
    if (const auto error = file.Commit()) {
        std::cerr << "Не удалось записать файл \"" << path << "\": " << *error << '\n';
        return false;
    }
    return true;
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
    const char separator = options->Separator.value_or(DecimalSeparatorFromEnvironment());

    ProjectReadResult read = ReadProjectFile(options->Project, false);
    if (!read.Scheme) {
        std::cerr << read.Error << '\n';
        return kFileError;
    }
    TPipeLine& scheme = *read.Scheme;
    scheme.Precision = static_cast<std::uint8_t>(options->Precision);
    scheme.RazVr = options->RazVr.value_or(scheme.RazVr);
    scheme.VrSk = options->VrSk.value_or(scheme.VrSk);
    scheme.FullReport = options->FullReport;

    const std::vector<std::string> messages = ValidateScheme(scheme);
    if (!messages.empty()) {
        for (const std::string& m : messages) std::cerr << m << '\n';
        if (!options->JsonPath.empty() && !WriteJson(options->JsonPath, scheme, messages, {})) return kFileError;
        return kInvalidScheme;
    }

    const std::string resultLine = Calculate(scheme, separator);
    const ReportTitle title{CalculationTimeText(std::time(nullptr))};
    std::cout << resultLine << '\n';

    if (!options->ReportPath.empty()) {
        const auto failure = WriteReport(scheme, options->ReportPath, separator);
        if (failure) {
            std::cerr << *failure << '\n';
            return kFileError;
        }
    }
    if (!options->PdfPath.empty()) {
        if (const auto failure = WritePdfOutput(scheme, title, separator, options->PdfPath)) {
            std::cerr << *failure << '\n';
            return kFileError;
        }
    }
    if (!options->JsonPath.empty() && !WriteJson(options->JsonPath, scheme, messages, resultLine)) return kFileError;
    return 0;
}
