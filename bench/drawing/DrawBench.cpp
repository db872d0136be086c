// Redrawing a large floor: 20,000 nodes and 20,000 areas on a 4000 x 4000
// canvas, seen through a 1200 x 800 box (every pointer move) and exported
// whole.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <random>

#include "model/SchemeBuilder.h"
#include "drawing/Canvas.h"
#include "drawing/LabelPlacement.h"
#include "drawing/ResultsDrawing.h"
#include "drawing/SchemeDrawing.h"

namespace {

using namespace stelmar;

constexpr int kSide = 4000;
constexpr int kColumns = 140;  // nodes on a jittered grid, 28 pixels apart
constexpr int kNodes = 20000;
constexpr int kAreas = 20000;

TPipeLine LargeScheme()
{
    TPipeLine s;
    s.WSpaceG = kSide;
    s.WSpaceV = kSide;
    s.StrV = true;
    s.ShowNumbers = true;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> jitter(-6, 6);
    SchemeBuilder b(s);
    for (int i = 0; i < kNodes; ++i) {
        const int x = 20 + (i % kColumns) * 28 + jitter(random);
        const int y = 20 + (i / kColumns) * 28 + jitter(random);
        const std::uint8_t kind = i % 50 == 0 ? kInput : i % 97 == 0 ? kExit : kJunction;
        const int node = b.Node(kind, {.X = x, .Y = y,
                                       .Name = i % 5 == 0 ? std::to_string(100000 + i) : kDefaultNodeName,
                                       .People = 25, .F = 0});
        s.Nodes[node].Selected = i % 200 == 0;
    }
    // Each node joined to its right neighbour, the rest downwards.
    for (int i = 1; static_cast<int>(s.Areas.size()) <= kAreas; ++i) {
        int to = i % kColumns != 0 && i < kNodes ? i + 1 : i + kColumns;
        if (to > kNodes) to = i - kColumns;
        const int area = b.Area(i, to, 0, i % 10 == 0 ? 0 : 1.2, static_cast<std::uint8_t>(1 + i % 6));
        s.Areas[area].Selected = i % 300 == 0;
    }
    return s;
}

void BM_DrawVisible(benchmark::State& state)
{
    TPipeLine s = LargeScheme();
    QImage canvas(kSide, kSide, QImage::Format_RGB32);
    const CanvasView view{1400, 1600, 1200, 800};
    for (auto _ : state) benchmark::DoNotOptimize(Draw(s, canvas, view, false));
}
BENCHMARK(BM_DrawVisible)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A plan picture of the whole canvas behind the scheme.
BitmapRef PlanPicture()
{
    auto picture = std::make_shared<Bitmap>();
    picture->Width = picture->Height = kSide;
    picture->Pixels.resize(std::size_t(kSide) * kSide);
    std::mt19937 random(3);
    for (auto& pixel : picture->Pixels) pixel = 0xFF000000u | (random() & 0xFFFFFF);
    return picture;
}

// The screen's redraw at a zoom (percent): the 1200 x 800 box centred on
// the canvas, painted into an image of the box's size, the reduced
// background taken from the cache as the canvas widget does.
void BM_DrawZoomed(benchmark::State& state)
{
    TPipeLine s = LargeScheme();
    s.Backgrounds[1] = PlanPicture();
    const double zoom = state.range(0) / 100.0;
    const int side = static_cast<int>(kSide * zoom);
    const CanvasView view{std::max(0, side / 2 - 600), std::max(0, side / 2 - 400), 1200, 800, zoom, true};
    QImage box;
    BackgroundCache cache;
    Draw(s, box, view, false, nullptr, &cache);
    for (auto _ : state) benchmark::DoNotOptimize(Draw(s, box, view, false, nullptr, &cache));
}
BENCHMARK(BM_DrawZoomed)->ArgName("zoom_percent")->Arg(25)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

// Results of a calculation over every area, as the overlay shows them: the
// movements in turn, a figure beside each area, every tenth area on the
// path of t_p, the times of the exits.
SchemeOverlay ResultsOverlayOf(const TPipeLine& s)
{
    FlowResults results;
    results.Areas.resize(s.Areas.size());
    for (int i = 1; i <= AreaCount(s); ++i) {
        AreaResult& r = results.Areas[i];
        r.How = static_cast<Movement>(1 + i % 4);
        r.Steps = {i};
        r.AreaTime = 0.01 * (i % 97);
        r.TotalTime = 0.1 * (i % 131);
        if (i % 10 == 0) results.CriticalAreas.push_back(i);
    }
    SchemeOverlay overlay;
    PutResults(results, {}, AreaFigure::AreaTime, ',', s, overlay);
    overlay.Legend = MovementLegend();
    return overlay;
}

// The screen's redraw at 100 % with the results shown.
void BM_DrawVisibleWithResults(benchmark::State& state)
{
    TPipeLine s = LargeScheme();
    const SchemeOverlay overlay = ResultsOverlayOf(s);
    const CanvasView view{kSide / 2 - 600, kSide / 2 - 400, 1200, 800, 1.0, true};
    QImage box;
    BackgroundCache cache;
    for (auto _ : state) benchmark::DoNotOptimize(Draw(s, box, view, false, nullptr, &cache, &overlay));
}
BENCHMARK(BM_DrawVisibleWithResults)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The placement of the labels alone, as the redraw with results does it:
// node labels where they stand, then the exits' times and the areas'
// figures where there is room, over the part in view (range 0) or the
// whole floor (range 1).
void BM_PlaceLabels(benchmark::State& state)
{
    TPipeLine s = LargeScheme();
    const SchemeOverlay overlay = ResultsOverlayOf(s);
    const TextFont label(LabelFont(s.Font), nullptr);
    QFont small = LabelFont(s.Font);
    small.setPixelSize(11);
    const TextFont figures(small, nullptr);
    const bool whole = state.range(0) != 0;
    const QRect near = whole ? QRect(0, 0, kSide, kSide) : QRect(kSide / 2 - 750, kSide / 2 - 550, 1500, 1100);
    std::int64_t placed = 0;
    for (auto _ : state) {
        LabelPlacer placer(QRect(0, 0, kSide, kSide));
        for (int i = 1; i <= NodeCount(s); ++i) {
            const TNode& n = s.Nodes[i];
            if (!near.contains(n.X, n.Y)) continue;
            placer.Take(QRect(QPoint(n.X + 1, n.Y + 1), label.Size(QString::fromStdString(NodeLabel(s, i)))));
        }
        for (int i = 1; i <= AreaCount(s); ++i) {
            const TArea& a = s.Areas[i];
            const QPoint p1(s.Nodes[a.Node1].X, s.Nodes[a.Node1].Y);
            const QPoint p2(s.Nodes[a.Node2].X, s.Nodes[a.Node2].Y);
            if (!near.contains(p1) && !near.contains(p2)) continue;
            const QSize size = figures.Size(overlay.Areas[i]->Label);
            placer.Place(size, LinePlaces(p1, p2, size));
        }
        placed = placer.Placed();
        benchmark::DoNotOptimize(placed);
    }
    state.counters["placed"] = double(placed);
}
BENCHMARK(BM_PlaceLabels)->ArgName("whole")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_DrawExport(benchmark::State& state)
{
    TPipeLine s = LargeScheme();
    QImage canvas(kSide, kSide, QImage::Format_RGB32);
    for (auto _ : state) benchmark::DoNotOptimize(Draw(s, canvas, CanvasView{0, 0, 1200, 800}, true));
}
BENCHMARK(BM_DrawExport)->Unit(benchmark::kMillisecond)->Iterations(3);

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
