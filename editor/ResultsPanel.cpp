#include "editor/ResultsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "editor/MainWindow.h"
#include "editor/ResultTableModels.h"
#include "model/CsvText.h"
#include "model/NumberText.h"
#include "model/SafeFile.h"
#include "model/SchemeSelection.h"
#include "tables/TableFiles.h"

namespace stelmar {
namespace {

QTableView* NewTable(const char* name, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    // Rows in number order until a column is chosen; a third click on a
    // column goes back to it.
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->horizontalHeader()->setSortIndicatorClearable(true);
    view->setSortingEnabled(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

}  // namespace

ResultsPanel::ResultsPanel(TF& window)
    : QDockWidget("Результаты", &window),
      window_(window),
      areas_(new AreaResultsModel(window.Scheme(), window.Results(), this)),
      exits_(new ExitResultsModel(window.Scheme(), window.Results(), this)),
      flows_(new FlowResultsModel(window.Scheme(), window.Results(), this)),
      areaFilter_(new ResultsFilter(this)),
      flowFilter_(new ResultsFilter(this))
{
    setObjectName("ResultsPanel");
    areaFilter_->setSourceModel(areas_);
    flowFilter_->setSourceModel(flows_);

    auto* body = new QWidget(this);
    floor_ = new QComboBox(body);
    floor_->setObjectName("ResultsFloor");
    bottlenecks_ = new QCheckBox("только узкие места", body);
    bottlenecks_->setObjectName("ResultsBottlenecks");
    auto* save = new QPushButton("Сохранить в CSV...", body);
    save->setObjectName("ResultsCsv");
    auto* workbook = new QPushButton("Сохранить в XLSX...", body);
    workbook->setObjectName("ResultsXlsx");
    auto* row = new QHBoxLayout;
    row->addWidget(floor_);
    row->addWidget(bottlenecks_);
    row->addStretch();
    row->addWidget(save);
    row->addWidget(workbook);

    note_ = new QLabel(body);
    note_->setObjectName("ResultsNote");
    tables_ = new QTabWidget(body);
    areasView_ = NewTable("ResultsAreas", areaFilter_, tables_);
    auto* exitOrder = new QSortFilterProxyModel(this);
    exitOrder->setSourceModel(exits_);
    exitOrder->setSortRole(Qt::UserRole);
    exitsView_ = NewTable("ResultsExits", exitOrder, tables_);
    flowsView_ = NewTable("ResultsFlows", flowFilter_, tables_);
    tables_->addTab(areasView_, "Участки");
    tables_->addTab(exitsView_, "Выходы");
    tables_->addTab(flowsView_, "Потоки");

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(row);
    layout->addWidget(note_);
    layout->addWidget(tables_, 1);
    setWidget(body);

    connect(floor_, &QComboBox::currentIndexChanged, this, [this](int i) { areaFilter_->SetFloor(i); });
    connect(bottlenecks_, &QCheckBox::toggled, areaFilter_, &ResultsFilter::SetBottlenecksOnly);
    connect(save, &QPushButton::clicked, this, &ResultsPanel::SaveCsv);
    connect(workbook, &QPushButton::clicked, this, &ResultsPanel::SaveXlsx);
    connect(exitsView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &ResultsPanel::ExitRowChosen);
    connect(areasView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ResultsPanel::AreaRowsChosen);
    connect(flowsView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ResultsPanel::FlowRowsChosen);
    connect(&window_, &TF::ResultsChanged, this, &ResultsPanel::Refresh);
    connect(&window_, &TF::SchemeChanged, this, &ResultsPanel::Refresh);
    connect(&window_, &TF::SelectionChanged, this, &ResultsPanel::FollowDrawing);
    Refresh();
}

void ResultsPanel::FillFloors()
{
    const QSignalBlocker quiet(floor_);
    const int chosen = floor_->currentIndex();
    floor_->clear();
    floor_->addItem("все этажи");
    for (int f = 1; f <= window_.Scheme().EtagCount; ++f) floor_->addItem(QString("Этаж №%1").arg(f));
    floor_->setCurrentIndex(chosen >= 0 && chosen < floor_->count() ? chosen : 0);
    areaFilter_->SetFloor(floor_->currentIndex());
}

void ResultsPanel::Refresh()
{
    following_ = true;
    areas_->Refresh();
    exits_->Refresh();
    flows_->Refresh();
    following_ = false;
    FillFloors();
    const ResultsOverlay& results = window_.Results();
    note_->setText(!results.HasResults() ? "Расчет еще не выполнен."
                   : results.Stale()     ? results.EvacuationTimeText() + ". Результаты устарели: схема изменена."
                                         : results.EvacuationTimeText());
    FollowDrawing();
}

void ResultsPanel::AreaRowsChosen()
{
    if (following_) return;
    TPipeLine& s = window_.Scheme();
    ClearSelection(s);
    int current = 0;
    for (const QModelIndex& index : areasView_->selectionModel()->selectedRows()) {
        const int area = areas_->AreaOf(areaFilter_->mapToSource(index).row());
        s.Areas[area].Selected = true;
        current = area;
    }
    if (const QModelIndex now = areasView_->currentIndex(); now.isValid())
        current = areas_->AreaOf(areaFilter_->mapToSource(now).row());
    following_ = true;
    if (current > 0) {
        // Brought into view, then the whole choice selected again.
        std::vector<int> chosen;
        for (int i = 1; i <= AreaCount(s); ++i)
            if (s.Areas[i].Selected) chosen.push_back(i);
        window_.ShowElement(false, current);
        for (int i : chosen) s.Areas[i].Selected = true;
    }
    window_.Draw();
    following_ = false;
}

void ResultsPanel::FlowRowsChosen()
{
    if (following_) return;
    TPipeLine& s = window_.Scheme();
    const QModelIndex now = flowsView_->currentIndex();
    if (!now.isValid()) return;
    const std::vector<int> areas = flows_->AreasOf(flowFilter_->mapToSource(now).row());
    if (areas.empty()) return;
    following_ = true;
    window_.ShowElement(false, areas.back());
    for (int a : areas)
        if (a >= 1 && a <= AreaCount(s)) s.Areas[a].Selected = true;
    window_.Draw();
    following_ = false;
}

void ResultsPanel::ExitRowChosen()
{
    if (following_) return;
    const QModelIndex now = exitsView_->currentIndex();
    if (!now.isValid()) return;
    const auto* order = static_cast<const QSortFilterProxyModel*>(exitsView_->model());
    following_ = true;
    window_.ShowElement(true, exits_->NodeOf(order->mapToSource(now).row()));
    following_ = false;
}

void ResultsPanel::FollowDrawing()
{
    if (following_) return;
    following_ = true;
    const TPipeLine& s = window_.Scheme();
    QItemSelection rows;
    for (int r = 0; r < areaFilter_->rowCount(); ++r) {
        const QModelIndex index = areaFilter_->index(r, 0);
        const int area = areas_->AreaOf(areaFilter_->mapToSource(index).row());
        if (area <= AreaCount(s) && s.Areas[area].Selected)
            rows.select(index, areaFilter_->index(r, areaFilter_->columnCount() - 1));
    }
    areasView_->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    following_ = false;
}

void ResultsPanel::SaveCsv()
{
    auto* shown = static_cast<QTableView*>(tables_->currentWidget());
    const QString suggested = tables_->tabText(tables_->currentIndex()).toLower() + ".csv";
    const QString path = window_.Prompter()->CsvFileName(suggested);
    if (path.isEmpty()) return;
    const std::string text = CsvText(TableText(*shown->model()));
    if (const std::optional<std::string> failure = WriteFilesAtomically({{path.toStdString(), text}}))
        window_.Prompter()->ShowWarning("Не удалось сохранить таблицу в файл \"" + path +
                                        "\": " + QString::fromStdString(*failure));
}

// Every row of the three tables, whatever the filters show.
void ResultsPanel::SaveXlsx()
{
    if (!window_.Results().HasResults()) return;
    const QString path = window_.Prompter()->XlsxFileName("результаты.xlsx");
    if (path.isEmpty()) return;
    std::string error;
    const auto files = TableFiles(window_.Results().Tables(window_.Scheme(), DecimalSeparatorFromEnvironment()),
                                  path.toStdString(), error);
    const std::optional<std::string> failure = files ? WriteFilesAtomically(*files) : error;
    if (failure)
        window_.Prompter()->ShowWarning("Не удалось сохранить таблицы в файл \"" + path +
                                        "\": " + QString::fromStdString(*failure));
}

}  // namespace stelmar
