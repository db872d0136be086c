#include "editor/ElementsPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/ElementDelegate.h"
#include "editor/ElementTableModels.h"
#include "editor/ElementTableView.h"
#include "editor/MainWindow.h"
#include "model/ElementTableText.h"
#include "model/PathKinds.h"
#include "model/Scenarios.h"
#include "model/SchemeEditing.h"
#include "model/StepNames.h"

namespace stelmar {
namespace {

constexpr const char* kInputsOnly =
    "Количество человек, площадь проекции и группа маломобильности задаются только для входов.";

// Starting widths of the columns, in pixels.
constexpr int kNodeWidths[] = {60, 45, 70, 60, 60, 220};
constexpr int kAreaWidths[] = {90, 45, 150, 80, 80};

bool& SelectedFlag(TPipeLine& s, bool nodes, int element)
{
    return nodes ? s.Nodes[element].Selected : s.Areas[element].Selected;
}

int Count(const TPipeLine& s, bool nodes) { return nodes ? NodeCount(s) : AreaCount(s); }

}  // namespace

ElementsPanel::ElementsPanel(TF& window) : QDockWidget("Элементы", &window), tf_(window)
{
    setObjectName("ElementsPanel");
    setAllowedAreas(Qt::AllDockWidgetAreas);

    auto* body = new QWidget(this);
    auto* tabs = new QTabWidget(body);
    tabs->setObjectName("ElementTabs");
    allFloors_ = new QCheckBox("все этажи", body);
    allFloors_->setObjectName("AllFloors");
    allFloors_->setToolTip("Показывать элементы всех этажей, а не только этажа, выбранного в окне");
    errorsOnly_ = new QCheckBox("только с ошибками", body);
    errorsOnly_->setObjectName("ErrorsOnly");
    errorsOnly_->setToolTip("Только элементы, о которых проверка перед расчетом сообщает ошибку");
    zeroOnly_ = new QCheckBox("нулевая длина или ширина", body);
    zeroOnly_->setObjectName("ZeroOnly");

    QStringList nodeKinds{"все типы", "Вход", "Выход", "Узел"};
    QStringList areaKinds{"все типы"};
    for (const char* kind : kPathKindCaptions) areaKinds << kind;
    nodes_.Nodes = true;
    nodes_.Model = new NodeTableModel(tf_.Scheme(), tf_, this);
    areas_.Nodes = false;
    areas_.Model = new AreaTableModel(tf_.Scheme(), tf_, this);

    tabs->addTab(BuildTable(nodes_, nodeKinds, nullptr), "Узлы");
    tabs->addTab(BuildTable(areas_, areaKinds, zeroOnly_), "Участки");

    // The filters of both tables beside the tabs.
    auto* common = new QWidget(tabs);
    auto* commonLayout = new QHBoxLayout(common);
    commonLayout->setContentsMargins(4, 0, 4, 0);
    commonLayout->addWidget(allFloors_);
    commonLayout->addWidget(errorsOnly_);
    tabs->setCornerWidget(common, Qt::TopRightCorner);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(tabs);
    setWidget(body);

    for (QCheckBox* box : {allFloors_, errorsOnly_, zeroOnly_})
        connect(box, &QCheckBox::toggled, this, [this] {
            ApplyFilters(false);
            ShowSelection(false);
            ShowCounts();
        });
    connect(&tf_, &TF::SchemeChanged, this, &ElementsPanel::Refresh);
    connect(&tf_, &TF::ActiveScenarioChanged, this, &ElementsPanel::Refresh);
    connect(&tf_, &TF::SelectionChanged, this, [this] {
        if (!isHidden()) ShowSelection(taking_ == nullptr);
    });
    connect(&tf_, &TF::ActiveFloorChanged, this, [this] {
        if (isHidden()) return;
        ApplyFilters(false);
        ShowSelection(false);
        ShowCounts();
    });
    // A hidden panel holds no rows and does not follow the scheme; it
    // builds them anew when shown.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            Refresh();
        } else if (isHidden()) {
            ++syncing_;
            nodes_.Model->Empty();
            areas_.Model->Empty();
            --syncing_;
        }
    });
}

QWidget* ElementsPanel::BuildTable(Table& table, const QStringList& kinds, QCheckBox* extra)
{
    auto* page = new QWidget;
    table.Kinds = new QComboBox(page);
    table.Kinds->setObjectName(table.Nodes ? "NodeKinds" : "AreaKinds");
    table.Kinds->addItems(kinds);
    table.Shown = new QLabel(page);
    table.Shown->setObjectName(table.Nodes ? "NodesShown" : "AreasShown");
    table.Filter = new ElementFilterModel(tf_.Scheme(), table.Nodes, this);
    table.Filter->setSourceModel(table.Model);

    ElementTableView* view = table.View = new ElementTableView(page);
    view->setObjectName(table.Nodes ? "NodeTable" : "AreaTable");
    view->setModel(table.Filter);
    view->setItemDelegate(new ElementDelegate(
        [this, &table](const QModelIndex& index, const QString& text) { Commit(table, index, text); }, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A double click shows the element; values are typed over a cell, or
    // edited after F2.
    view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    QHeaderView* header = view->horizontalHeader();
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSortIndicatorClearable(true);
    header->setStretchLastSection(true);
    view->setSortingEnabled(true);
    const int* widths = table.Nodes ? kNodeWidths : kAreaWidths;
    for (int i = 0; i < table.Model->columnCount(); ++i) header->resizeSection(i, widths[i]);

    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, &table] {
        TakeSelection(table);
    });
    connect(view, &QAbstractItemView::doubleClicked, this, [this, &table](const QModelIndex& index) {
        tf_.ShowElement(table.Nodes, table.Filter->ElementAt(index.row()));
    });
    connect(view, &ElementTableView::CopyRequested, this, [this, &table] { Copy(table); });
    connect(view, &ElementTableView::PasteRequested, this, [this, &table] { Paste(table); });
    connect(view, &ElementTableView::DeleteRequested, this, [this, &table] { Delete(table); });
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, &table](const QPoint& at) { ScenarioMenu(table, at); });
    connect(table.Kinds, &QComboBox::currentIndexChanged, this, [this] {
        ApplyFilters(false);
        ShowSelection(false);
        ShowCounts();
    });

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel("Тип:", page));
    filters->addWidget(table.Kinds);
    if (extra) filters->addWidget(extra);
    filters->addStretch();
    filters->addWidget(table.Shown);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(filters);
    layout->addWidget(view);
    return page;
}

// The selected rows' elements excluded from the active scenario or given
// back to it, as one step.
void ElementsPanel::ScenarioMenu(Table& table, const QPoint& at)
{
    const std::vector<int> elements = Elements(table, SelectedRows(table));
    if (elements.empty() || !tf_.Scheme().Opened) return;
    const TPipeLine& s = tf_.Scheme();
    std::vector<ElementRef> refs;
    for (const int e : elements) refs.push_back(table.Nodes ? NodeRef(s, e) : AreaRef(s, e));
    const QString name = "«" + QString::fromStdString(ScenarioName(s, ActiveScenarioIndex(s))) + "»";
    QMenu menu(table.View);
    menu.setObjectName("ElementScenarioMenu");
    QAction* exclude = menu.addAction("Исключить из сценария " + name + " (заблокировано пожаром)");
    exclude->setObjectName("ExcludeRows");
    QAction* include = menu.addAction("Вернуть в сценарий " + name);
    include->setObjectName("IncludeRows");
    const TScenario& sc = ScenarioAt(s, ActiveScenarioIndex(s));
    const auto excluded = [&sc](const ElementRef& e) { return Excludes(sc, e); };
    exclude->setEnabled(!std::all_of(refs.begin(), refs.end(), excluded));
    include->setEnabled(std::any_of(refs.begin(), refs.end(), excluded));
    QAction* chosen = menu.exec(table.View->viewport()->mapToGlobal(at));
    if (chosen == exclude || chosen == include) tf_.SetExcluded(refs, chosen == exclude);
}

void ElementsPanel::Refresh()
{
    if (isHidden()) return;
    widget()->setEnabled(tf_.Scheme().Opened);
    ++syncing_;
    nodes_.Model->Refresh();
    areas_.Model->Refresh();
    ApplyFilters(true);
    --syncing_;
    ShowSelection(false);
    ShowCounts();
}

// The node and area kinds of the lists are in code order after "все типы".
void ElementsPanel::ApplyFilters(bool schemeChanged)
{
    const TPipeLine& s = tf_.Scheme();
    const bool errors = errorsOnly_->isChecked();
    if (errors && (schemeChanged || findings_.Nodes.size() != s.Nodes.size() ||
                   findings_.Areas.size() != s.Areas.size()))
        findings_ = FindElementFindings(s);
    ++syncing_;
    for (Table* table : {&nodes_, &areas_}) {
        ElementFilter filter;
        filter.Floor = allFloors_->isChecked() ? 0 : s.ActiveEtag;
        filter.Kind = table->Kinds->currentIndex() > 0 ? table->Kinds->currentIndex() : 0;
        filter.FindingsOnly = errors;
        filter.ZeroOnly = !table->Nodes && zeroOnly_->isChecked();
        filter.Findings = table->Nodes ? &findings_.Nodes : &findings_.Areas;
        const ElementFilter& now = table->Filter->Filter();
        const bool same = now.Floor == filter.Floor && now.Kind == filter.Kind &&
                          now.FindingsOnly == filter.FindingsOnly && now.ZeroOnly == filter.ZeroOnly &&
                          now.Findings == filter.Findings;
        if (!same)
            table->Filter->SetFilter(filter);
        else if (errors && schemeChanged)
            table->Filter->Refilter(filter);
    }
    --syncing_;
}

void ElementsPanel::ShowCounts()
{
    for (Table* table : {&nodes_, &areas_})
        table->Shown->setText(
            QString("Показано %1 из %2").arg(table->Filter->rowCount()).arg(table->Model->rowCount()));
}

void ElementsPanel::ShowSelection(bool reveal)
{
    TPipeLine& s = tf_.Scheme();
    for (Table* table : {&nodes_, &areas_}) {
        if (table == taking_) continue;
        const ElementFilterModel& filter = *table->Filter;
        const int rows = filter.rowCount();
        const int last = filter.columnCount() - 1;
        // Elements beyond the count are gone and their rows about to be.
        const int count = Count(s, table->Nodes);
        QItemSelection selection;
        int first = -1;
        for (int row = 0, start = -1; row <= rows; ++row) {
            const int element = row < rows ? filter.ElementAt(row) : 0;
            const bool on = row < rows && element <= count && SelectedFlag(s, table->Nodes, element);
            if (on && start < 0) start = row;
            if (on && first < 0) first = row;
            if (!on && start >= 0) {
                selection.select(filter.index(start, 0), filter.index(row - 1, last));
                start = -1;
            }
        }
        ++syncing_;
        QItemSelectionModel* model = table->View->selectionModel();
        if (selection != model->selection()) model->select(selection, QItemSelectionModel::ClearAndSelect);
        // Typing goes to the rows selected on the drawing.
        const QModelIndex current = table->View->currentIndex();
        if (first >= 0 && !(current.isValid() && model->isRowSelected(current.row()))) {
            model->setCurrentIndex(filter.index(first, current.isValid() ? current.column() : 0),
                                   QItemSelectionModel::NoUpdate);
        }
        if (reveal && first >= 0) table->View->scrollTo(filter.index(first, 0));
        --syncing_;
    }
}

void ElementsPanel::TakeSelection(Table& table)
{
    TPipeLine& s = tf_.Scheme();
    if (syncing_ > 0 || !s.Opened) return;
    const int count = Count(s, table.Nodes);
    for (int element = 1; element <= count; ++element) SelectedFlag(s, table.Nodes, element) = false;
    for (int row : SelectedRows(table)) {
        const int element = table.Filter->ElementAt(row);
        if (element <= count) SelectedFlag(s, table.Nodes, element) = true;
    }
    if (table.View->SelectionReplaced()) {
        const int others = Count(s, !table.Nodes);
        for (int element = 1; element <= others; ++element) SelectedFlag(s, !table.Nodes, element) = false;
    }
    taking_ = &table;
    tf_.Draw();
    taking_ = nullptr;
}

std::vector<int> ElementsPanel::SelectedRows(const Table& table) const
{
    std::vector<int> rows;
    for (const QItemSelectionRange& range : table.View->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// A value typed into a selected row goes into every selected row; into a
// row outside the selection, into that row alone. It is written once the
// editor has closed, as a row may leave the table with the change.
void ElementsPanel::Commit(Table& table, const QModelIndex& index, const QString& text)
{
    std::vector<int> rows{index.row()};
    if (table.View->selectionModel()->isRowSelected(index.row())) rows = SelectedRows(table);
    QMetaObject::invokeMethod(
        this,
        [this, &table, column = index.column(), elements = Elements(table, rows), text] {
            Write(table, column, elements, {text}, false);
        },
        Qt::QueuedConnection);
}

bool ElementsPanel::WriteColumn(bool nodes, int column, const std::vector<int>& rows, const QStringList& texts)
{
    Table& table = Of(nodes);
    return Write(table, column, Elements(table, rows), texts, true);
}

std::vector<int> ElementsPanel::Elements(const Table& table, const std::vector<int>& rows) const
{
    std::vector<int> elements;
    elements.reserve(rows.size());
    for (int row : rows) elements.push_back(table.Filter->ElementAt(row));
    return elements;
}

bool ElementsPanel::Write(Table& table, int column, std::vector<int> elements, const QStringList& texts,
                          bool pasted)
{
    // Elements gone since the value was typed are left out.
    const int count = Count(tf_.Scheme(), table.Nodes);
    if (texts.size() == 1) std::erase_if(elements, [count](int element) { return element > count; });
    const ElementTableModel::Outcome out = table.Model->Write(column, elements, texts);
    if (out.FailedAt >= 0) {
        QString message = out.Message;
        if (pasted && texts.size() > 1)
            message = QString("Строка %1 из буфера обмена (%2): %3")
                          .arg(out.FailedAt + 1)
                          .arg(table.Model->ElementName(elements[std::size_t(out.FailedAt)]), message);
        tf_.Prompter()->ShowWarning(message);
        return false;
    }
    if (out.FloorsAdded) tf_.RebuildFloorList();
    if (out.Written == 0 && out.Skipped > 0) tf_.Prompter()->ShowWarning(kInputsOnly);
    return true;
}

// The rows in the order shown, every column, as a spreadsheet takes them.
void ElementsPanel::Copy(Table& table)
{
    const std::vector<int> rows = SelectedRows(table);
    if (rows.empty()) return;
    std::vector<std::vector<std::string>> cells;
    cells.reserve(rows.size());
    const int columns = table.Filter->columnCount();
    for (int row : rows) {
        std::vector<std::string>& line = cells.emplace_back();
        for (int column = 0; column < columns; ++column)
            line.push_back(table.Filter->index(row, column).data(Qt::DisplayRole).toString().toStdString());
    }
    QApplication::clipboard()->setText(QString::fromStdString(TabSeparatedRows(cells)));
}

// One column of values goes into the current column: one value into every
// selected row, as many values as rows selected one by one, or, with one
// row selected, into the rows from it downwards.
void ElementsPanel::Paste(Table& table)
{
    const QModelIndex current = table.View->currentIndex();
    if (!current.isValid()) return;
    const auto cells = SplitTabSeparated(QApplication::clipboard()->text().toStdString());
    if (cells.empty()) return;
    QStringList texts;
    for (const auto& line : cells) {
        if (line.size() > 1) {
            tf_.Prompter()->ShowWarning("В буфере обмена несколько столбцов: вставить можно только один столбец "
                                        "значений.");
            return;
        }
        texts << QString::fromStdString(line.front());
    }
    std::vector<int> rows = SelectedRows(table);
    if (rows.empty()) rows.push_back(current.row());
    const int values = static_cast<int>(texts.size());
    if (rows.size() == 1 && values > 1) {
        const int available = table.Filter->rowCount() - rows.front();
        if (values > available) {
            tf_.Prompter()->ShowWarning(
                QString("В буфере обмена %1 значений, а от выделенной строки до конца таблицы только %2 строк.")
                    .arg(values)
                    .arg(available));
            return;
        }
        for (int i = 1; i < values; ++i) rows.push_back(rows.front() + i);
    } else if (values > 1 && values != static_cast<int>(rows.size())) {
        tf_.Prompter()->ShowWarning(QString("В буфере обмена %1 значений, а выделено %2 строк: выделите столько "
                                            "строк, сколько значений, или одну строку.")
                                        .arg(values)
                                        .arg(rows.size()));
        return;
    }
    Write(table, current.column(), Elements(table, rows), texts, true);
}

// The elements of the selected rows are deleted as on the drawing, as one
// step: a node with its areas.
void ElementsPanel::Delete(Table& table)
{
    const std::vector<int> rows = SelectedRows(table);
    if (rows.empty() || !tf_.Scheme().Opened) return;
    const std::vector<int> elements = Elements(table, rows);
    TPipeLine& s = tf_.Scheme();
    for (int element = 1; element <= NodeCount(s); ++element) s.Nodes[element].Selected = false;
    for (int element = 1; element <= AreaCount(s); ++element) s.Areas[element].Selected = false;
    for (int element : elements) SelectedFlag(s, table.Nodes, element) = true;
    tf_.Apply(DeletionStepName(s), [](TPipeLine& scheme) { DeleteSelection(scheme); });
}

}  // namespace stelmar
