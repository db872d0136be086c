// Redrawing a large floor: 20,000 nodes and 20,000 areas on a 4000 x 4000
// canvas, seen through a 1200 x 800 box (every pointer move) and exported
// whole.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <random>

#include "model/drawing/SchemeDrawing.h"

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
    for (int i = 0; i < kNodes; ++i) {
        TNode n;
        n.X = 20 + (i % kColumns) * 28 + jitter(random);
        n.Y = 20 + (i / kColumns) * 28 + jitter(random);
        n.Kind = i % 50 == 0 ? kInput : i % 97 == 0 ? kExit : kJunction;
        n.Etag = 1;
        n.People = 25;
        n.Name = i % 5 == 0 ? std::to_string(100000 + i) : kDefaultNodeName;
        n.Selected = i % 200 == 0;
        s.Nodes.push_back(n);
    }
    // Each node joined to its right neighbour, the rest downwards.
    for (int i = 1; static_cast<int>(s.Areas.size()) <= kAreas; ++i) {
        TArea a;
        a.Node1 = i;
        a.Node2 = i % kColumns != 0 && i < kNodes ? i + 1 : i + kColumns;
        if (a.Node2 > kNodes) a.Node2 = i - kColumns;
        a.Kind = static_cast<std::uint8_t>(1 + i % 6);
        a.Width = i % 10 == 0 ? 0 : 1.2;
        a.Etag = 1;
        a.Selected = i % 300 == 0;
        s.Areas.push_back(a);
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
