#include "service/CalculationServer.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "service/ServicePages.h"

namespace stelmar {

namespace {

constexpr const char* kFormPath = "/obe/StelmarCalc_3000.php";
constexpr const char* kReportPattern = R"(/obe/report/([0-9a-f]{32})/report\.rtf)";
constexpr const char* kPdfPattern = R"(/obe/report/([0-9a-f]{32})/report\.pdf)";
constexpr const char* kHtml = "text/html; charset=utf-8";

// Short timeouts so that a silent client holds a worker only briefly and
// Stop does not wait long for idle keep-alive connections.
constexpr time_t kKeepAliveSeconds = 1;
constexpr std::size_t kKeepAliveRequests = 100;
constexpr time_t kReadSeconds = 5;
constexpr time_t kWriteSeconds = 5;
constexpr std::size_t kReportChunk = 1 << 16;

// Methods whose body the library reads.
bool CarriesBody(const std::string& method)
{
    return method == "POST" || method == "PUT" || method == "PATCH" || method == "DELETE" || method == "PRI";
}

Upload UploadOf(const httplib::Request& req)
{
    Upload upload;
    upload.Parts.reserve(req.files.size());
    for (const auto& [name, part] : req.files) upload.Parts.push_back({name, part.filename, part.content});
    return upload;
}

}  // namespace

struct CalculationServer::Impl {
    explicit Impl(ServerSettings s) : settings(s), store(s.Store) {}

    void Configure(httplib::Server& server)
    {
        const std::size_t threads = static_cast<std::size_t>(std::max(1, settings.Threads));
        server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
        server.set_payload_max_length(settings.MaxUpload);
        server.set_keep_alive_max_count(kKeepAliveRequests);
        server.set_keep_alive_timeout(kKeepAliveSeconds);
        server.set_read_timeout(kReadSeconds, 0);
        server.set_write_timeout(kWriteSeconds, 0);
        // The library's default also sets SO_REUSEPORT, which would let a
        // second server share the port unnoticed.
        server.set_socket_options([this](socket_t sock) {
            const int on = 1;
            ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
            listenSocket = sock;
        });
        server.set_default_headers({{"Cache-Control", "no-store"}, {"X-Content-Type-Options", "nosniff"}});

        // The library bounds a body only by its Content-Length: a chunked
        // body, or one read until the connection ends, could grow without
        // limit. A form always declares its length.
        server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
            if (!CarriesBody(req.method)) return httplib::Server::HandlerResponse::Unhandled;
            if (req.has_header("Content-Length") && !req.has_header("Transfer-Encoding"))
                return httplib::Server::HandlerResponse::Unhandled;
            res.status = 411;
            res.set_content(StatusPage(411, settings.MaxUpload), kHtml);
            return httplib::Server::HandlerResponse::Handled;
        });
        server.Get("/", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(AboutPage(settings.MaxUpload), kHtml);
        });
        server.Get(kFormPath, [this](const httplib::Request&, httplib::Response& res) {
            res.status = 405;
            res.set_header("Allow", "POST");
            res.set_content(StatusPage(405, settings.MaxUpload), kHtml);
        });
        server.Post(kFormPath, [this](const httplib::Request& req, httplib::Response& res) { Calculate(req, res); });
        server.Get(kReportPattern, [this](const httplib::Request& req, httplib::Response& res) { Download(req, res); });
        server.Get(kPdfPattern, [this](const httplib::Request& req, httplib::Response& res) { DownloadPdf(req, res); });

        // Pages for what the server answers by itself; pages the handlers
        // wrote are left as they are.
        server.set_error_handler(httplib::Server::HandlerWithResponse(
            [this](const httplib::Request&, httplib::Response& res) {
                if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
                res.set_content(StatusPage(res.status, settings.MaxUpload), kHtml);
                return httplib::Server::HandlerResponse::Handled;
            }));
        server.set_exception_handler([this](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            res.status = 500;
            res.set_content(StatusPage(500, settings.MaxUpload), kHtml);
        });
    }

    void Calculate(const httplib::Request& req, httplib::Response& res)
    {
        if (!req.is_multipart_form_data()) {
            res.status = 400;
            res.set_content(HtmlPage("Ошибка в запросе",
                                     "<p class=\"error\">Файл проекта и параметры расчета должны быть отправлены "
                                     "формой в кодировке multipart/form-data.</p>\n<p><a href=\"/\">На главную</a></p>"),
                            kHtml);
            return;
        }
        ServiceResponse answer = HandleCalculation(UploadOf(req), settings.Limits);
        if (answer.Report) store.Put(answer.ReportId, std::move(*answer.Report));
        if (answer.PdfSource) store.Put(answer.ReportId + "/pdf", std::move(*answer.PdfSource));
        res.status = answer.Status;
        res.set_content(std::move(answer.Html), kHtml);
    }

    void Download(const httplib::Request& req, httplib::Response& res)
    {
        const std::shared_ptr<const std::string> report = store.Get(req.matches[1].str());
        if (!report) {
            res.status = 404;
            res.set_content(ReportNotFoundPage(), kHtml);
            return;
        }
        res.set_header("Content-Disposition", "attachment; filename=\"report.rtf\"");
        res.set_content_provider(report->size(), "application/rtf",
                                 [report](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                     return sink.write(report->data() + offset, std::min(length, kReportChunk));
                                 });
    }

    // The PDF report is made when it is asked for, from what the answer kept.
    void DownloadPdf(const httplib::Request& req, httplib::Response& res)
    {
        const std::shared_ptr<const std::string> source = store.Get(req.matches[1].str() + "/pdf");
        std::optional<std::string> pdf = source ? MakePdfReport(*source) : std::nullopt;
        if (!pdf) {
            res.status = 404;
            res.set_content(ReportNotFoundPage(), kHtml);
            return;
        }
        res.set_header("Content-Disposition", "attachment; filename=\"report.pdf\"");
        res.set_content(std::move(*pdf), "application/pdf");
    }

    const ServerSettings settings;
    ReportStore store;
    std::unique_ptr<httplib::Server> server;
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    socket_t listenSocket = -1;
    int port = 0;
};

CalculationServer::CalculationServer(ServerSettings settings) : impl_(std::make_unique<Impl>(settings)) {}

CalculationServer::~CalculationServer() { Stop(); }

std::optional<std::string> CalculationServer::Start(const std::string& host, int port)
{
    if (impl_->server) return "Сервис уже запущен.";
    if (port < 0 || port > 65535) return "Недопустимый номер порта: " + std::to_string(port) + ".";
    auto server = std::make_unique<httplib::Server>();
    impl_->Configure(*server);
    const int bound = port == 0 ? server->bind_to_any_port(host) : (server->bind_to_port(host, port) ? port : -1);
    if (bound <= 0)
        return "Не удалось открыть адрес " + host + ":" + std::to_string(port) + " (адрес занят или недоступен).";
    // The library listens with a backlog of 5: under load, connections
    // beyond it wait for the client's SYN retry, a second or more. Listening
    // again on the bound socket only raises the backlog.
    ::listen(impl_->listenSocket, SOMAXCONN);

    impl_->listenerDone = false;
    impl_->listener = std::thread([this, s = server.get()] {
        s->listen_after_bind();
        impl_->listenerDone = true;
    });
    // Stop has no effect before the server runs, so wait for it (or for
    // the listener to give up).
    for (int i = 0; i < 5000 && !server->is_running() && !impl_->listenerDone; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    impl_->server = std::move(server);
    if (!impl_->server->is_running()) {
        Stop();
        return "Не удалось запустить сервис на адресе " + host + ":" + std::to_string(bound) + ".";
    }
    impl_->port = bound;
    return std::nullopt;
}

int CalculationServer::Port() const { return impl_->port; }

void CalculationServer::Stop()
{
    if (!impl_->server) return;
    impl_->server->stop();
    if (impl_->listener.joinable()) impl_->listener.join();
    impl_->server.reset();
    impl_->port = 0;
}

}  // namespace stelmar
