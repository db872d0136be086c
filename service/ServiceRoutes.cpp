#include "service/ServiceRoutes.h"

#include <exception>

#include "service/MultipartForm.h"
#include "service/ServicePages.h"

namespace stelmar {

namespace {

constexpr std::string_view kReportPrefix = "/obe/report/";
constexpr std::string_view kReportSuffix = "/report.rtf";
constexpr std::string_view kPdfSuffix = "/report.pdf";
constexpr std::size_t kReportIdLength = 32;

std::string_view PathOf(std::string_view target) { return target.substr(0, target.find('?')); }

bool IsRead(const HttpRequest& request) { return request.Method == "GET" || request.Method == "HEAD"; }

// The id in "/obe/report/<32 lowercase hex digits>/report.rtf" (or the
// other `suffix`), or empty.
std::string_view ReportIdOf(std::string_view path, std::string_view suffix = kReportSuffix)
{
    if (path.size() != kReportPrefix.size() + kReportIdLength + suffix.size() || !path.starts_with(kReportPrefix) ||
        !path.ends_with(suffix))
        return {};
    const std::string_view id = path.substr(kReportPrefix.size(), kReportIdLength);
    for (const char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return {};
    return id;
}

HttpAnswer Page(int status, std::string html)
{
    HttpAnswer answer;
    answer.Status = status;
    answer.Body = std::move(html);
    return answer;
}

HttpAnswer ReportNotFound()
{
    return Page(404, HtmlPage("Отчет не найден",
                              "<p class=\"error\">Отчета по этой ссылке нет: срок его хранения истек "
                              "или адрес неверен. Отправьте файл проекта на расчет еще раз.</p>\n"
                              "<p><a href=\"/\">На главную</a></p>"));
}

// The key under which the store keeps what the PDF report of `id` is made
// from.
std::string PdfSourceKey(std::string_view id) { return std::string(id) + "/pdf"; }

}  // namespace

bool ServiceRoutes::Calculates(const HttpRequest& request)
{
    const std::string_view path = PathOf(request.Target);
    // The PDF report is calculated and laid out when it is asked for.
    return (request.Method == "POST" && path == kFormPath) ||
           (IsRead(request) && !ReportIdOf(path, kPdfSuffix).empty());
}

HttpAnswer ServiceRoutes::Answer(const HttpRequest& request)
{
    try {
        const std::string_view path = PathOf(request.Target);
        if (path == "/" && IsRead(request)) return Page(200, AboutPage(maxUpload_));
        if (path == kFormPath) {
            if (request.Method == "POST") return Calculate(request);
            HttpAnswer answer = Status(405);
            answer.Fields.emplace_back("Allow", "POST");
            return answer;
        }
        if (const std::string_view id = ReportIdOf(path); !id.empty() && IsRead(request)) return Download(id);
        if (const std::string_view id = ReportIdOf(path, kPdfSuffix); !id.empty() && IsRead(request))
            return DownloadPdf(id);
        return Status(404);
    } catch (const std::exception&) {
        return Status(500);
    }
}

HttpAnswer ServiceRoutes::Status(int status) const { return Page(status, StatusPage(status, maxUpload_)); }

HttpAnswer ServiceRoutes::Calculate(const HttpRequest& request)
{
    if (!IsMultipartForm(request.ContentType))
        return Page(400, HtmlPage("Ошибка в запросе",
                                  "<p class=\"error\">Файл проекта и параметры расчета должны быть отправлены "
                                  "формой в кодировке multipart/form-data.</p>\n<p><a href=\"/\">На главную</a></p>"));
    const std::optional<std::string_view> boundary = MultipartBoundary(request.ContentType);
    const std::optional<Upload> upload = boundary ? ParseMultipartForm(request.Body, *boundary) : std::nullopt;
    if (!upload) return Status(400);
    ServiceResponse response = HandleCalculation(*upload, limits_);
    if (response.Report) store_.Put(response.ReportId, std::move(*response.Report));
    if (response.PdfSource) store_.Put(PdfSourceKey(response.ReportId), std::move(*response.PdfSource));
    return Page(response.Status, std::move(response.Html));
}

HttpAnswer ServiceRoutes::Download(std::string_view id)
{
    std::shared_ptr<const std::string> report = store_.Get(std::string(id));
    if (!report) return ReportNotFound();
    HttpAnswer answer;
    answer.ContentType = "application/rtf";
    answer.Fields.emplace_back("Content-Disposition", "attachment; filename=\"report.rtf\"");
    answer.Shared = std::move(report);
    return answer;
}

HttpAnswer ServiceRoutes::DownloadPdf(std::string_view id)
{
    const std::shared_ptr<const std::string> source = store_.Get(PdfSourceKey(id));
    std::optional<std::string> pdf = source ? MakePdfReport(*source, limits_.DecimalSeparator) : std::nullopt;
    if (!pdf) return ReportNotFound();
    HttpAnswer answer;
    answer.ContentType = "application/pdf";
    answer.Fields.emplace_back("Content-Disposition", "attachment; filename=\"report.pdf\"");
    answer.Body = std::move(*pdf);
    return answer;
}

}  // namespace stelmar
