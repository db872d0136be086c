#include "service/CalculationServer.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>

#include <future>
#include <thread>
#include <vector>

#include "service/HttpConnection.h"
#include "service/PdfBuilds.h"
#include "service/ServiceRoutes.h"
#include "service/WorkPool.h"

namespace stelmar {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using boost::system::error_code;

namespace {

constexpr int kIoThreads = 2;
// How long accepting pauses when the process is out of descriptors or
// memory, instead of failing again at once.
constexpr std::chrono::milliseconds kAcceptPause{50};
// How long Stop waits for answers being written.
constexpr std::chrono::milliseconds kStopGrace{3000};
// Connections over the limit answered 503 at the same time; beyond them
// a connection is closed without an answer.
constexpr std::size_t kMaxRefusing = 64;

HttpLimits LimitsOf(const ServerSettings& s)
{
    HttpLimits limits;
    limits.MaxLineBytes = std::min(s.MaxLineBytes, s.MaxHeaderBytes);
    limits.MaxHeaderBytes = s.MaxHeaderBytes;
    limits.MaxBodyBytes = s.MaxUpload;
    // Room for eight uploads of the largest size at once, being read or
    // waiting for a calculation thread; more would let many large uploads
    // together exhaust memory.
    limits.MaxBodiesBytes = s.MaxUpload * 8;
    limits.RequestTimeout = s.RequestTimeout;
    return limits;
}

// PDF reports are made on a quarter as many threads as calculate, at least
// one: each takes a core and tens of megabytes for seconds.
int PdfThreads(const ServerSettings& s) { return std::max(1, s.Threads / 4); }

}  // namespace

// One run of the server, from Start to Stop. The members are destroyed in
// reverse order: the I/O context, with the connections its handlers hold,
// before what they refer to.
struct ServerRun {
    ServerRun(const ServerSettings& s, ReportStore& store)
        : maxConnections(static_cast<std::size_t>(std::max(1, s.MaxConnections))),
          pool(s.Threads),
          pdfs(store, PdfThreads(s),
               [separator = s.Limits.DecimalSeparator](std::string_view source) {
                   return MakePdfReport(source, separator);
               }),
          routes(s.MaxUpload, s.Limits, store, pool, pdfs),
          shared{LimitsOf(s), routes, open},
          acceptStrand(asio::make_strand(io)),
          acceptor(acceptStrand),
          pause(acceptStrand)
    {
    }

    // The port bound on `host`, or 0.
    int Listen(const std::string& host, int port)
    {
        tcp::resolver resolver(io);
        error_code ec;
        const auto found = resolver.resolve(host, std::to_string(port),
                                            tcp::resolver::passive | tcp::resolver::numeric_service, ec);
        if (ec) return 0;
        for (const auto& entry : found) {
            tcp::acceptor candidate(acceptStrand);
            candidate.open(entry.endpoint().protocol(), ec);
            // Only SO_REUSEADDR: SO_REUSEPORT would let a second server
            // share the port unnoticed.
            if (!ec) candidate.set_option(tcp::acceptor::reuse_address(true), ec);
            if (!ec) candidate.bind(entry.endpoint(), ec);
            if (!ec) candidate.listen(asio::socket_base::max_listen_connections, ec);
            if (ec) continue;
            acceptor = std::move(candidate);
            return acceptor.local_endpoint(ec).port();
        }
        return 0;
    }

    void Run()
    {
        asio::post(acceptStrand, [this] { Accept(); });
        for (int i = 0; i < kIoThreads; ++i) threads.emplace_back([this] { io.run(); });
    }

    void Accept()
    {
        acceptor.async_accept(asio::make_strand(io),
                              [this](const error_code& ec, tcp::socket socket) { Accepted(ec, std::move(socket)); });
    }

    void Accepted(const error_code& ec, tcp::socket socket)
    {
        if (!acceptor.is_open()) return;
        if (ec && ec != asio::error::connection_aborted) {
            pause.expires_after(kAcceptPause);
            pause.async_wait([this](const error_code& e) {
                if (!e) Accept();
            });
            return;
        }
        if (!ec) {
            error_code ignored;
            socket.set_option(tcp::no_delay(true), ignored);
            auto connection = std::make_shared<HttpConnection>(std::move(socket), shared);
            if (open.Admit(connection, maxConnections)) connection->Serve();
            else if (shared.Refusing < kMaxRefusing) connection->Refuse();
        }
        Accept();
    }

    void Stop()
    {
        std::promise<void> closed;
        asio::post(acceptStrand, [this, &closed] {
            error_code ignored;
            acceptor.close(ignored);
            pause.cancel();
            closed.set_value();
        });
        closed.get_future().wait();
        pool.Stop();
        pdfs.Stop();
        open.ShutdownAll();
        open.WaitUntilEmpty(kStopGrace);
        io.stop();
        for (std::thread& t : threads) t.join();
    }

    const std::size_t maxConnections;
    ConnectionSet open;
    WorkPool pool;
    PdfBuilds pdfs;
    ServiceRoutes routes;
    ConnectionShared shared;
    asio::io_context io;
    asio::strand<asio::io_context::executor_type> acceptStrand;
    tcp::acceptor acceptor;
    asio::steady_timer pause;
    std::vector<std::thread> threads;
};

struct CalculationServer::Impl {
    explicit Impl(const ServerSettings& s) : settings(s), store(s.Store) {}

    const ServerSettings settings;
    ReportStore store;
    std::unique_ptr<ServerRun> run;
    int port = 0;
};

CalculationServer::CalculationServer(ServerSettings settings) : impl_(std::make_unique<Impl>(settings)) {}

CalculationServer::~CalculationServer() { Stop(); }

std::optional<std::string> CalculationServer::Start(const std::string& host, int port)
{
    if (impl_->run) return "Сервис уже запущен.";
    if (port < 0 || port > 65535) return "Недопустимый номер порта: " + std::to_string(port) + ".";
    auto run = std::make_unique<ServerRun>(impl_->settings, impl_->store);
    const int bound = run->Listen(host, port);
    if (bound <= 0)
        return "Не удалось открыть адрес " + host + ":" + std::to_string(port) + " (адрес занят или недоступен).";
    run->Run();
    impl_->run = std::move(run);
    impl_->port = bound;
    return std::nullopt;
}

int CalculationServer::Port() const { return impl_->port; }

void CalculationServer::Stop()
{
    if (!impl_->run) return;
    impl_->run->Stop();
    impl_->run.reset();
    impl_->port = 0;
}

}  // namespace stelmar
