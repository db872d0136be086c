// The panel "Элементы" of the real main window over a generated project of
// 10,000 areas (half its nodes moved to floor 2, every hundredth area made
// of no width): showing the panel, each
// filter, and a value typed for 1,000 selected rows (the one change of the
// scheme with its undo step, the redraw and the tables following it). Each
// measure includes the events that paint the result.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include "bench/GeneratedSchemes.h"
#include "bench/SilentPrompts.h"
#include "editor/ElementsPanel.h"
#include "editor/Forms.h"
#include "model/ElementTable.h"

namespace {

using namespace stelmar;

constexpr int kAreas = 10000;

// The main window with the generated project open and the panel shown on
// its area table, the floor shown filtering it.
class Window {
public:
    Window()
    {
        qputenv("XDG_CONFIG_HOME", folder_.path().toUtf8());
        qputenv("XDG_STATE_HOME", folder_.path().toUtf8());
        const QString project = QString::fromStdString(bench::GeneratedProjectFile(kAreas));
        tf_ = CreateForms(project, std::make_shared<bench::SilentPrompts>());
        tf_->resize(1400, 900);
        tf_->show();
        while (!tf_->StartDone()) QCoreApplication::processEvents();
        tf_->Apply("правка", [](TPipeLine& s) {
            s.EtagCount = 2;
            for (int i = 2; i <= NodeCount(s); i += 2) s.Nodes[i].Etag = 2;
            for (int i = 1; i <= AreaCount(s); i += 100) s.Areas[i].Width = 0;
        });
        tf_->RebuildFloorList();
        Panel()->show();
        Panel()->findChild<QTabWidget*>("ElementTabs")->setCurrentIndex(1);
        Settle();
    }

    ElementsPanel* Panel() { return tf_->findChild<ElementsPanel*>("ElementsPanel"); }
    QTableView* Areas() { return Panel()->findChild<QTableView*>("AreaTable"); }
    template <typename T>
    T* Control(const char* name)
    {
        return Panel()->findChild<T*>(name);
    }
    void Settle() { QCoreApplication::processEvents(); }

private:
    QTemporaryDir folder_;
    std::unique_ptr<TF> tf_;
};

// Made by the first benchmark, closed before the application ends.
std::unique_ptr<Window> theWindow;

Window& TheWindow()
{
    if (!theWindow) theWindow = std::make_unique<Window>();
    return *theWindow;
}

void BM_ShowPanel(benchmark::State& state)
{
    Window& w = TheWindow();
    for (auto _ : state) {
        state.PauseTiming();
        w.Panel()->hide();
        w.Settle();
        state.ResumeTiming();
        w.Panel()->show();
        w.Settle();
    }
    state.counters["rows"] = w.Areas()->model()->rowCount();
}
BENCHMARK(BM_ShowPanel)->Unit(benchmark::kMillisecond);

// Each run switches the filter on or off, in turn.
template <typename Switch>
void RunFilter(benchmark::State& state, Switch flip)
{
    Window& w = TheWindow();
    bool on = false;
    int shown = 0;
    for (auto _ : state) {
        on = !on;
        flip(w, on);
        w.Settle();
        if (on) shown = w.Areas()->model()->rowCount();
    }
    flip(w, false);
    w.Settle();
    state.counters["rows_on"] = shown;
}

void BM_FilterFloor(benchmark::State& state)
{
    RunFilter(state, [](Window& w, bool on) { w.Control<QCheckBox>("AllFloors")->setChecked(!on); });
}
BENCHMARK(BM_FilterFloor)->Unit(benchmark::kMillisecond);

void BM_FilterKind(benchmark::State& state)
{
    RunFilter(state, [](Window& w, bool on) { w.Control<QComboBox>("AreaKinds")->setCurrentIndex(on ? kDoorway : 0); });
}
BENCHMARK(BM_FilterKind)->Unit(benchmark::kMillisecond);

void BM_FilterErrors(benchmark::State& state)
{
    RunFilter(state, [](Window& w, bool on) { w.Control<QCheckBox>("ErrorsOnly")->setChecked(on); });
}
BENCHMARK(BM_FilterErrors)->Unit(benchmark::kMillisecond);

void BM_FilterZero(benchmark::State& state)
{
    RunFilter(state, [](Window& w, bool on) { w.Control<QCheckBox>("ZeroOnly")->setChecked(on); });
}
BENCHMARK(BM_FilterZero)->Unit(benchmark::kMillisecond);

// The area table sorted by width, and back in number order.
void BM_SortByWidth(benchmark::State& state)
{
    Window& w = TheWindow();
    bool sorted = false;
    for (auto _ : state) {
        sorted = !sorted;
        w.Areas()->sortByColumn(sorted ? int(AreaColumn::Width) : -1, Qt::AscendingOrder);
        w.Settle();
    }
    w.Areas()->sortByColumn(-1, Qt::AscendingOrder);
    w.Settle();
}
BENCHMARK(BM_SortByWidth)->Unit(benchmark::kMillisecond);

// 1,000 rows of every floor selected, each run a new width for all of them.
void BM_Edit1000Rows(benchmark::State& state)
{
    Window& w = TheWindow();
    w.Control<QCheckBox>("AllFloors")->setChecked(true);
    w.Settle();
    std::vector<int> rows;
    for (int row = 0; row < 1000; ++row) rows.push_back(row * 7);
    int edit = 0;
    for (auto _ : state) {
        const QString width = QString("1,%1").arg(++edit % 9 + 1);
        if (!w.Panel()->WriteColumn(false, int(AreaColumn::Width), rows, {width})) state.SkipWithError("refused");
        w.Settle();
    }
}
BENCHMARK(BM_Edit1000Rows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theWindow.reset();
    return 0;
}
