#include "service/CalculationService.h"

#include <cstdio>
#include <ctime>
#include <exception>
#include <new>
#include <ostream>
#include <streambuf>

#include "calc/FlowResults.h"
#include "calc/ReportCommon.h"
#include "calc/ReportFrontMatter.h"
#include "calc/ResultCheck.h"
#include "calc/SafetyReport.h"
#include "calc/ScenarioCalculation.h"
#include "calc/ScenarioChecks.h"
#include "calc/ScenarioReport.h"
#include "calc/Validation.h"
#include "model/NumberText.h"
#include "model/ProjectFile.h"
#include "model/Scenarios.h"
#include "service/ServicePdf.h"
#include "service/RequestFields.h"
#include "service/ServicePages.h"
#include "service/WorkEstimate.h"

namespace stelmar {

namespace {

// Every step of either report takes a table row or a paragraph with its
// equations, well over a kilobyte; half of that is a safe lower bound to
// tell beforehand that a report cannot fit.
constexpr std::size_t kMinReportBytesPerStep = 600;

// Keeps what is written up to a limit; past it drops everything and only
// notes the overflow. Writing never fails, so the report builder runs to
// its end without a stream error.
class BoundedBuffer : public std::streambuf {
public:
    explicit BoundedBuffer(std::size_t limit) : limit_(limit) {}

    bool Overflowed() const { return overflowed_; }
    std::string Take() { return std::move(text_); }

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        if (overflowed_) return n;
        if (text_.size() + static_cast<std::size_t>(n) > limit_) {
            overflowed_ = true;
            std::string().swap(text_);
        } else {
            text_.append(s, static_cast<std::size_t>(n));
        }
        return n;
    }

    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        xsputn(&ch, 1);
        return c;
    }

private:
    std::size_t limit_;
    std::string text_;
    bool overflowed_ = false;
};

ServiceResponse Page(int status, std::string_view title, std::string_view body)
{
    ServiceResponse r;
    r.Status = status;
    r.Html = HtmlPage(title, body);
    return r;
}

std::string Paragraph(std::string_view text, std::string_view cssClass = {})
{
    std::string html = cssClass.empty() ? "<p>" : "<p class=\"" + std::string(cssClass) + "\">";
    AppendEscapedHtml(html, text);
    html += "</p>\n";
    return html;
}

std::string FileLine(const CalculationRequest& request) { return Paragraph("Файл проекта: " + request.ProjectName); }

const std::string kBackLink = "<p><a href=\"/\">Отправить другой файл</a></p>";

ServiceResponse ProblemsPage(std::string_view title, const std::string& intro, const std::vector<std::string>& lines,
                             const std::string& before = {})
{
    std::string body = before + Paragraph(intro, "error") + "<ul class=\"error\">\n";
    const std::size_t shown = std::min(lines.size(), kMaxMessageLines);
    for (std::size_t i = 0; i < shown; ++i) body += "<li>" + EscapeHtml(lines[i]) + "</li>\n";
    body += "</ul>\n";
    if (lines.size() > shown)
        body += Paragraph("Показаны первые " + std::to_string(shown) + " сообщений из " +
                          std::to_string(lines.size()) + ".");
    return Page(400, title, body + kBackLink);
}

std::string OptionsText(const CalculationRequest& r)
{
    return "Параметры расчета: " + CalculationOptionsText(r.Precision, r.RazVr, r.VrSk, r.FullReport) + ".";
}

// The PDF source: a line with the format, the options and the time of the
// calculation, a line with the project's name, then the project's bytes.
constexpr std::string_view kPdfSourceFormat = "stelmar-pdf-1 ";

std::string PackPdfSource(const CalculationRequest& r, const std::string& calculatedAt)
{
    std::string source(kPdfSourceFormat);
    source += std::to_string(r.Precision);
    for (const bool flag : {r.RazVr, r.VrSk, r.FullReport}) source += flag ? '1' : '0';
    source.append(" ").append(calculatedAt).append("\n").append(r.ProjectName).append("\n").append(r.Project);
    return source;
}

// The table of flows as the summary report gives it: report numbers, and
// for each flow the people and f where it starts and its length and time.
std::string FlowTable(const TPipeLine& s, char separator)
{
    const std::vector<FlowSummary> flows = FlowSummaries(s);
    const auto num = [separator](double x) { return FormatReal(x, separator); };
    std::string html =
        "<h2>Сводная таблица по потокам</h2>\n<table>\n<tr><th>№ потока</th><th>Количество людей</th>"
        "<th>Средняя площадь горизонтальной проекции человека, м²</th><th>Длина, м</th><th>Время, мин.</th></tr>\n";
    const int count = static_cast<int>(flows.size());
    const int shown = std::min(count, kMaxFlowRows);
    for (int k = 0; k < shown; ++k) {
        const FlowSummary& flow = flows[std::size_t(k)];
        html += "<tr><td>" + std::to_string(flow.Number) + "</td><td>" + std::to_string(flow.People) + "</td><td>" +
                num(flow.F) + "</td><td>" + num(flow.Length) + "</td><td>" + num(flow.Time) + "</td></tr>\n";
    }
    html += "</table>\n";
    if (count > shown)
        html += Paragraph("Показаны первые " + std::to_string(shown) + " потоков из " + std::to_string(count) +
                          "; все потоки приведены в отчете.");
    return html;
}

// Steps of every scenario's calculation.
std::int64_t StepCount(const std::vector<ScenarioRun>& runs)
{
    std::int64_t steps = 0;
    for (const ScenarioRun& run : runs) steps += ReportCount(run.Built.Scheme);
    return steps;
}

// The report for download, or nullopt when it would exceed `limit`.
std::optional<std::string> BoundedReport(const TPipeLine& s, const std::vector<ScenarioRun>& runs, std::size_t limit,
                                         char separator)
{
    if (static_cast<std::size_t>(StepCount(runs)) > limit / kMinReportBytesPerStep) return std::nullopt;
    BoundedBuffer buffer(limit);
    std::ostream out(&buffer);
    BuildScenarioReport(s, runs, separator, out);
    if (buffer.Overflowed()) return std::nullopt;
    return buffer.Take();
}

// The work of every scenario's calculation.
std::int64_t ScenarioWork(const TPipeLine& s)
{
    if (s.Scenarios.empty()) return EstimateCalculationWork(s);
    std::int64_t work = 0;
    for (int i = 0; i < ScenarioCount(s); ++i)
        work += EstimateCalculationWork(BuildScenarioScheme(s, ScenarioAt(s, i)).Scheme);
    return work;
}

// Each scenario's time and verdict, and the figures of its inputs; the
// scenario nearest to failing the condition, or failing it most, marked.
std::string ScenarioTables(const TPipeLine& s, const std::vector<ScenarioRun>& runs, char separator)
{
    const auto num = [separator](double x) { return FormatReal(x, separator); };
    const int worst = WorstScenario(runs);
    std::string html =
        "<h2>Проверка условия безопасной эвакуации</h2>\n<table>\n<tr><th>Сценарий</th>"
        "<th>Заблокировано пожаром</th><th>t<sub>р</sub>, мин</th><th>Условие</th></tr>\n";
    for (int i = 0; i < static_cast<int>(runs.size()); ++i) {
        const ScenarioRun& run = runs[i];
        const std::string excluded = ExcludedText(s, ScenarioAt(s, run.Index));
        html += "<tr><td>" + EscapeHtml(run.Name) + "</td><td>" + EscapeHtml(excluded.empty() ? "-" : excluded) +
                "</td><td>" + num(run.Built.Scheme.EvacuationTime) + "</td><td>" + VerdictText(run.Check.Result) +
                (i == worst ? " (наиболее опасный сценарий)" : "") + "</td></tr>\n";
    }
    html += "</table>\n";
    for (const ScenarioRun& run : runs) {
        html += "<h3>Сценарий «" + EscapeHtml(run.Name) +
                "»</h3>\n<table>\n<tr><th>Вход</th><th>N</th><th>t<sub>р</sub>, мин</th><th>t<sub>нэ</sub>, "
                "мин</th><th>t<sub>бл</sub>, мин</th><th>t<sub>ск</sub>, мин</th><th>Условие</th></tr>\n";
        const std::size_t shown = std::min<std::size_t>(run.Check.Inputs.size(), kMaxFlowRows);
        for (std::size_t k = 0; k < shown; ++k) {
            const InputCheck& c = run.Check.Inputs[k];
            html += "<tr><td>" + EscapeHtml(c.Label) + "</td><td>" + std::to_string(c.People) + "</td><td>" +
                    num(c.EvacuationTime) + "</td><td>" + num(c.StartDelay) + "</td><td>" +
                    (c.BlockTime ? num(*c.BlockTime) : "-") + "</td><td>" + num(c.AccumTime) + "</td><td>" +
                    VerdictText(c.Result) + ": " + EscapeHtml(ReasonText(c, separator)) + "</td></tr>\n";
        }
        for (const PointCheck& p : run.Check.Points)
            html += "<tr><td>узел " + EscapeHtml(p.Label) + ", поток " + std::to_string(p.Flow) + "</td><td>" +
                    std::to_string(p.People) + "</td><td>" + num(p.PassTime) + "</td><td>" + num(p.StartDelay) +
                    "</td><td>" + num(p.BlockTime) + "</td><td>-</td><td>" + VerdictText(p.Result) + ": " +
                    EscapeHtml(ReasonText(p, separator)) + "</td></tr>\n";
        html += "</table>\n";
        if (run.Check.Inputs.size() > shown)
            html += Paragraph("Показаны первые " + std::to_string(shown) + " входов из " +
                              std::to_string(run.Check.Inputs.size()) + "; все входы приведены в отчете.");
    }
    return html;
}

// "Ссылки действительны до 14:35": the server's local time when the
// report expires, to the minute before.
std::string LinksValidUntil(std::chrono::seconds lifetime)
{
    const std::time_t until = std::time(nullptr) + static_cast<std::time_t>(lifetime.count());
    std::tm local{};
    localtime_r(&until, &local);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour, local.tm_min);
    return std::string("Ссылки действительны до ") + text;
}

ServiceResponse Calculation(const Upload& upload, const ServiceLimits& limits, std::chrono::seconds reportLifetime)
{
    std::vector<std::string> problems;
    const std::optional<CalculationRequest> request = ReadRequestFields(upload, problems);
    if (!request) return ProblemsPage("Ошибка в запросе", "Запрос не может быть выполнен:", problems);
    const std::string file = FileLine(*request);

    ProjectReadResult read = ParseProject(request->Project, request->ProjectName);
    if (!read.Scheme)
        return Page(400, "Файл проекта не прочитан", file + Paragraph(read.Error, "error") + kBackLink);
    TPipeLine& s = *read.Scheme;
    if (AreaCount(s) > limits.MaxAreas)
        return Page(400, "Схема слишком велика",
                    file + Paragraph("Схема содержит " + std::to_string(AreaCount(s)) +
                                         " участков; сервис рассчитывает схемы не более чем из " +
                                         std::to_string(limits.MaxAreas) + " участков.",
                                     "error") +
                        kBackLink);
    s.Precision = static_cast<std::uint8_t>(request->Precision);
    s.RazVr = request->RazVr;
    s.VrSk = request->VrSk;
    s.FullReport = request->FullReport;

    std::vector<std::string> messages;
    for (const Finding& f : CheckScenarios(s)) messages.push_back(f.Message);
    if (!messages.empty())
        return ProblemsPage("Схема не прошла проверку", "В схеме обнаружены ошибки, расчет не выполнен:", messages,
                            file);
    if (ScenarioWork(s) > limits.MaxWork)
        return Page(400, "Расчет слишком трудоемок",
                    file + Paragraph("Расчет этой схемы требует больше памяти и времени, чем сервис выделяет "
                                     "на один запрос. Рассчитайте схему без учета различного времени подхода "
                                     "к точке слияния потоков или в программе Stelmar.",
                                     "error") +
                        kBackLink);

    const std::vector<ScenarioRun> runs = CalculateScenarios(s, limits.DecimalSeparator);
    for (const ScenarioRun& run : runs)
        if (std::optional<std::string> failure = CheckResults(run.Built.Scheme)) {
            if (!s.Scenarios.empty()) *failure = "Сценарий «" + run.Name + "»: " + *failure;
            return ProblemsPage("Расчет не выполнен",
                                "Расчет схемы дал недопустимые значения, отчет не сформирован:", {*failure}, file);
        }
    ServiceResponse response;
    response.Report = BoundedReport(s, runs, limits.MaxReportBytes, limits.DecimalSeparator);
    const std::int64_t steps = StepCount(runs);
    if (response.Report && steps <= limits.MaxPdfSteps && ServicePdfAvailable()) {
        response.PdfSource = PackPdfSource(*request, CalculationTimeText(std::time(nullptr)));
        response.PdfWork = static_cast<std::size_t>(steps) * kPdfWorkBytesPerStep;
    }

    // The page shows the active scenario's flows; a project without
    // scenarios has the one result line it always had.
    const ScenarioRun& shown = runs[static_cast<std::size_t>(ActiveScenarioIndex(s))];
    std::string body = file + Paragraph(OptionsText(*request)) + Paragraph(kValidationPassed);
    for (const ScenarioRun& run : runs) body += Paragraph(ScenarioResultLine(s, run), "result");
    const std::string kind = request->FullReport ? "полный" : "сводный";
    if (response.Report) {
        response.ReportId = NewReportId();
        body += "<p><a href=\"report/" + response.ReportId + "/report.rtf\" download=\"report.rtf\">Скачать " +
                kind + " отчет (report.rtf, " + ByteSizeText(response.Report->size()) + ")</a></p>\n";
        if (response.PdfSource)
            body += "<p><a href=\"report/" + response.ReportId + "/report.pdf\" download=\"report.pdf\">Скачать " +
                    kind + " отчет в формате PDF (report.pdf)</a></p>\n";
        body += Paragraph("Отчет хранится на сервере ограниченное время: сохраните его на своем компьютере.");
        body += Paragraph(LinksValidUntil(reportLifetime));
    } else {
        body += Paragraph("Отчет не сформирован: его объем превысил бы " + ByteSizeText(limits.MaxReportBytes) +
                              " — наибольший объем, который выдает сервис. " +
                              (request->FullReport ? "Выберите сводный отчет или выполните расчет в программе Stelmar."
                                                   : "Выполните расчет в программе Stelmar."),
                          "error");
    }
    if (!s.Scenarios.empty()) body += ScenarioTables(s, runs, limits.DecimalSeparator);
    body += FlowTable(shown.Built.Scheme, limits.DecimalSeparator) + kBackLink;
    response.Html = HtmlPage("Результат расчета", body);
    return response;
}

}  // namespace

std::optional<std::string> MakePdfReport(std::string_view source, char separator)
{
    try {
        if (!source.starts_with(kPdfSourceFormat)) return std::nullopt;
        source.remove_prefix(kPdfSourceFormat.size());
        const std::size_t options = source.find(' ');
        const std::size_t nameStart = source.find('\n');
        const std::size_t projectStart = nameStart == std::string_view::npos ? nameStart : source.find('\n', nameStart + 1);
        if (options != 4 || nameStart == std::string_view::npos || projectStart == std::string_view::npos ||
            nameStart < options)
            return std::nullopt;
        const std::string name(source.substr(nameStart + 1, projectStart - nameStart - 1));
        ProjectReadResult read = ParseProject(source.substr(projectStart + 1), name);
        if (!read.Scheme) return std::nullopt;
        TPipeLine& s = *read.Scheme;
        s.Precision = static_cast<std::uint8_t>(source[0] - '0');
        s.RazVr = source[1] == '1';
        s.VrSk = source[2] == '1';
        s.FullReport = source[3] == '1';
        s.FileName = name;
        if (!CheckScenarios(s).empty()) return std::nullopt;
        const std::vector<ScenarioRun> runs = CalculateScenarios(s, separator);
        ShowScenarioResults(s, runs[static_cast<std::size_t>(ActiveScenarioIndex(s))]);
        const ReportTitle title{std::string(source.substr(options + 1, nameStart - options - 1))};
        return ServicePdfDocument(s, runs, title, separator);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

ServiceResponse HandleCalculation(const Upload& upload, const ServiceLimits& limits, std::chrono::seconds reportLifetime)
{
    try {
        return Calculation(upload, limits, reportLifetime);
    } catch (const std::bad_alloc&) {
        return Page(503, "Недостаточно памяти",
                    Paragraph("Сервису не хватило памяти для обработки этого запроса. Повторите попытку позже "
                              "или рассчитайте схему в программе Stelmar.",
                              "error") +
                        kBackLink);
    } catch (const std::exception&) {
        return Page(500, "Внутренняя ошибка сервиса",
                    Paragraph("Запрос не удалось обработать. Повторите попытку позже или рассчитайте схему "
                              "в программе Stelmar.",
                              "error") +
                        kBackLink);
    }
}

}  // namespace stelmar
