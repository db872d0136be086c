// The report downloads: each PDF made once however many ask for it, one
// build at a time per client address, the answers with their entity tags,
// and a client's links that outlive another client's many calculations.

#include <gtest/gtest.h>

#include <condition_variable>
#include <ctime>
#include <future>
#include <mutex>
#include <regex>

#include "service/CalculationServer.h"
#include "service/ClientAddress.h"
#include "service/PdfBuilds.h"
#include "service/ServiceRoutes.h"
#include "tests/service/RawSocket.h"
#include "tests/service/ServiceTestSupport.h"

namespace stelmar::test {
namespace {

using std::chrono::milliseconds;

// A PDF maker that holds every build until it is opened, and counts them.
class GatedMaker {
public:
    std::optional<std::string> Make(std::string_view source)
    {
        std::unique_lock lock(mutex_);
        ++started_;
        maxRunning_ = std::max(maxRunning_, ++running_);
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
        --running_;
        if (source == "broken") return std::nullopt;
        return "PDF of " + std::string(source);
    }

    PdfBuilds::Maker Maker()
    {
        return [this](std::string_view source) { return Make(source); };
    }

    void WaitUntilStarted(int builds)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return started_ >= builds; });
    }

    void Open()
    {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

    int Started()
    {
        const std::lock_guard lock(mutex_);
        return started_;
    }

    int MaxRunning()
    {
        const std::lock_guard lock(mutex_);
        return maxRunning_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    int started_ = 0;
    int running_ = 0;
    int maxRunning_ = 0;
};

// The answers given to the downloads of one report, as they come.
class Fetched {
public:
    PdfBuilds::Done Collect()
    {
        return [this](PdfFetch f) {
            const std::lock_guard lock(mutex_);
            got_.push_back(std::move(f));
            changed_.notify_all();
        };
    }

    std::vector<PdfFetch> Wait(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return got_.size() >= count; });
        return got_;
    }

    std::size_t Count()
    {
        const std::lock_guard lock(mutex_);
        return got_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<PdfFetch> got_;
};

TEST(PdfBuildsTest, EachPdfIsMadeOnceAndEachClientHasOneBuildAtATime)
{
    ReportStore store;
    for (const char* id : {"a", "b", "c"}) store.Put(id, "192.0.2.1", {"rtf", std::string("source ") + id});
    store.Put("broken", "192.0.2.1", {"rtf", "broken"});
    store.Put("rtf-only", "192.0.2.1", {"rtf"});
    GatedMaker gate;
    PdfBuilds builds(store, 2, gate.Maker());

    Fetched a;
    builds.Fetch("a", "x", a.Collect());
    gate.WaitUntilStarted(1);
    builds.Fetch("a", "y", a.Collect());
    builds.Fetch("a", "x", a.Collect());
    EXPECT_EQ(a.Count(), 0u) << "all three wait for the one build";

    Fetched now;
    builds.Fetch("b", "x", now.Collect());
    builds.Fetch("rtf-only", "y", now.Collect());
    builds.Fetch("unknown", "y", now.Collect());
    ASSERT_EQ(now.Count(), 3u) << "answered at once";
    const std::vector<PdfFetch> immediate = now.Wait(3);
    EXPECT_EQ(immediate[0].Result, PdfFetch::Outcome::Busy) << "x has a build running";
    EXPECT_EQ(immediate[1].Result, PdfFetch::Outcome::Missing);
    EXPECT_EQ(immediate[2].Result, PdfFetch::Outcome::Missing);

    // Other clients build at the same time, on at most the pool's threads.
    Fetched b;
    Fetched c;
    builds.Fetch("b", "y", b.Collect());
    builds.Fetch("c", "z", c.Collect());
    gate.WaitUntilStarted(2);
    gate.Open();
    const std::vector<PdfFetch> waited = a.Wait(3);
    for (const PdfFetch& f : waited) {
        ASSERT_EQ(f.Result, PdfFetch::Outcome::Ready);
        EXPECT_EQ(f.File.Bytes, waited[0].File.Bytes) << "the same document";
        EXPECT_EQ(*f.File.Bytes, "PDF of source a");
        EXPECT_EQ(f.File.ETag, "\"a-pdf\"");
    }
    EXPECT_EQ(*b.Wait(1)[0].File.Bytes, "PDF of source b");
    EXPECT_EQ(*c.Wait(1)[0].File.Bytes, "PDF of source c");
    EXPECT_EQ(gate.Started(), 3);
    EXPECT_EQ(gate.MaxRunning(), 2);

    // Later downloads come from the store; a failed build is not kept.
    Fetched later;
    builds.Fetch("a", "x", later.Collect());
    ASSERT_EQ(later.Count(), 1u);
    EXPECT_EQ(later.Wait(1)[0].File.Bytes, waited[0].File.Bytes);
    EXPECT_EQ(*store.Get("a", ReportFile::Pdf)->Bytes, "PDF of source a");
    Fetched broken;
    builds.Fetch("broken", "x", broken.Collect());
    EXPECT_EQ(broken.Wait(1)[0].Result, PdfFetch::Outcome::Missing);
    builds.Fetch("broken", "x", broken.Collect());
    EXPECT_EQ(broken.Wait(2)[1].Result, PdfFetch::Outcome::Missing);
    EXPECT_EQ(gate.Started(), 5);
}

// The reply of the routes to one request, whenever it comes.
std::future<HttpAnswer> Ask(ServiceRoutes& routes, HttpRequest request)
{
    auto promise = std::make_shared<std::promise<HttpAnswer>>();
    std::future<HttpAnswer> answer = promise->get_future();
    routes.Answer(std::move(request), [promise](HttpAnswer a) { promise->set_value(std::move(a)); });
    return answer;
}

HttpRequest Get(const std::string& target, const std::string& client, const std::string& ifNoneMatch = {})
{
    HttpRequest request;
    request.Method = "GET";
    request.Target = target;
    request.Client = client;
    request.IfNoneMatch = ifNoneMatch;
    return request;
}

std::string FieldOf(const HttpAnswer& answer, const std::string& name)
{
    for (const auto& [field, value] : answer.Fields)
        if (field == name) return value;
    return {};
}

bool Ready(const std::future<HttpAnswer>& f) { return f.wait_for(milliseconds(0)) == std::future_status::ready; }

// "Ссылки действительны до ЧЧ:ММ" for `seconds` from `now`.
std::string ValidUntil(std::time_t now, int seconds)
{
    const std::time_t until = now + seconds;
    std::tm local{};
    localtime_r(&until, &local);
    char text[64];
    std::snprintf(text, sizeof text, "Ссылки действительны до %02d:%02d", local.tm_hour, local.tm_min);
    return text;
}

TEST(ServiceRoutesTest, DownloadsWaitForTheOneBuildAndCarryTheirTags)
{
    ReportStore store({std::size_t{64} << 20, std::chrono::seconds(3600)});
    WorkPool calculations(1);
    GatedMaker gate;
    PdfBuilds pdfs(store, 1, gate.Maker());
    ServiceRoutes routes(1 << 20, {}, store, calculations, pdfs);
    const std::string id1 = NewReportId();
    const std::string id2 = NewReportId();
    store.Put(id1, "192.0.2.1", {"{\\rtf1 report}", "source 1"});
    store.Put(id2, "192.0.2.1", {"{\\rtf1 other}", "source 2"});
    const std::string pdf1 = "/obe/report/" + id1 + "/report.pdf";

    std::future<HttpAnswer> first = Ask(routes, Get(pdf1, "x"));
    gate.WaitUntilStarted(1);
    std::future<HttpAnswer> sameReport = Ask(routes, Get(pdf1, "y"));
    const HttpAnswer busy = Ask(routes, Get("/obe/report/" + id2 + "/report.pdf", "x")).get();
    EXPECT_EQ(busy.Status, 503);
    EXPECT_EQ(FieldOf(busy, "Retry-After"), "10");
    EXPECT_NE(busy.Body.find("С вашего адреса уже формируется другой отчет PDF"), std::string::npos);
    EXPECT_FALSE(Ready(first));
    EXPECT_FALSE(Ready(sameReport));

    gate.Open();
    const std::string tag = "\"" + id1 + "-pdf\"";
    for (std::future<HttpAnswer>* waiting : {&first, &sameReport}) {
        const HttpAnswer answer = waiting->get();
        EXPECT_EQ(answer.Status, 200);
        EXPECT_EQ(answer.ContentType, "application/pdf");
        EXPECT_EQ(answer.Content(), "PDF of source 1");
        EXPECT_EQ(FieldOf(answer, "ETag"), tag);
        EXPECT_EQ(FieldOf(answer, "Content-Disposition"), "attachment; filename=\"report.pdf\"");
        const std::string head = AnswerHead(answer, false, false);
        EXPECT_NE(head.find("Content-Length: 15\r\n"), std::string::npos) << head;
    }

    // A client holding the document is told so; any other gets it again.
    const HttpAnswer unchanged = Ask(routes, Get(pdf1, "x", "\"other\", W/" + tag)).get();
    EXPECT_EQ(unchanged.Status, 304);
    EXPECT_EQ(unchanged.Content(), "");
    EXPECT_EQ(FieldOf(unchanged, "ETag"), tag);
    const std::string head = AnswerHead(unchanged, false, false);
    EXPECT_EQ(head.find("Content-Length"), std::string::npos) << head;
    EXPECT_EQ(Ask(routes, Get(pdf1, "z", "\"other\"")).get().Status, 200);
    EXPECT_EQ(gate.Started(), 1);

    const std::string rtf1 = "/obe/report/" + id1 + "/report.rtf";
    const HttpAnswer rtf = Ask(routes, Get(rtf1, "x")).get();
    EXPECT_EQ(rtf.Content(), "{\\rtf1 report}");
    EXPECT_EQ(FieldOf(rtf, "ETag"), "\"" + id1 + "-rtf\"");
    EXPECT_EQ(Ask(routes, Get(rtf1, "x", "*")).get().Status, 304);
    const HttpAnswer missing = Ask(routes, Get("/obe/report/" + NewReportId() + "/report.pdf", "x")).get();
    EXPECT_EQ(missing.Status, 404);
    EXPECT_NE(missing.Body.find("Отчета по этой ссылке нет"), std::string::npos);

    // A calculation keeps its report under the client's address, and the
    // page tells until when its links answer.
    const std::string project = Example("office-floor.stm");
    const std::string body = "--b\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"p.stm\"\r\n\r\n" +
                             project + "\r\n--b\r\nContent-Disposition: form-data; name=\"prec\"\r\n\r\n2\r\n--b--\r\n";
    HttpRequest post;
    post.Method = "POST";
    post.Target = kFormPath;
    post.ContentType = "multipart/form-data; boundary=b";
    post.Body = body;
    post.Client = "192.0.2.9";
    const std::time_t before = std::time(nullptr);
    const HttpAnswer page = Ask(routes, post).get();
    const std::time_t after = std::time(nullptr);
    ASSERT_EQ(page.Status, 200);
    EXPECT_GT(store.BytesOf("192.0.2.9"), 0u);
    const bool told = page.Body.find("<p>" + ValidUntil(before, 3600) + "</p>") != std::string::npos ||
                      page.Body.find("<p>" + ValidUntil(after, 3600) + "</p>") != std::string::npos;
    EXPECT_TRUE(told) << page.Body;
}

TEST(ClientAddress, IPv6ClientsAreToldApartByTheirNetwork)
{
    using boost::asio::ip::make_address;
    EXPECT_EQ(ClientAddressKey(make_address("192.0.2.7")), "192.0.2.7");
    EXPECT_EQ(ClientAddressKey(make_address("::ffff:192.0.2.7")), "192.0.2.7");
    EXPECT_EQ(ClientAddressKey(make_address("2001:db8:1:2:aaaa:bbbb:cccc:dddd")), "2001:db8:1:2::/64");
    EXPECT_EQ(ClientAddressKey(make_address("2001:db8:1:2::1")), "2001:db8:1:2::/64");
    EXPECT_EQ(ClientAddressKey(make_address("2001:db8:1:3::1")), "2001:db8:1:3::/64");
}

// Posts `body` on `client` and returns the link to the RTF report.
std::string Calculate(RawSocket& client, const std::string& body)
{
    client.Send(std::string("POST ") + kFormPath +
                " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; boundary=b\r\nContent-Length: " +
                std::to_string(body.size()) + "\r\n\r\n" + body);
    const std::string answer = client.Answer(milliseconds(20'000));
    std::smatch link;
    if (!std::regex_search(answer, link, std::regex("href=\"(report/[0-9a-f]{32}/report\\.rtf)\""))) return {};
    return "/obe/" + link[1].str();
}

int DownloadStatus(RawSocket& client, const std::string& link)
{
    client.Send("GET " + link + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    return StatusOfAnswer(client.Answer(milliseconds(20'000)));
}

TEST(ReportLinks, AVictimsLinksOutliveAnotherClientsCalculations)
{
    // Room for a few dozen reports; another address makes ten times as many.
    ServerSettings settings;
    settings.Store.MaxBytes = 1 << 20;
    CalculationServer server(settings);
    ASSERT_EQ(server.Start("127.0.0.1", 0), std::nullopt);
    const std::string project = Example("care-home.stm");
    const std::string body = "--b\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"p.stm\"\r\n\r\n" +
                             project + "\r\n--b\r\nContent-Disposition: form-data; name=\"full_report\"\r\n\r\n1" +
                             "\r\n--b\r\nContent-Disposition: form-data; name=\"prec\"\r\n\r\n2\r\n--b--\r\n";
    const std::size_t reportBytes = EngineReport(project, {false, false, true, 2}).size();
    const int calculations = static_cast<int>(10 * settings.Store.MaxBytes / reportBytes);

    RawSocket victim(server.Port(), "127.0.0.2");
    ASSERT_TRUE(victim.Connected());
    const std::string victimLink = Calculate(victim, body);
    ASSERT_FALSE(victimLink.empty());
    RawSocket busy(server.Port(), "127.0.0.1");
    std::vector<std::string> busyLinks;
    for (int i = 0; i < calculations; ++i) busyLinks.push_back(Calculate(busy, body));
    ASSERT_FALSE(busyLinks.back().empty());

    EXPECT_EQ(DownloadStatus(victim, victimLink), 200);
    EXPECT_EQ(DownloadStatus(busy, busyLinks.front()), 404) << "the busy address lost its own oldest";
    EXPECT_EQ(DownloadStatus(busy, busyLinks.back()), 200);
}

}  // namespace
}  // namespace stelmar::test
