#pragma once

#include <optional>
#include <string>

namespace stelmar {

// Command line of stelmar-calc.
struct CalcOptions {
    std::string Project;
    int Precision = 3;
    std::optional<bool> RazVr;  // unset: as stored in the project
    std::optional<bool> VrSk;
    bool FullReport = true;
    std::string ReportPath;     // empty: no report
    std::string PdfPath;        // empty: no PDF report
    std::string JsonPath;       // empty: no JSON
    std::string TablePath;      // empty: no tables; an .xlsx or .csv name
    std::optional<char> Separator;  // unset: from the locale
    std::string Scenario;       // a scenario's name, "all", or empty: the active one
    bool Help = false;
};

// Parses argv; on a mistake returns nullopt and sets `error` to a Russian
// message naming the argument.
std::optional<CalcOptions> ParseCalcOptions(int argc, char** argv, std::string& error);

extern const char* const kCalcUsage;

}  // namespace stelmar
