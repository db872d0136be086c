// Clients that attack the service: endless request lines and header
// fields, too many header fields, requests trickled byte by byte, more
// connections or more uploads than the server takes, and calculations
// queued behind each other. Small limits keep each run to a few seconds.

#include <gtest/gtest.h>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "service/CalculationServer.h"
#include "tests/TestSchemes.h"
#include "tests/service/RawSocket.h"
#include "tests/service/ServiceTestSupport.h"

namespace stelmar::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr const char* kForm = "/obe/StelmarCalc_3000.php";
constexpr std::size_t kLineLimit = 1024;
constexpr std::size_t kHeaderLimit = 4096;
constexpr std::size_t kUploadLimit = 64 << 10;
constexpr milliseconds kTimeout{1000};
constexpr int kConnectionLimit = 32;

std::string FormBody(const std::string& boundary, const std::string& project)
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"p.stm\"\r\n\r\n" +
           project + "\r\n--" + boundary + "\r\nContent-Disposition: form-data; name=\"prec\"\r\n\r\n2\r\n--" +
           boundary + "--\r\n";
}

std::string PostHead(std::size_t length)
{
    return std::string("POST ") + kForm +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; boundary=bnd\r\nContent-Length: " +
           std::to_string(length) + "\r\n\r\n";
}

class HostileClients : public ::testing::Test {
protected:
    void SetUp() override { StartWith([](ServerSettings&) {}); }

    template <typename Change>
    void StartWith(Change change)
    {
        ServerSettings settings;
        settings.MaxUpload = kUploadLimit;
        settings.MaxLineBytes = kLineLimit;
        settings.MaxHeaderBytes = kHeaderLimit;
        settings.RequestTimeout = kTimeout;
        settings.MaxConnections = kConnectionLimit;
        settings.Threads = 2;
        change(settings);
        if (server_) server_->Stop();
        server_ = std::make_unique<CalculationServer>(settings);
        ASSERT_EQ(server_->Start("127.0.0.1", 0), std::nullopt);
    }

    int Port() const { return server_->Port(); }

    // Status of GET / on a new connection, 0 without an answer.
    int StartPageStatus() const
    {
        httplib::Client client("127.0.0.1", Port());
        client.set_connection_timeout(2, 0);
        client.set_read_timeout(5, 0);
        const auto answer = client.Get("/");
        return answer ? answer->status : 0;
    }

    std::unique_ptr<CalculationServer> server_;
};

TEST_F(HostileClients, EndlessLinesAreRefusedOnceTheyPassTheLimit)
{
    struct Case {
        const char* what;
        std::string start;
        std::string piece;  // sent again and again
        std::size_t limit;
        int status;
    };
    const std::string field = "X-Fill: " + std::string(22, 'a') + "\r\n";  // 32 bytes
    std::string fields;
    for (int i = 0; i < 8; ++i) fields += field;
    const Case cases[] = {
        {"request line", "GET /", std::string(256, 'x'), kLineLimit, 414},
        {"header field", "GET / HTTP/1.1\r\nX-Big: ", std::string(256, 'a'), kLineLimit, 431},
        {"many header fields", "GET / HTTP/1.1\r\n", fields, kHeaderLimit, 431},
    };
    for (const Case& c : cases) {
        // Four at once, as an attacker would; each is refused as soon as
        // the server has read past the limit, without waiting for the end
        // of a line that never comes.
        std::vector<std::unique_ptr<RawSocket>> clients;
        for (int i = 0; i < 4; ++i) {
            auto& client = clients.emplace_back(std::make_unique<RawSocket>(Port()));
            ASSERT_TRUE(client->Send(c.start)) << c.what;
            std::size_t sent = c.start.size();
            while (sent <= 64 * c.limit && client->Send(c.piece)) {
                sent += c.piece.size();
                if (client->Readable(sent > c.limit ? milliseconds(5000) : milliseconds(0))) break;
            }
            EXPECT_LE(sent, c.limit + c.piece.size()) << c.what;
            const std::string answer = client->Answer();
            EXPECT_EQ(StatusOfAnswer(answer), c.status) << c.what;
            EXPECT_NE(answer.find("Connection: close"), std::string::npos) << c.what;
            EXPECT_NE(answer.find("<html lang=\"ru\">"), std::string::npos) << c.what;
            EXPECT_TRUE(client->Closed(milliseconds(3000))) << c.what;
        }
    }
    EXPECT_EQ(StartPageStatus(), 200);
}

TEST_F(HostileClients, RequestsTrickledPastTheTimeoutAreAnswered408AndClosed)
{
    const std::string body = FormBody("bnd", Example("office-floor.stm"));
    RawSocket header(Port());
    RawSocket bodyTrickle(Port());
    RawSocket idle(Port());
    ASSERT_TRUE(header.Send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n"));
    ASSERT_TRUE(bodyTrickle.Send(PostHead(body.size()) + body.substr(0, 10)));
    const auto started = Clock::now();

    // One byte every 100 ms: each read is quick, the request never ends.
    std::size_t next = 10;
    while (!header.Readable(milliseconds(100)) && Clock::now() - started < 4 * kTimeout) {
        header.Send("X");
        bodyTrickle.Send(body.substr(next++, 1));
    }
    const auto answered = Clock::now() - started;
    EXPECT_GE(answered, kTimeout - milliseconds(100));
    EXPECT_LT(answered, 3 * kTimeout);
    for (RawSocket* client : {&header, &bodyTrickle}) {
        const std::string answer = client->Answer();
        EXPECT_EQ(StatusOfAnswer(answer), 408);
        EXPECT_NE(answer.find("Время ожидания запроса истекло"), std::string::npos);
        EXPECT_TRUE(client->Closed(milliseconds(3000)));
    }
    // A connection that never began a request is closed without an answer.
    EXPECT_EQ(idle.Answer(milliseconds(3000)), "");
    EXPECT_EQ(StartPageStatus(), 200);
}

TEST_F(HostileClients, SlowClientsDoNotHoldUpOthers)
{
    // Far more slow clients than there are threads, each one byte at a
    // time, while others are served.
    std::vector<std::unique_ptr<RawSocket>> slow;
    for (int i = 0; i < 24; ++i) slow.push_back(std::make_unique<RawSocket>(Port()));
    std::atomic<bool> done{false};
    std::thread trickle([&] {
        const std::string request = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: 1\r\n\r\n";
        for (std::size_t i = 0; !done && i < request.size(); ++i) {
            for (auto& s : slow) s->Send(request.substr(i, 1));
            std::this_thread::sleep_for(milliseconds(200));
        }
    });

    const std::string project = Example("care-home.stm");
    httplib::Client client("127.0.0.1", Port());
    client.set_keep_alive(true);
    client.set_read_timeout(10, 0);
    for (int i = 0; i < 10; ++i) {
        const auto sent = Clock::now();
        const auto page = client.Get("/");
        ASSERT_TRUE(page);
        EXPECT_EQ(page->status, 200);
        const auto calculation = client.Post(kForm, FormBody("bnd", project), "multipart/form-data; boundary=bnd");
        ASSERT_TRUE(calculation);
        EXPECT_EQ(calculation->status, 200);
        EXPECT_LT(Clock::now() - sent, milliseconds(2000)) << "request " << i;
    }

    // Stop does not wait for the slow clients.
    const auto stopping = Clock::now();
    server_->Stop();
    EXPECT_LT(Clock::now() - stopping, milliseconds(2500));
    done = true;
    trickle.join();
    for (auto& s : slow) EXPECT_TRUE(s->Closed(milliseconds(1000)));
}

TEST_F(HostileClients, ConnectionsOverTheLimitAreRefusedAtOnce)
{
    std::vector<std::unique_ptr<RawSocket>> idle;
    for (int i = 0; i < kConnectionLimit; ++i) {
        idle.push_back(std::make_unique<RawSocket>(Port()));
        ASSERT_TRUE(idle.back()->Connected());
    }
    // Connections are taken in order, so this one is over the limit.
    for (int round = 0; round < 3; ++round) {
        RawSocket over(Port());
        const auto sent = Clock::now();
        ASSERT_TRUE(over.Send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
        const std::string answer = over.Answer();
        EXPECT_EQ(StatusOfAnswer(answer), 503);
        EXPECT_NE(answer.find("Сервис перегружен"), std::string::npos);
        EXPECT_LT(Clock::now() - sent, milliseconds(1000)) << "refused without waiting";
        EXPECT_TRUE(over.Closed(milliseconds(3000)));
    }

    // Once connections close, new ones are served again.
    idle.resize(kConnectionLimit - 4);
    int status = 0;
    for (int tries = 0; tries < 40 && status != 200; ++tries) {
        status = StartPageStatus();
        if (status != 200) std::this_thread::sleep_for(milliseconds(50));
    }
    EXPECT_EQ(status, 200);
}

TEST_F(HostileClients, UploadsBeyondTheBoundOfMemoryAreRefused)
{
    // Eight uploads of the largest size fill what the server keeps for
    // bodies; the next one is refused before its body is read.
    std::vector<std::unique_ptr<RawSocket>> pending;
    for (int i = 0; i < 8; ++i) {
        pending.push_back(std::make_unique<RawSocket>(Port()));
        ASSERT_TRUE(pending.back()->Send(PostHead(kUploadLimit) + std::string(1000, 'x')));
    }
    // The pending uploads are read before the next connection.
    std::this_thread::sleep_for(milliseconds(200));
    {
        RawSocket over(Port());
        ASSERT_TRUE(over.Send(PostHead(kUploadLimit)));
        EXPECT_EQ(StatusOfAnswer(over.Answer()), 503);
    }
    pending.pop_back();
    const std::string body = FormBody("bnd", Example("office-floor.stm"));
    int status = 0;
    for (int tries = 0; tries < 40 && (status == 0 || status == 503); ++tries) {
        RawSocket client(Port());
        client.Send(PostHead(body.size()) + body);
        status = StatusOfAnswer(client.Answer());
        if (status == 503) std::this_thread::sleep_for(milliseconds(50));
    }
    EXPECT_EQ(status, 200);
}

TEST_F(HostileClients, RefusedBodiesAreReadToTheirEndSoTheClientGetsThePage)
{
    // Far more than the socket buffers hold: a server that closed after
    // answering would reset the connection while the client still sends.
    constexpr std::size_t kUpload = 16 << 20;
    StartWith([](ServerSettings& s) { s.MaxUpload = kUpload; });
    std::string form;
    const std::string part = "--bnd\r\nContent-Disposition: form-data; name=\"f\"\r\n\r\n" + std::string(700, 'v') + "\r\n";
    for (int i = 0; i < 20'000; ++i) form += part;
    form += "--bnd--\r\n";
    ASSERT_LE(form.size(), kUpload);

    // Too many parts: the page comes once they are seen, before the rest.
    RawSocket parts(Port());
    const std::size_t seen = 300 * part.size();
    ASSERT_TRUE(parts.Send(PostHead(form.size()) + form.substr(0, seen)));
    const std::string refused = parts.Answer(milliseconds(5000));
    EXPECT_EQ(StatusOfAnswer(refused), 400);
    EXPECT_NE(refused.find("Некорректный запрос"), std::string::npos);
    EXPECT_NE(refused.find("Connection: close"), std::string::npos);
    EXPECT_TRUE(parts.Send(form.substr(seen))) << "the rest of the body is taken";
    EXPECT_TRUE(parts.Closed(milliseconds(5000)));

    // Too large: the same, up to the largest upload.
    RawSocket large(Port());
    ASSERT_TRUE(large.Send(PostHead(kUpload + 1)));
    EXPECT_EQ(StatusOfAnswer(large.Answer(milliseconds(5000))), 413);
    EXPECT_TRUE(large.Send(std::string(kUpload + 1, 'x')));
    EXPECT_TRUE(large.Closed(milliseconds(5000)));
}

TEST_F(HostileClients, QueuedCalculationsDoNotDelayOtherAnswers)
{
    StartWith([](ServerSettings& s) {
        s.Threads = 1;
        s.MaxUpload = 4 << 20;
        s.RequestTimeout = milliseconds(30'000);
    });
    const std::string project = ProjectBytes(RandomTree(7, 1500, 1500));
    const std::string body = FormBody("bnd", project);
    constexpr int kCalculations = 6;
    std::atomic<int> finished{0};
    std::vector<std::thread> heavy;
    for (int i = 0; i < kCalculations; ++i)
        heavy.emplace_back([&] {
            RawSocket client(Port());
            client.Send(PostHead(body.size()) + body);
            EXPECT_EQ(StatusOfAnswer(client.Answer(milliseconds(60'000))), 200);
            ++finished;
        });
    // The calculations are queued behind each other on the one thread;
    // the start page does not wait for them.
    while (finished == 0) {
        std::this_thread::sleep_for(milliseconds(5));
        EXPECT_EQ(StartPageStatus(), 200);
    }
    EXPECT_LT(finished, kCalculations);
    for (std::thread& t : heavy) t.join();
}

}  // namespace
}  // namespace stelmar::test
