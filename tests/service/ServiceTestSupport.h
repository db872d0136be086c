#pragma once

// Projects, form fields and expected reports shared by the service tests.

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/Validation.h"
#include "model/ProjectFile.h"
#include "service/CalculationService.h"
#include "tests/TestFiles.h"

namespace stelmar::test {

inline std::string ExamplePath(const std::string& name) { return std::string(STELMAR_EXAMPLES_DIR) + "/" + name; }
inline std::string Example(const std::string& name) { return ReadAll(ExamplePath(name)); }

inline const std::vector<std::string>& ExampleNames()
{
    static const std::vector<std::string> names{"office-floor.stm", "care-home.stm", "school-wing.stm"};
    return names;
}

// The project file of a scheme, as the desktop program saves it.
inline std::string ProjectBytes(const TPipeLine& s)
{
    std::string error;
    return ProjectText(s, ',', &error).value();
}

struct Options {
    bool RazVr = false;
    bool VrSk = false;
    bool FullReport = true;
    int Precision = 2;
};

// Owns the texts an Upload points into.
struct Form {
    std::vector<std::pair<std::string, std::string>> Fields;  // name, value
    std::string ProjectFile;
    std::string FileName = "project.stm";
    bool WithFile = true;

    static Form For(std::string project, const Options& o)
    {
        Form f;
        f.ProjectFile = std::move(project);
        f.Fields = {{"raz_vr", o.RazVr ? "1" : "0"},
                    {"vr_sk", o.VrSk ? "1" : "0"},
                    {"full_report", o.FullReport ? "1" : "0"},
                    {"prec", std::to_string(o.Precision)}};
        return f;
    }

    void Set(const std::string& name, const std::string& value)
    {
        for (auto& field : Fields)
            if (field.first == name) {
                field.second = value;
                return;
            }
        Fields.emplace_back(name, value);
    }

    void Remove(const std::string& name)
    {
        std::erase_if(Fields, [&](const auto& field) { return field.first == name; });
    }

    Upload ToUpload() const
    {
        Upload u;
        if (WithFile) u.Parts.push_back({"userfile", FileName, ProjectFile});
        for (const auto& [name, value] : Fields) u.Parts.push_back({name, {}, value});
        return u;
    }
};

// What the engine writes for the project with these options.
inline std::string EngineReport(const std::string& project, const Options& o)
{
    ProjectReadResult read = ParseProject(project, "project.stm");
    TPipeLine& s = read.Scheme.value();
    s.Precision = static_cast<std::uint8_t>(o.Precision);
    s.RazVr = o.RazVr;
    s.VrSk = o.VrSk;
    if (!ValidateScheme(s).empty()) return {};
    Calculate(s, ',');
    std::ostringstream out;
    if (o.FullReport) BuildFullReport(s, ',', out);
    else BuildSummaryReport(s, ',', out);
    return out.str();
}

}  // namespace stelmar::test
