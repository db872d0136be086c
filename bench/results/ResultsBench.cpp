// A calculation in the real main window over a generated project of 10,000
// areas, with the results shown on the drawing and the "Результаты" panel
// open: the calculation, the overlay built again, the tables refreshed and
// the events that paint them.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>

#include "bench/GeneratedSchemes.h"
#include "bench/SilentPrompts.h"
#include "calc/FlowCalculation.h"
#include "editor/Forms.h"
#include "editor/ResultsPanel.h"

namespace {

using namespace stelmar;

constexpr int kAreas = 10000;

void BM_CalculateAndShowResults(benchmark::State& state)
{
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
    qputenv("XDG_STATE_HOME", folder.path().toUtf8());
    const QString project = QString::fromStdString(bench::GeneratedProjectFile(kAreas));
    std::unique_ptr<TF> tf = CreateForms(project, std::make_shared<bench::SilentPrompts>());
    tf->resize(1400, 900);
    tf->show();
    while (!tf->StartDone()) QCoreApplication::processEvents();
    auto* panel = tf->findChild<ResultsPanel*>("ResultsPanel");
    panel->show();
    QCoreApplication::processEvents();
    TPipeLine& s = tf->Scheme();
    for (auto _ : state) {
        Calculate(s, ',');
        tf->ShowResults();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = panel->findChild<QTableView*>("ResultsAreas")->model()->rowCount();
    state.counters["steps"] = ReportCount(s);
}
BENCHMARK(BM_CalculateAndShowResults)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
