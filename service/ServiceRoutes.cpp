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
std::string_view ReportIdOf(std::string_view path, std::string_view suffix)
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

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// True when the If-None-Match field `field` ("*" or a list of entity tags,
// weak ones too) names `etag`.
bool NamesTag(std::string_view field, std::string_view etag)
{
    if (Trimmed(field) == "*") return true;
    while (!field.empty()) {
        const std::size_t comma = field.find(',');
        std::string_view tag = Trimmed(field.substr(0, comma));
        if (tag.starts_with("W/")) tag.remove_prefix(2);
        if (tag == etag) return true;
        field = comma == std::string_view::npos ? std::string_view{} : field.substr(comma + 1);
    }
    return false;
}

// A stored report as a download, or 304 when the client holds it already.
HttpAnswer FileAnswer(const StoredFile& file, std::string_view ifNoneMatch, const char* type, const char* name)
{
    HttpAnswer answer;
    if (!file.ETag.empty()) {
        answer.Fields.emplace_back("ETag", file.ETag);
        if (!ifNoneMatch.empty() && NamesTag(ifNoneMatch, file.ETag)) {
            answer.Status = 304;
            return answer;
        }
    }
    answer.ContentType = type;
    answer.Fields.emplace_back("Content-Disposition", std::string("attachment; filename=\"") + name + "\"");
    answer.Shared = file.Bytes;
    return answer;
}

}  // namespace

std::optional<std::string_view> ServiceRoutes::FormBoundary(const HttpRequest& request)
{
    if (request.Method != "POST" || PathOf(request.Target) != kFormPath || !IsMultipartForm(request.ContentType))
        return std::nullopt;
    return MultipartBoundary(request.ContentType);
}

void ServiceRoutes::Answer(HttpRequest request, const Reply& reply)
{
    try {
        const std::string_view path = PathOf(request.Target);
        if (request.Method == "POST" && path == kFormPath) {
            auto calculate = [this, request = std::move(request), reply]() mutable {
                HttpAnswer answer;
                try {
                    answer = Calculate(request);
                } catch (const std::exception&) {
                    answer = Status(500);
                }
                request = {};
                reply(std::move(answer));
            };
            if (!calculations_.Submit(std::move(calculate))) reply(Status(503));
            return;
        }
        if (const std::string_view id = ReportIdOf(path, kPdfSuffix); !id.empty() && IsRead(request))
            return DownloadPdf(id, request, reply);
        reply(Immediate(request));
    } catch (const std::exception&) {
        reply(Status(500));
    }
}

HttpAnswer ServiceRoutes::Immediate(const HttpRequest& request) const
{
    const std::string_view path = PathOf(request.Target);
    if (path == "/" && IsRead(request)) return Page(200, AboutPage(maxUpload_));
    if (path == kFormPath) {
        HttpAnswer answer = Status(405);
        answer.Fields.emplace_back("Allow", "POST");
        return answer;
    }
    if (const std::string_view id = ReportIdOf(path, kReportSuffix); !id.empty() && IsRead(request)) {
        const std::optional<StoredFile> report = store_.Get(std::string(id), ReportFile::Rtf);
        if (!report) return Page(404, ReportNotFoundPage());
        return FileAnswer(*report, request.IfNoneMatch, "application/rtf", "report.rtf");
    }
    return Status(404);
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
    ServiceResponse response = HandleCalculation(*upload, limits_, store_.Lifetime());
    if (response.Report)
        store_.Put(response.ReportId, request.Client,
                   {std::move(*response.Report), std::move(response.PdfSource).value_or(std::string()),
                    response.PdfWork});
    return Page(response.Status, std::move(response.Html));
}

void ServiceRoutes::DownloadPdf(std::string_view id, const HttpRequest& request, const Reply& reply)
{
    // Answered from a build thread when the PDF has to be made first.
    pdfs_.Fetch(std::string(id), request.Client, [this, reply, ifNoneMatch = request.IfNoneMatch](PdfFetch fetched) {
        try {
            switch (fetched.Result) {
            case PdfFetch::Outcome::Ready:
                return reply(FileAnswer(fetched.File, ifNoneMatch, "application/pdf", "report.pdf"));
            case PdfFetch::Outcome::Missing: return reply(Page(404, ReportNotFoundPage()));
            case PdfFetch::Outcome::Busy: {
                HttpAnswer answer = Page(503, PdfBusyPage());
                answer.Fields.emplace_back("Retry-After", std::to_string(kPdfRetryAfter));
                return reply(std::move(answer));
            }
            }
        } catch (const std::exception&) {
            reply(Status(500));
        }
    });
}

}  // namespace stelmar
