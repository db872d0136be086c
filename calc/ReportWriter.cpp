#include "calc/ReportWriter.h"

#include "model/SafeFile.h"

namespace stelmar {

void ComposeReport(const TPipeLine& s, char separator, ReportSink& sink)
{
    if (s.FullReport)
        ComposeFullReport(s, separator, sink);
    else
        ComposeSummaryReport(s, separator, sink);
}

void BuildReport(const TPipeLine& s, char separator, std::ostream& out)
{
    if (s.FullReport)
        BuildFullReport(s, separator, out);
    else
        BuildSummaryReport(s, separator, out);
}

std::optional<std::string> WriteReport(const TPipeLine& s, const std::string& path, char separator)
{
    AtomicFileWriter file(path);
    BuildReport(s, separator, file.Stream());
    if (const std::optional<std::string> error = file.Commit())
        return "Не удалось записать отчет в файл \"" + path + "\": " + *error;
    return std::nullopt;
}

}  // namespace stelmar
