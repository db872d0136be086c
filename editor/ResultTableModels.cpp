#include "editor/ResultTableModels.h"

#include <QColor>

#include "calc/ReportCommon.h"
#include "editor/ResultsOverlay.h"
#include "model/NumberText.h"

namespace stelmar {
namespace {

char Separator() { return DecimalSeparatorFromEnvironment(); }

// A cell of a results table: its text, its value for sorting (`order`
// for a text cell) and its alignment.
QVariant Cell(int role, const TableCell& cell, const QVariant& order = {})
{
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(cell.Text);
    case Qt::UserRole:
        if (cell.Numeric) return cell.Number;
        return order.isValid() ? order : QVariant(-1.0);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (cell.Numeric ? Qt::AlignRight : Qt::AlignLeft));
    default: return {};
    }
}

QVariant Header(const std::vector<std::string>& titles, int section, Qt::Orientation orientation, int role)
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < int(titles.size()))
        return QString::fromStdString(titles[std::size_t(section)]);
    return {};
}

}  // namespace

AreaResultsModel::AreaResultsModel(const TPipeLine& s, const ResultsOverlay& results, QObject* parent)
    : QAbstractTableModel(parent), s_(s), results_(results)
{
    Refresh();
}

void AreaResultsModel::Refresh()
{
    beginResetModel();
    rows_ = results_.HasResults() ? AreaCount(s_) : 0;
    endResetModel();
}

int AreaResultsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int AreaResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant AreaResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QVariant header = Header(AreaTableHeaders(), section, orientation, role);
    return header.isValid() ? header : QAbstractTableModel::headerData(section, orientation, role);
}

bool AreaResultsModel::OnFloor(int row, int floor) const
{
    const TArea& a = s_.Areas[AreaOf(row)];
    return s_.Nodes[a.Node1].Etag == floor || s_.Nodes[a.Node2].Etag == floor;
}

bool AreaResultsModel::IsBottleneck(int row) const
{
    const AreaResult* r = results_.ResultOf(AreaOf(row));
    return r && (r->How == Movement::Bottleneck || r->How == Movement::Accumulation);
}

QVariant AreaResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_) return {};
    const int area = AreaOf(index.row());
    if (role == Qt::ForegroundRole && results_.Stale()) return QColor(Qt::gray);
    if (role == Qt::BackgroundRole && IsBottleneck(index.row())) return QColor(0xFF, 0xE0, 0xE0);
    if (role != Qt::DisplayRole && role != Qt::UserRole && role != Qt::TextAlignmentRole) return {};
    const TableCell cell =
        AreaTableCell(s_, area, results_.ResultOf(area), AreaTableColumn(index.column()), Separator());
    const TArea& a = s_.Areas[area];
    switch (index.column()) {
    case Floor: return Cell(role, cell, s_.Nodes[a.Node1].Etag * 256 + s_.Nodes[a.Node2].Etag);
    case Label: return Cell(role, cell, area);
    case Kind: return Cell(role, cell, a.Kind);
    default: return Cell(role, cell);
    }
}

ExitResultsModel::ExitResultsModel(const TPipeLine& s, const ResultsOverlay& results, QObject* parent)
    : QAbstractTableModel(parent), s_(s), results_(results)
{
    Refresh();
}

void ExitResultsModel::Refresh()
{
    beginResetModel();
    exits_ = results_.HasResults() ? results_.Exits(s_) : std::vector<ExitResult>{};
    endResetModel();
}

int ExitResultsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(exits_.size()); }
int ExitResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(ExitTableColumn::kCount);
}

QVariant ExitResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QVariant header = Header(ExitTableHeaders(), section, orientation, role);
    return header.isValid() ? header : QAbstractTableModel::headerData(section, orientation, role);
}

QVariant ExitResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(exits_.size())) return {};
    if (role == Qt::ForegroundRole && results_.Stale()) return QColor(Qt::gray);
    const ExitResult& e = exits_[std::size_t(index.row())];
    const auto column = ExitTableColumn(index.column());
    return Cell(role, ExitTableCell(s_, e, column, Separator()), column == ExitTableColumn::Label ? e.Node : -1);
}

FlowResultsModel::FlowResultsModel(const TPipeLine& s, const ResultsOverlay& results, QObject* parent)
    : QAbstractTableModel(parent), s_(s), results_(results)
{
    Refresh();
}

void FlowResultsModel::Refresh()
{
    beginResetModel();
    flows_ = results_.HasResults() ? FlowSummaries(s_) : std::vector<FlowSummary>{};
    endResetModel();
}

int FlowResultsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(flows_.size()); }
int FlowResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant FlowResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QVariant header = Header(FlowTableHeaders(), section, orientation, role);
    return header.isValid() ? header : QAbstractTableModel::headerData(section, orientation, role);
}

QVariant FlowResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(flows_.size())) return {};
    if (role == Qt::ForegroundRole && results_.Stale()) return QColor(Qt::gray);
    const FlowSummary& f = FlowOf(index.row());
    return Cell(role, FlowTableCell(s_, f, FlowTableColumn(index.column()), Separator()), f.Exit);
}
std::vector<int> FlowResultsModel::AreasOf(int row) const
{
    std::vector<int> areas;
    const FlowOrder order(s_);
    const int k = FlowOf(row).Number;
    if (k < 1 || k > order.Count()) return areas;
    for (int step : order.Steps(k)) areas.push_back(s_.Reports[step].Area);
    return areas;
}

ResultsFilter::ResultsFilter(QObject* parent) : QSortFilterProxyModel(parent)
{
    setSortRole(Qt::UserRole);
}

void ResultsFilter::SetFloor(int floor)
{
    floor_ = floor;
    invalidateFilter();
}

void ResultsFilter::SetBottlenecksOnly(bool only)
{
    bottlenecks_ = only;
    invalidateFilter();
}

bool ResultsFilter::filterAcceptsRow(int row, const QModelIndex&) const
{
    const auto* areas = qobject_cast<const AreaResultsModel*>(sourceModel());
    if (!areas) return true;  // the flows are not filtered
    if (floor_ > 0 && !areas->OnFloor(row, floor_)) return false;
    return !bottlenecks_ || areas->IsBottleneck(row);
}

std::vector<std::vector<std::string>> TableText(const QAbstractItemModel& model)
{
    std::vector<std::vector<std::string>> rows(1);
    for (int c = 0; c < model.columnCount(); ++c)
        rows[0].push_back(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
    for (int r = 0; r < model.rowCount(); ++r) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int c = 0; c < model.columnCount(); ++c)
            row.push_back(model.data(model.index(r, c), Qt::DisplayRole).toString().toStdString());
    }
    return rows;
}

}  // namespace stelmar
