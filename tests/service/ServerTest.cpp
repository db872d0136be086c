// The service over HTTP on a free loopback port: the form, the download of
// the report, the server's own error pages, and a run of malformed requests
// after which the service still answers correctly.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <regex>

#include "service/CalculationServer.h"
#include "tests/service/RawSocket.h"
#include "tests/service/ServiceTestSupport.h"

namespace stelmar::test {
namespace {

constexpr const char* kForm = "/obe/StelmarCalc_3000.php";
constexpr std::size_t kMaxUpload = 256 << 10;

httplib::MultipartFormDataItems Items(const std::string& project, const Options& o)
{
    return {{"userfile", project, "project.stm", "application/octet-stream"},
            {"raz_vr", o.RazVr ? "1" : "0", "", ""},
            {"vr_sk", o.VrSk ? "1" : "0", "", ""},
            {"full_report", o.FullReport ? "1" : "0", "", ""},
            {"prec", std::to_string(o.Precision), "", ""}};
}

// True once `answer` holds a whole response with its Content-Length body:
// after a request it could not parse the server may keep the connection.
bool ResponseComplete(const std::string& answer)
{
    const std::size_t end = answer.find("\r\n\r\n");
    const std::size_t field = answer.find("Content-Length: ");
    if (end == std::string::npos || field == std::string::npos || field > end) return false;
    return answer.size() >= end + 4 + std::stoul(answer.substr(field + 16, 12));
}

// Sends raw bytes on a new connection and returns what the server answers
// (possibly nothing). An incomplete request
// is followed by the end of the stream, so that the server need not wait for
// the rest; it then gives up without an answer.
std::string RawExchange(int port, std::string_view request, bool complete)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return {};
    timeval timeout{3, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        for (std::size_t sent = 0; sent < request.size();) {
            const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        if (!complete) ::shutdown(fd, SHUT_WR);
        char buffer[4096];
        for (int reads = 0; reads < 1000; ++reads) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            answer.append(buffer, static_cast<std::size_t>(n));
            if (ResponseComplete(answer)) break;
        }
    }
    ::close(fd);
    return answer;
}

int StatusOf(const std::string& answer)
{
    if (answer.rfind("HTTP/1.1 ", 0) != 0 || answer.size() < 12) return 0;
    return std::stoi(answer.substr(9, 3));
}

std::string Multipart(const std::string& boundary, const std::string& project, const std::string& prec)
{
    std::string body;
    auto part = [&](const std::string& name, const std::string& extra, const std::string& value) {
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"" + extra + "\r\n\r\n" +
                value + "\r\n";
    };
    part("userfile", "; filename=\"p.stm\"", project);
    part("raz_vr", "", "1");
    part("prec", "", prec);
    body += "--" + boundary + "--\r\n";
    return body;
}

std::string Post(const std::string& contentType, const std::string& body, std::size_t declaredLength)
{
    return std::string("POST ") + kForm + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Type: " +
           contentType + "\r\nContent-Length: " + std::to_string(declaredLength) + "\r\n\r\n" + body;
}

class HttpService : public ::testing::Test {
protected:
    void SetUp() override
    {
        ServerSettings settings;
        settings.MaxUpload = kMaxUpload;
        settings.Threads = 4;
        server_ = std::make_unique<CalculationServer>(settings);
        ASSERT_EQ(server_->Start("127.0.0.1", 0), std::nullopt);
        ASSERT_GT(server_->Port(), 0);
    }

    httplib::Client Client() const
    {
        httplib::Client client("127.0.0.1", server_->Port());
        client.set_read_timeout(20, 0);
        return client;
    }

    // Posts the project and downloads the report the page links to.
    void ExpectCalculation(const std::string& project, const Options& o)
    {
        httplib::Client client = Client();
        const auto page = client.Post(kForm, Items(project, o));
        ASSERT_TRUE(page);
        ASSERT_EQ(page->status, 200) << page->body;
        EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
        std::smatch link;
        ASSERT_TRUE(std::regex_search(page->body, link, std::regex("href=\"(report/[0-9a-f]{32}/report\\.rtf)\"")));
        const auto report = client.Get("/obe/" + link[1].str());
        ASSERT_TRUE(report);
        ASSERT_EQ(report->status, 200);
        EXPECT_EQ(report->get_header_value("Content-Type"), "application/rtf");
        EXPECT_EQ(report->get_header_value("Content-Disposition"), "attachment; filename=\"report.rtf\"");
        EXPECT_EQ(report->body, EngineReport(project, o));
    }

    std::unique_ptr<CalculationServer> server_;
};

TEST_F(HttpService, CalculatesAndServesTheReport)
{
    ExpectCalculation(Example("care-home.stm"), {true, true, true, 3});
    ExpectCalculation(Example("school-wing.stm"), {false, false, false, 2});
}

TEST_F(HttpService, AnswersEveryMistakeWithARussianPage)
{
    httplib::Client client = Client();
    const auto start = client.Get("/");
    ASSERT_TRUE(start);
    EXPECT_EQ(start->status, 200);
    EXPECT_NE(start->body.find("name=\"userfile\""), std::string::npos);

    struct Case {
        const char* what;
        httplib::Result result;
        int status;
        const char* text;
    };
    Options bad;
    bad.Precision = 0;
    const Case cases[] = {
        {"unknown report", client.Get("/obe/report/0123456789abcdef0123456789abcdef/report.rtf"), 404,
         "Отчета по этой ссылке нет"},
        {"unknown page", client.Get("/nothing"), 404, "Страница не найдена"},
        {"form by GET", client.Get(kForm), 405, "только методом POST"},
        {"not multipart", client.Post(kForm, "prec=3", "application/x-www-form-urlencoded"), 400,
         "multipart/form-data"},
        {"bad prec", client.Post(kForm, Items(Example("office-floor.stm"), bad)), 400, "Поле «prec»"},
        {"oversize", client.Post(kForm, Items(std::string(kMaxUpload + 1, 'x'), {})), 413,
         "Сервис принимает запросы размером не более 256 КБ."},
        {"wrong boundary",
         client.Post(kForm, Multipart("abc", "x", "3"), "multipart/form-data; boundary=xyz"), 400, "Некорректный"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.result) << c.what;
        EXPECT_EQ(c.result->status, c.status) << c.what;
        EXPECT_NE(c.result->body.find(c.text), std::string::npos) << c.what << "\n" << c.result->body;
        EXPECT_NE(c.result->body.find("<meta charset=\"utf-8\">"), std::string::npos) << c.what;
    }
}

TEST_F(HttpService, RefusesBodiesWithoutADeclaredLength)
{
    const std::string head = std::string("POST ") + kForm +
                             " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                             "Content-Type: multipart/form-data; boundary=b0undary\r\n";
    const std::string body = Multipart("b0undary", std::string(2 * kMaxUpload, 'x'), "3");
    std::string chunked = head + "Transfer-Encoding: chunked\r\n\r\n";
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", body.size());
    chunked += size + body + "\r\n0\r\n\r\n";
    for (const std::string& request : {chunked, head + "\r\n" + body}) {
        const std::string answer = RawExchange(server_->Port(), request, true);
        EXPECT_EQ(StatusOf(answer), 411);
        EXPECT_NE(answer.find("Content-Length"), std::string::npos);
    }
}

TEST_F(HttpService, KeepsAConnectionForAnyNumberOfRequestsInOrder)
{
    // Sent all at once, answered one after another on the same connection.
    RawSocket client(server_->Port());
    std::string requests;
    constexpr int kRequests = 150;
    for (int i = 0; i < kRequests; ++i)
        requests += i % 2 == 0 ? "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
                               : "GET /nothing?" + std::to_string(i) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    ASSERT_TRUE(client.Send(requests));
    std::size_t pageLength = 0;
    for (int i = 0; i < kRequests; ++i) {
        const std::string answer = client.Answer();
        if (i == 0) pageLength = answer.size() - answer.find("\r\n\r\n") - 4;
        ASSERT_EQ(StatusOfAnswer(answer), i % 2 == 0 ? 200 : 404) << "answer " << i;
        EXPECT_EQ(answer.find("Connection: close"), std::string::npos);
    }

    // HEAD gives the header fields of GET without the page.
    ASSERT_TRUE(client.Send("HEAD / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    const std::string head = client.Answer(std::chrono::milliseconds(3000), false);
    EXPECT_EQ(StatusOfAnswer(head), 200);
    EXPECT_NE(head.find("Content-Length: " + std::to_string(pageLength) + "\r\n"), std::string::npos);

    // A client that waits for leave to send its body gets it, then the
    // answer; HTTP/1.0 closes unless asked to keep the connection.
    const std::string body = Multipart("b0undary", Example("office-floor.stm"), "3");
    ASSERT_TRUE(client.Send(std::string("POST ") + kForm +
                            " HTTP/1.1\r\nHost: 127.0.0.1\r\nExpect: 100-continue\r\n"
                            "Content-Type: multipart/form-data; boundary=b0undary\r\nContent-Length: " +
                            std::to_string(body.size()) + "\r\n\r\n"));
    EXPECT_EQ(StatusOfAnswer(client.Answer()), 100);
    ASSERT_TRUE(client.Send(body));
    const std::string calculated = client.Answer();
    EXPECT_EQ(StatusOfAnswer(calculated), 200);
    EXPECT_NE(calculated.find("Итак, общее расчетное время эвакуации"), std::string::npos);

    ASSERT_TRUE(client.Send("GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n"));
    EXPECT_NE(client.Answer().find("Connection: keep-alive\r\n"), std::string::npos);
    ASSERT_TRUE(client.Send("GET / HTTP/1.0\r\n\r\n"));
    EXPECT_NE(client.Answer().find("Connection: close\r\n"), std::string::npos);
    EXPECT_TRUE(client.Closed(std::chrono::milliseconds(3000)));
}

// Random projects made from an example by a few changes to its lines.
std::string MutatedProject(std::mt19937& rng, const std::string& original)
{
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < original.size();) {
        const std::size_t end = original.find("\r\n", pos);
        lines.push_back(original.substr(pos, end - pos));
        pos = end == std::string::npos ? original.size() : end + 2;
    }
    static const char* const kValues[] = {"0", "-1", "1000000", "2147483647", "99999999999", "1e308", "nan",
                                          "0,0", "", "\xff\xfe", "7", "2", "3"};
    const int changes = 1 + static_cast<int>(rng() % 4);
    for (int c = 0; c < changes && !lines.empty(); ++c) {
        const std::size_t i = rng() % lines.size();
        switch (rng() % 4) {
        case 0: lines[i] = kValues[rng() % std::size(kValues)]; break;
        case 1: lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i)); break;
        case 2: lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), lines[i]); break;
        default:
            if (!lines[i].empty()) lines[i][rng() % lines[i].size()] = static_cast<char>(rng());
        }
    }
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

TEST_F(HttpService, SurvivesAThousandMalformedRequests)
{
    std::mt19937 rng(20240607);
    const std::string project = Example("office-floor.stm");
    const std::string valid = Multipart("b0undary", project, "3");
    const std::string type = "multipart/form-data; boundary=b0undary";
    auto randomBytes = [&](std::size_t n) {
        std::string s(n, '\0');
        for (char& c : s) c = static_cast<char>(rng());
        return s;
    };

    int expected = 0;
    int answered = 0;
    const int kinds = 9;
    const int rounds = 1080;
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::string request;
        int exact = 0;  // the status this request must get, when it is certain
        switch (i % kinds) {
        case 0: request = randomBytes(1 + rng() % 2000); break;
        case 1: request = Post(type, valid.substr(0, rng() % valid.size()), valid.size()); break;
        case 2:
            request = std::string("GET / HTTP/1.1\r\nConnection: close\r\nX-Big: ") + std::string(9000 + rng() % 20000, 'a') +
                      "\r\n\r\n";
            exact = 431;
            break;
        case 3:
            request = Post("multipart/form-data; boundary=other", valid, valid.size());
            exact = 400;
            break;
        case 4: {
            const std::string body = Multipart("b0undary", project, randomBytes(1 + rng() % 3));
            request = Post(type, body, body.size());
            break;
        }
        case 5: {
            const unsigned prec = rng() % 20;
            const std::string body = Multipart("b0undary", project, std::to_string(prec));
            request = Post(type, body, body.size());
            exact = prec >= 1 && prec <= 9 ? 200 : 400;
            break;
        }
        case 6: {
            const std::string body = Multipart("b0undary", MutatedProject(rng, project), "2");
            request = Post(type, body, body.size());
            break;
        }
        case 7: {
            std::string body = valid;
            body[rng() % body.size()] = static_cast<char>(rng());
            request = Post(type, body, body.size());
            break;
        }
        default:
            request = "GET /" + std::string(9000, 'x') + " HTTP/1.1\r\nConnection: close\r\n\r\n";
            exact = 414;
        }
        const bool complete = i % kinds >= 2;
        const std::string answer = RawExchange(server_->Port(), request, complete);
        const int status = StatusOf(answer);
        if (complete) {
            ++expected;
            answered += status != 0;
        }
        if (status != 0 && exact != 0) {
            EXPECT_EQ(status, exact) << "kind " << i % kinds;
        }
        if (status != 0) {
            EXPECT_TRUE(status == 200 || (status >= 400 && status < 500)) << "kind " << i % kinds << ": " << status;
            if (status == 200) {
                EXPECT_NE(answer.find("Итак, общее расчетное время эвакуации"), std::string::npos) << i % kinds;
            }
        }
    }
    EXPECT_GE(answered, expected * 9 / 10) << "complete requests are answered";
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(40));

    ExpectCalculation(project, {true, false, true, 3});
}

TEST_F(HttpService, StopsPromptlyWithAnIdleKeepAliveClient)
{
    httplib::Client client = Client();
    client.set_keep_alive(true);
    ASSERT_TRUE(client.Get("/"));
    const auto started = std::chrono::steady_clock::now();
    server_->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2500));
    EXPECT_EQ(server_->Port(), 0);

    // The same object starts again; a taken port is refused.
    ASSERT_EQ(server_->Start("127.0.0.1", 0), std::nullopt);
    EXPECT_TRUE(server_->Start("127.0.0.1", 0).has_value()) << "already running";
    CalculationServer other;
    const auto refused = other.Start("127.0.0.1", server_->Port());
    ASSERT_TRUE(refused.has_value());
    EXPECT_NE(refused->find("адрес занят"), std::string::npos);
}

}  // namespace
}  // namespace stelmar::test
