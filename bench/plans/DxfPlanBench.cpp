// DXF floor plans: opening a drawing of 100,000 entities (the file read,
// the drawing read, the floor's picture rendered at 100 %), the screen's
// redraw with the plan shown at 25 %, 100 % and 800 % once that zoom's
// renders are in, and a node's snap to the drawing. Built into plan_bench
// beside the PDF plans.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "bench/GeneratedSchemes.h"
#include "drawing/PlanTiles.h"
#include "drawing/SchemeDrawing.h"
#include "model/PlanPlacement.h"
#include "plans/DxfPlan.h"
#include "plans/PlanFiles.h"
#include "plans/PlanSnapping.h"

namespace {

using namespace stelmar;

constexpr int kEntities = 100000;

void Group(std::string& out, int code, const std::string& value)
{
    out += std::to_string(code);
    out += '\n';
    out += value;
    out += '\n';
}

// A building of rooms 6 m × 4 m (in millimetres) in a square grid: per room
// two walls, a door swing, a window polyline, a column and a name; other
// lines fill up to kEntities.
std::string LargeDxf()
{
    std::string f;
    Group(f, 0, "SECTION"), Group(f, 2, "HEADER"), Group(f, 9, "$ACADVER"), Group(f, 1, "AC1021");
    Group(f, 9, "$INSUNITS"), Group(f, 70, "4"), Group(f, 0, "ENDSEC");
    Group(f, 0, "SECTION"), Group(f, 2, "TABLES"), Group(f, 0, "TABLE"), Group(f, 2, "LAYER");
    for (const char* layer : {"Стены", "Двери", "Окна", "Колонны", "Тексты"})
        Group(f, 0, "LAYER"), Group(f, 2, layer), Group(f, 70, "0"), Group(f, 62, "7");
    Group(f, 0, "ENDTAB"), Group(f, 0, "ENDSEC");
    Group(f, 0, "SECTION"), Group(f, 2, "ENTITIES");
    const int rooms = kEntities / 6;
    int columns = 1;
    while (columns * columns < rooms) ++columns;
    const auto n = [](double v) { return std::to_string(v); };
    for (int i = 0; i < rooms; ++i) {
        const double x = (i % columns) * 6000.0, y = (i / columns) * 4000.0;
        Group(f, 0, "LINE"), Group(f, 8, "Стены"), Group(f, 10, n(x)), Group(f, 20, n(y)), Group(f, 11, n(x + 6000)),
            Group(f, 21, n(y));
        Group(f, 0, "LINE"), Group(f, 8, "Стены"), Group(f, 10, n(x)), Group(f, 20, n(y)), Group(f, 11, n(x)),
            Group(f, 21, n(y + 4000));
        Group(f, 0, "ARC"), Group(f, 8, "Двери"), Group(f, 10, n(x + 500)), Group(f, 20, n(y)), Group(f, 40, "900"),
            Group(f, 50, "0"), Group(f, 51, "90");
        Group(f, 0, "LWPOLYLINE"), Group(f, 8, "Окна"), Group(f, 90, "4"), Group(f, 70, "1");
        for (const auto& [dx, dy] : std::initializer_list<std::pair<int, int>>{{2000, -100}, {4000, -100}, {4000, 100}, {2000, 100}})
            Group(f, 10, n(x + dx)), Group(f, 20, n(y + dy));
        Group(f, 0, "CIRCLE"), Group(f, 8, "Колонны"), Group(f, 10, n(x)), Group(f, 20, n(y)), Group(f, 40, "200");
        Group(f, 0, "TEXT"), Group(f, 8, "Тексты"), Group(f, 10, n(x + 1500)), Group(f, 20, n(y + 2000)),
            Group(f, 40, "300"), Group(f, 1, "Помещение " + std::to_string(i + 1));
    }
    for (int i = rooms * 6; i < kEntities; ++i)
        Group(f, 0, "LINE"), Group(f, 8, "Стены"), Group(f, 10, n(i)), Group(f, 20, "0"), Group(f, 11, n(i)),
            Group(f, 21, "-500");
    Group(f, 0, "ENDSEC"), Group(f, 0, "EOF");
    return f;
}

// The drawing, written once into the temporary folder.
const QString& LargeDxfFile()
{
    static const QString path = [] {
        const QString file = QDir::temp().filePath("stelmar-plan-bench.dxf");
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(QByteArray::fromStdString(LargeDxf()));
        return file;
    }();
    return path;
}

// The drawing placed as large as fits a 2000 x 2000 canvas at its units.
TFloorPlan PlacedDrawing(const PlanSourceRef& source, const PlanPicture& picture)
{
    TFloorPlan plan;
    plan.Source = source;
    plan.SourceName = "plan.dxf";
    const double metres = *picture.MetresPerUnit();
    const double ppm = FittingPixelsPerMetre(picture.Size().width() * metres, picture.Size().height() * metres, 2000, 2000);
    plan.PixelsPerUnit = ppm * metres;
    plan.Scale = 1 / ppm;
    return plan;
}

void BM_OpenDxf(benchmark::State& state)
{
    for (auto _ : state) {
        QString error;
        const std::optional<PlanSourceRef> source = ReadPlanSource(LargeDxfFile(), &error);
        const std::shared_ptr<DxfPlan> dxf = DxfPlan::Load(*source, "plan.dxf", {}, &error);
        const Bitmap picture = PlanBitmap(*dxf, PlacedDrawing(*source, *dxf));
        benchmark::DoNotOptimize(picture.Pixels.data());
    }
    state.counters["entities"] = kEntities;
    state.counters["file_MB"] = QFile(LargeDxfFile()).size() / 1e6;
}
BENCHMARK(BM_OpenDxf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

struct DxfScreen {
    TPipeLine Scheme = bench::GeneratedTree(2000);
    std::unique_ptr<PlanTiles> Tiles;
    BackgroundCache Cache;

    DxfScreen()
    {
        QString error;
        const std::optional<PlanSourceRef> source = ReadPlanSource(LargeDxfFile(), &error);
        const std::shared_ptr<DxfPlan> dxf = DxfPlan::Load(*source, "plan.dxf", {}, &error);
        Scheme.Plans[1] = PlacedDrawing(*source, *dxf);
        Scheme.Backgrounds[1] = std::make_shared<const Bitmap>(PlanBitmap(*dxf, Scheme.Plans[1]));
        Tiles = std::make_unique<PlanTiles>(dxf, nullptr);
        Cache.SetPlan(Tiles.get());
    }

    // The 1920 x 1080 box centred on the canvas at `zoom`.
    CanvasView View(double zoom) const
    {
        const int side = static_cast<int>(2000 * zoom);
        return {std::max(0, side / 2 - 960), std::max(0, side / 2 - 540), 1920, 1080, zoom, true};
    }
};

// The redraw as the window does it once the zoom's renders are in: the
// plan's tiles, then 2,000 areas over it.
void BM_RedrawWithDxfPlan(benchmark::State& state)
{
    static DxfScreen screen;
    const CanvasView view = screen.View(state.range(0) / 100.0);
    QImage box;
    Draw(screen.Scheme, box, view, false, nullptr, &screen.Cache);
    screen.Tiles->WaitIdle();
    for (auto _ : state) benchmark::DoNotOptimize(Draw(screen.Scheme, box, view, false, nullptr, &screen.Cache));
    state.counters["tiles_MB"] = screen.Tiles->CachedBytes() / 1e6;
}
BENCHMARK(BM_RedrawWithDxfPlan)->ArgName("zoom_percent")->Arg(25)->Arg(100)->Arg(800)->Unit(benchmark::kMillisecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

// One snap of a node put down beside a room's corner, where the walls, the
// column's circle and the door's arc end and cross, within the 8 screen
// pixels of the window at `zoom_percent`; the corners taken in turn across
// the building.
void BM_SnapToDxf(benchmark::State& state)
{
    QString error;
    const std::optional<PlanSourceRef> source = ReadPlanSource(LargeDxfFile(), &error);
    const std::shared_ptr<DxfPlan> dxf = DxfPlan::Load(*source, "plan.dxf", {}, &error);
    const TFloorPlan plan = PlacedDrawing(*source, *dxf);
    const double radius = 8 / (state.range(0) / 100.0) / plan.PixelsPerUnit;
    const int columns = static_cast<int>(std::ceil(std::sqrt(kEntities / 6.0)));
    int room = 0, snapped = 0;
    for (auto _ : state) {
        room = (room + 97) % (columns * columns);
        const PlanPoint near{(room % columns) * 6000.0 + 150, (room / columns) * 4000.0 + 120};
        snapped += SnapPoint(dxf->Drawing(), dxf->Shown(), near, radius).has_value();
    }
    state.counters["snapped"] = benchmark::Counter(snapped, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SnapToDxf)->ArgName("zoom_percent")->Arg(25)->Arg(100)->Arg(800)->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
