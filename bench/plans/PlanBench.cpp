// PDF floor plans: opening the chosen page of a large document (30 pages,
// about 40 MB: a dense vector drawing and a scanned detail on every page),
// whole and in the two parts the window waits for around the page choice,
// and the screen's redraw with the vector plan shown at 25 %, 100 % and
// 800 % once that zoom's renders are in, with the memory the renders take
// while the engineer zooms through every step and back.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <random>
#include <sys/resource.h>

#include "bench/GeneratedSchemes.h"
#include "drawing/PlanTiles.h"
#include "drawing/SchemeDrawing.h"
#include "model/PlanPlacement.h"
#include "plans/PdfPlan.h"
#include "plans/PlanFiles.h"

namespace {

using namespace stelmar;

constexpr int kPages = 30;
constexpr int kChosenPage = 17;
constexpr double kPageWidth = 2384;  // A1 landscape, points
constexpr double kPageHeight = 1684;

// One floor of rooms: walls on a grid with door gaps, room numbers, and a
// photograph-like detail of random pixels (which no compression shrinks).
void DrawFloor(QPainter& p, int page, std::mt19937& random)
{
    p.setPen(QPen(Qt::black, 0.6));
    constexpr int kCells = 70;
    const double w = kPageWidth / kCells;
    const double h = kPageHeight / kCells;
    for (int i = 0; i <= kCells; ++i)
        for (int j = 0; j < kCells; ++j) {
            const double gap = random() % 3 == 0 ? 0.3 : 0;
            p.drawLine(QPointF(i * w, (j + gap) * h), QPointF(i * w, (j + 1) * h));
            p.drawLine(QPointF((j + gap) * w, i * h), QPointF((j + 1) * w, i * h));
        }
    p.setFont(QFont("DejaVu Sans", 3));
    for (int i = 0; i < kCells; i += 2)
        for (int j = 0; j < kCells; j += 2)
            p.drawText(QPointF(i * w + 2, j * h + 6), QString("%1.%2").arg(page).arg(i * kCells + j));
    QImage detail(1280, 880, QImage::Format_RGB32);
    for (int y = 0; y < detail.height(); ++y)
        for (int x = 0; x < detail.width(); ++x) detail.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
    p.drawImage(QRectF(kPageWidth - 500, kPageHeight - 350, 450, 310), detail);
}

// The document, written once into the temporary folder.
const QString& LargePdf()
{
    static const QString path = [] {
        const QString file = QDir::temp().filePath("stelmar-plan-bench.pdf");
        QPdfWriter writer(file);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(kPageWidth, kPageHeight), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::Antialiasing);
        std::mt19937 random(5);
        for (int page = 1; page <= kPages; ++page) {
            if (page > 1) writer.newPage();
            DrawFloor(painter, page, random);
        }
        return file;
    }();
    return path;
}

// The floor plan placed as large as fits a 2000 x 2000 canvas at 1:100.
TFloorPlan PlacedPlan(const PlanSourceRef& source, const PlanPicture& picture)
{
    TFloorPlan plan;
    plan.Source = source;
    plan.Page = kChosenPage;
    const double metres = MetresPerPdfPoint(100);
    const double ppm = FittingPixelsPerMetre(picture.Size().width() * metres, picture.Size().height() * metres, 2000, 2000);
    plan.PixelsPerUnit = ppm * metres;
    plan.Scale = 1 / ppm;
    return plan;
}

// From the file to the floor's plan on its page: the file read, the
// document opened at the chosen page, the floor's picture rendered at 100 %.
void BM_OpenChosenPage(benchmark::State& state)
{
    const QString path = LargePdf();
    for (auto _ : state) {
        QString error;
        const std::optional<PlanSourceRef> source = ReadPlanSource(path, &error);
        const std::shared_ptr<PdfPlan> pdf = PdfPlan::Load(*source, kChosenPage, &error);
        const Bitmap picture = PlanBitmap(*pdf, PlacedPlan(*source, *pdf));
        benchmark::DoNotOptimize(picture.Pixels.data());
    }
    state.counters["file_MB"] = QFile(path).size() / 1e6;
}
BENCHMARK(BM_OpenChosenPage)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// What the window waits for before the page choice opens: the file read,
// the document opened and its first page's size taken.
void BM_OpenToPageChoice(benchmark::State& state)
{
    const QString path = LargePdf();
    for (auto _ : state) {
        QString error;
        const std::optional<PlanSourceRef> source = ReadPlanSource(path, &error);
        const std::shared_ptr<PdfPlan> pdf = PdfPlan::Load(*source, 1, &error);
        benchmark::DoNotOptimize(pdf->Size());
        benchmark::DoNotOptimize(pdf->PageCount());
    }
}
BENCHMARK(BM_OpenToPageChoice)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// The first thumbnail the page choice shows, rendered on its worker.
void BM_FirstThumbnail(benchmark::State& state)
{
    QString error;
    const std::optional<PlanSourceRef> source = ReadPlanSource(LargePdf(), &error);
    const std::shared_ptr<PdfPlan> pdf = PdfPlan::Load(*source, 1, &error);
    for (auto _ : state) benchmark::DoNotOptimize(pdf->Thumbnail(1, 160));
}
BENCHMARK(BM_FirstThumbnail)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// After the choice: the chosen page of the document already read, its
// size and the floor's picture rendered at 100 %.
void BM_ChosenPageAfterChoice(benchmark::State& state)
{
    QString error;
    const std::optional<PlanSourceRef> source = ReadPlanSource(LargePdf(), &error);
    const std::shared_ptr<PdfPlan> document = PdfPlan::Load(*source, 1, &error);
    for (auto _ : state) {
        const std::shared_ptr<PdfPlan> pdf = document->OnPage(kChosenPage);
        const Bitmap picture = PlanBitmap(*pdf, PlacedPlan(*source, *pdf));
        benchmark::DoNotOptimize(picture.Pixels.data());
    }
}
BENCHMARK(BM_ChosenPageAfterChoice)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// The thumbnails of all 30 pages for the page choice.
void BM_PageThumbnails(benchmark::State& state)
{
    QString error;
    const std::optional<PlanSourceRef> source = ReadPlanSource(LargePdf(), &error);
    const std::shared_ptr<PdfPlan> pdf = PdfPlan::Load(*source, 1, &error);
    for (auto _ : state)
        for (int page = 1; page <= kPages; ++page) benchmark::DoNotOptimize(pdf->Thumbnail(page, 160));
}
BENCHMARK(BM_PageThumbnails)->Unit(benchmark::kMillisecond)->Iterations(1);

struct Screen {
    TPipeLine Scheme = bench::GeneratedTree(2000);
    std::shared_ptr<PdfPlan> Pdf;
    std::unique_ptr<PlanTiles> Tiles;
    BackgroundCache Cache;

    Screen()
    {
        QString error;
        const std::optional<PlanSourceRef> source = ReadPlanSource(LargePdf(), &error);
        Pdf = PdfPlan::Load(*source, kChosenPage, &error);
        Scheme.Plans[1] = PlacedPlan(*source, *Pdf);
        Scheme.Backgrounds[1] = std::make_shared<const Bitmap>(PlanBitmap(*Pdf, Scheme.Plans[1]));
        Tiles = std::make_unique<PlanTiles>(Pdf, nullptr);
        Cache.SetPlan(Tiles.get());
    }

    // The 1920 x 1080 box centred on the canvas at `zoom`.
    CanvasView View(double zoom) const
    {
        const int side = static_cast<int>(2000 * zoom);
        return {std::max(0, side / 2 - 960), std::max(0, side / 2 - 540), 1920, 1080, zoom, true};
    }
};

Screen& TheScreen()
{
    static Screen screen;
    return screen;
}

// The redraw as the window does it once the zoom's renders are in: the
// plan's tiles, then 2,000 areas over it.
void BM_RedrawWithPlan(benchmark::State& state)
{
    Screen& screen = TheScreen();
    const CanvasView view = screen.View(state.range(0) / 100.0);
    QImage box;
    Draw(screen.Scheme, box, view, false, nullptr, &screen.Cache);
    screen.Tiles->WaitIdle();
    for (auto _ : state) benchmark::DoNotOptimize(Draw(screen.Scheme, box, view, false, nullptr, &screen.Cache));
}
BENCHMARK(BM_RedrawWithPlan)->ArgName("zoom_percent")->Arg(25)->Arg(100)->Arg(800)->Unit(benchmark::kMillisecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

long PeakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Every zoom step from 10 % to 800 % and back, twice, each rendered in
// full: the renders kept never pass their budget, and the process's peak
// memory grows by no more than that.
void BM_ZoomThroughEveryStep(benchmark::State& state)
{
    Screen& screen = TheScreen();
    std::vector<double> zooms;
    for (double z = 0.1; z <= 8.0001; z *= 1.25) zooms.push_back(std::min(z, 8.0));
    std::size_t largest = 0;
    const long before = PeakResidentKb();
    for (auto _ : state)
        for (int pass = 0; pass < 2; ++pass)
            for (int k = 0; k < 2 * static_cast<int>(zooms.size()); ++k) {
                const double zoom = zooms[k < static_cast<int>(zooms.size()) ? k : 2 * zooms.size() - 1 - k];
                QImage box;
                Draw(screen.Scheme, box, screen.View(zoom), false, nullptr, &screen.Cache);
                screen.Tiles->WaitIdle();
                largest = std::max(largest, screen.Tiles->CachedBytes());
            }
    state.counters["tiles_MB_max"] = largest / 1e6;
    state.counters["budget_MB"] = kPlanTileBudget / 1e6;
    state.counters["peak_growth_MB"] = (PeakResidentKb() - before) / 1e3;
}
BENCHMARK(BM_ZoomThroughEveryStep)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
