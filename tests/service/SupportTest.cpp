// The pieces around the request handling: the bound of the calculation's
// work, the report store, text from requests and the command line.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "calc/FlowCalculation.h"
#include "calc/Validation.h"
#include "model/ProjectFile.h"
#include "service/ReportStore.h"
#include "service/RequestFields.h"
#include "service/ServiceCommandLine.h"
#include "service/WorkEstimate.h"
#include "service/WorkPool.h"
#include "tests/TestSchemes.h"

namespace stelmar::test {
namespace {

std::int64_t ActualWork(TPipeLine s)
{
    Calculate(s, ',');
    std::int64_t entries = 0;
    for (int i = 1; i <= ReportCount(s); ++i) entries += static_cast<std::int64_t>(s.Reports[i].Merged.size());
    return entries;
}

TEST(WorkEstimate, BoundsWhatTheCalculationAllocates)
{
    int checked = 0;
    for (unsigned seed = 1; seed <= 60; ++seed)
        for (const bool razVr : {false, true}) {
            TPipeLine s = RandomTree(seed, 5 + seed % 40, 10 + seed % 70, seed % 3 == 0 ? 9 : 0);
            s.RazVr = razVr;
            if (!ValidateScheme(s).empty()) continue;
            EXPECT_GE(EstimateCalculationWork(s), ActualWork(s)) << "seed " << seed << " raz_vr " << razVr;
            ++checked;
        }
    EXPECT_GT(checked, 80);
}

TEST(WorkEstimate, GrowsWithTheSquareOfTheFlowsOnlyWithDifferentArrivalTimes)
{
    auto star = [](int inputs) {
        TPipeLine s;
        int down = AddExit(s);
        for (int i = 0; i < 10; ++i) {
            const int next = AddJunction(s);
            Join(s, next, down, 3, 1.5);
            down = next;
        }
        for (int i = 0; i < inputs; ++i) Join(s, AddInput(s, 10), down, 1 + i, 1.5);
        return s;
    };
    TPipeLine small = star(100);
    TPipeLine large = star(1000);
    EXPECT_LT(EstimateCalculationWork(large), 20 * EstimateCalculationWork(small));
    small.RazVr = large.RazVr = true;
    EXPECT_GT(EstimateCalculationWork(large), 80 * EstimateCalculationWork(small));
    EXPECT_GE(EstimateCalculationWork(large), ActualWork(large));
}

TEST(ReportStore, ABusyClientDropsItsOwnReportsBeforeAnyoneElses)
{
    using std::chrono::seconds;
    const auto t0 = ReportStore::Clock::time_point{} + std::chrono::hours(1);
    const std::string report(1000, 'r');
    ReportStore store({20'000, seconds(600)});
    ASSERT_TRUE(store.Put("victim", "192.0.2.1", {report, "source", 8000}, t0));
    const std::size_t victimBytes = store.BytesOf("192.0.2.1");
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(store.Put("busy" + std::to_string(i), "192.0.2.2", {report}, t0 + seconds(i)));
    EXPECT_LE(store.Bytes(), 20'000u);
    EXPECT_EQ(store.Bytes(), victimBytes + store.BytesOf("192.0.2.2"));
    EXPECT_EQ(store.Get("busy0", ReportFile::Rtf, t0 + seconds(100)), std::nullopt) << "the busy client's oldest went";
    EXPECT_NE(store.Get("busy99", ReportFile::Rtf, t0 + seconds(100)), std::nullopt);
    const std::optional<StoredFile> kept = store.Get("victim", ReportFile::Rtf, t0 + seconds(100));
    ASSERT_NE(kept, std::nullopt) << "the victim's report lives on";
    EXPECT_EQ(*kept->Bytes, report);
    EXPECT_EQ(kept->ETag, "\"victim-rtf\"");
    EXPECT_EQ(*store.Get("victim", ReportFile::PdfSource, t0 + seconds(100))->Bytes, "source");
    EXPECT_EQ(store.Get("busy99", ReportFile::PdfSource, t0 + seconds(100)), std::nullopt) << "it offers no PDF";

    // While its PDF is made, the report is charged the memory that takes,
    // then the PDF itself, both to the report's owner: room is made from
    // the holder with the most bytes, never from the report itself.
    store.BeginPdf("victim", t0 + seconds(101));
    EXPECT_EQ(store.BytesOf("192.0.2.1"), victimBytes + 8000);
    EXPECT_LE(store.Bytes(), 20'000u);
    const auto pdf = std::make_shared<const std::string>(6000, 'p');
    const std::optional<StoredFile> stored = store.EndPdf("victim", pdf, t0 + seconds(101));
    ASSERT_NE(stored, std::nullopt);
    EXPECT_EQ(stored->Bytes, pdf);
    EXPECT_EQ(stored->ETag, "\"victim-pdf\"");
    EXPECT_EQ(store.BytesOf("192.0.2.1"), victimBytes + 6000);
    EXPECT_LE(store.Bytes(), 20'000u);
    EXPECT_EQ(store.EndPdf("victim", pdf, t0 + seconds(101)), std::nullopt) << "made once";
    EXPECT_EQ(store.BytesOf("192.0.2.1"), victimBytes + 6000);
    EXPECT_EQ(store.EndPdf("busy0", pdf, t0 + seconds(101)), std::nullopt) << "gone";
    EXPECT_EQ(store.EndPdf("busy99", std::make_shared<const std::string>(20'000, 'p'), t0 + seconds(101)),
              std::nullopt)
        << "does not fit with its report";
    EXPECT_NE(store.Get("busy99", ReportFile::Rtf, t0 + seconds(101)), std::nullopt);
    const std::size_t beforeFailing = store.BytesOf("192.0.2.2");
    store.BeginPdf("busy99", t0 + seconds(101));
    EXPECT_EQ(store.EndPdf("busy99", nullptr, t0 + seconds(101)), std::nullopt) << "could not be made";
    EXPECT_EQ(store.BytesOf("192.0.2.2"), beforeFailing);

    // Once the victim holds the most, its own oldest goes first.
    for (int i = 0; i < 12; ++i) store.Put("own" + std::to_string(i), "192.0.2.1", {report}, t0 + seconds(102));
    EXPECT_EQ(store.Get("victim", ReportFile::Rtf, t0 + seconds(102)), std::nullopt);
    EXPECT_NE(store.Get("own11", ReportFile::Rtf, t0 + seconds(102)), std::nullopt);
    EXPECT_NE(store.Get("busy99", ReportFile::Rtf, t0 + seconds(102)), std::nullopt);

    // A file handed out stays whole after it is dropped; a report alone
    // larger than the store is refused and leaves the others.
    EXPECT_EQ(*stored->Bytes, std::string(6000, 'p'));
    const std::size_t before = store.Bytes();
    EXPECT_FALSE(store.Put("huge", "192.0.2.3", {std::string(20'000, 'x')}, t0 + seconds(103)));
    EXPECT_EQ(store.Bytes(), before);
    EXPECT_FALSE(store.Put("own11", "192.0.2.3", {report}, t0 + seconds(103))) << "an id is never reused";
}

TEST(ReportStore, KeepsReportsUntilTheyExpire)
{
    using std::chrono::seconds;
    ReportStore store({std::size_t{1} << 20, seconds(600)});
    const auto t0 = ReportStore::Clock::time_point{} + std::chrono::hours(1);
    ASSERT_TRUE(store.Put("a", "192.0.2.1", {"first", "source"}, t0));
    ASSERT_TRUE(store.Put("b", "192.0.2.1", {"second"}, t0 + seconds(300)));
    EXPECT_NE(store.Get("a", ReportFile::Rtf, t0 + seconds(599)), std::nullopt);
    EXPECT_EQ(store.Get("a", ReportFile::Rtf, t0 + seconds(600)), std::nullopt);
    EXPECT_EQ(store.Get("a", ReportFile::PdfSource, t0 + seconds(600)), std::nullopt);
    EXPECT_EQ(*store.Get("b", ReportFile::Rtf, t0 + seconds(600))->Bytes, "second");
    EXPECT_EQ(store.Get("c", ReportFile::Rtf, t0), std::nullopt);
    EXPECT_EQ(store.Count(), 1u);
    EXPECT_EQ(store.EndPdf("a", std::make_shared<const std::string>("pdf"), t0 + seconds(600)), std::nullopt);
    EXPECT_EQ(store.Get("b", ReportFile::Rtf, t0 + seconds(900)), std::nullopt);
    EXPECT_EQ(store.Bytes(), 0u);
    EXPECT_EQ(store.BytesOf("192.0.2.1"), 0u);
}

TEST(ReportStore, IdsAreRandomHex)
{
    std::set<std::string> ids;
    for (int i = 0; i < 200; ++i) {
        const std::string id = NewReportId();
        EXPECT_EQ(id.size(), 32u);
        EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 200u);
}

TEST(RequestText, OnlyPrintableUtf8IsShown)
{
    EXPECT_EQ(PrintableText("Поток №1", 20), "Поток №1");
    EXPECT_EQ(PrintableText("a\tb\x7f", 20), "a?b?");
    EXPECT_EQ(PrintableText("\xc0\xaf", 20), "??") << "overlong form";
    EXPECT_EQ(PrintableText("\xed\xa0\x80", 20), "???") << "surrogate";
    EXPECT_EQ(PrintableText("\xd0", 20), "?") << "cut sequence";
    EXPECT_EQ(PrintableText("\xf0\x9f\x94\xa5!", 20), "\xf0\x9f\x94\xa5!");
    EXPECT_EQ(PrintableText("абвгд", 3), "абв…");
}

TEST(WorkPoolTest, RunsInOrderAndStopsWithoutTheTasksNotStarted)
{
    WorkPool pool(1);
    std::mutex mutex;
    std::condition_variable changed;
    bool release = false;
    std::vector<int> order;
    // The first task holds the only thread until it is released.
    ASSERT_TRUE(pool.Submit([&] {
        std::unique_lock lock(mutex);
        order.push_back(0);
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
    }));
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return !order.empty(); });
    }
    for (int i = 1; i <= 3; ++i)
        ASSERT_TRUE(pool.Submit([&, i] {
            std::lock_guard lock(mutex);
            order.push_back(i);
            changed.notify_all();
        }));
    {
        std::unique_lock lock(mutex);
        release = true;
        changed.notify_all();
        changed.wait(lock, [&] { return order.size() == 4; });
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));

    // Stop waits for the running task and drops the queued ones.
    auto owned = std::make_shared<int>(0);
    release = false;
    ASSERT_TRUE(pool.Submit([&] {
        std::unique_lock lock(mutex);
        order.push_back(4);
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
    }));
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return order.size() == 5; });
    }
    ASSERT_TRUE(pool.Submit([&, owned] { order.push_back(5); }));
    std::thread stopper([&] { pool.Stop(); });
    // Stop drops the queue at once, then waits for the running task.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    {
        std::lock_guard lock(mutex);
        release = true;
        changed.notify_all();
    }
    stopper.join();
    EXPECT_EQ(order.size(), 5u) << "the queued task did not run";
    EXPECT_EQ(owned.use_count(), 1) << "and was destroyed";
    EXPECT_FALSE(pool.Submit([] {}));
}

std::optional<ServiceCommandLine> Parse(std::vector<std::string> args, std::string& error)
{
    args.insert(args.begin(), "stelmar-service");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return ParseServiceCommandLine(static_cast<int>(argv.size()), argv.data(), error);
}

TEST(ServiceCommandLineTest, OptionsAndMistakes)
{
    std::string error;
    auto c = Parse({}, error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Host, "127.0.0.1");
    EXPECT_EQ(c->Port, 8830);
    EXPECT_EQ(c->Settings.MaxUpload, 32u << 20);
    EXPECT_EQ(c->Settings.Threads, 4);
    EXPECT_EQ(c->Settings.MaxHeaderBytes, 64u << 10);
    EXPECT_EQ(c->Settings.RequestTimeout, std::chrono::seconds(10));
    EXPECT_EQ(c->Settings.MaxConnections, 512);
    EXPECT_EQ(c->Settings.Store.MaxBytes, 512u << 20);

    c = Parse({"--max-header-bytes", "16384", "--request-timeout", "3", "--max-connections", "2000"}, error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->Settings.MaxHeaderBytes, 16384u);
    EXPECT_EQ(c->Settings.RequestTimeout, std::chrono::seconds(3));
    EXPECT_EQ(c->Settings.MaxConnections, 2000);

    c = Parse({"--listen", "[::1]:0", "--max-upload", "1048576", "--threads", "2", "--max-areas", "10", "--max-work",
               "5000"},
              error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->Host, "::1");
    EXPECT_EQ(c->Port, 0);
    EXPECT_EQ(c->Settings.MaxUpload, 1048576u);
    EXPECT_EQ(c->Settings.Threads, 2);
    EXPECT_EQ(c->Settings.Limits.MaxAreas, 10);
    EXPECT_EQ(c->Settings.Limits.MaxWork, 5000);

    c = Parse({"--max-report", "1099511627776"}, error);
    ASSERT_TRUE(c) << error;
    EXPECT_GE(c->Settings.Store.MaxBytes, c->Settings.Limits.MaxReportBytes + c->Settings.MaxUpload)
        << "the largest report fits the store with its project";
    c = Parse({"--report-store-bytes", "1073741824"}, error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->Settings.Store.MaxBytes, 1u << 30);
    EXPECT_FALSE(Parse({"--report-store-bytes", "100000000"}, error)) << "smaller than a report and its project";
    EXPECT_NE(error.find("не меньше 167772160"), std::string::npos) << error;

    EXPECT_TRUE(Parse({"--help"}, error)->Help);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--listen", "localhost"}, {"--listen", "::1:80"}, {"--listen", "h:65536"},
          {"--listen", ":80"}, {"--threads", "0"}, {"--threads", "x"}, {"--max-upload", "12"},
          {"--max-upload", "-5"}, {"--max-areas", "0"}, {"--max-work", "1e6"}, {"--threads"}, {"--port", "1"}, {"extra"},
          {"--max-header-bytes", "100"}, {"--max-header-bytes", "2097152"}, {"--request-timeout", "0"},
          {"--request-timeout", "1.5"}, {"--max-connections", "0"}, {"--max-connections", "100001"},
          {"--report-store-bytes", "1000"}, {"--report-store-bytes", "5M"}}) {
        error.clear();
        EXPECT_FALSE(Parse(bad, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace stelmar::test
