#include "calc/ReportWriter.h"

#include "model/SafeFile.h"

namespace stelmar {

namespace {

using Builder = void (*)(const TPipeLine&, char, std::ostream&);

std::optional<std::string> WriteReport(const TPipeLine& s, const std::string& path, char separator, Builder build)
{
    AtomicFileWriter file(path);
    build(s, separator, file.Stream());
    if (const std::optional<std::string> error = file.Commit())
        return "Не удалось записать отчет в файл \"" + path + "\": " + *error;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> WriteFullReport(const TPipeLine& s, const std::string& path, char separator)
{
    return WriteReport(s, path, separator, BuildFullReport);
}

std::optional<std::string> WriteSummaryReport(const TPipeLine& s, const std::string& path, char separator)
{
    return WriteReport(s, path, separator, BuildSummaryReport);
}

}  // namespace stelmar
