#include "editor/ResultTableModels.h"

#include <QColor>

#include "calc/ReportCommon.h"
#include "editor/ResultsOverlay.h"
#include "model/NumberText.h"
#include "model/PathKinds.h"

namespace stelmar {
namespace {

QString Number(double x) { return QString::fromStdString(FormatReal(x, DecimalSeparatorFromEnvironment())); }

// A cell: its text and its value for sorting.
QVariant Cell(int role, const QString& text, const QVariant& value)
{
    if (role == Qt::DisplayRole) return text;
    if (role == Qt::UserRole) return value;
    return {};
}

QVariant RealCell(int role, double x) { return Cell(role, Number(x), x); }

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
    static const char* const kTitles[kColumns] = {"Этаж",      "Участок", "Тип", "l, м",   "δ, м",
                                                  "Потоков",   "N, чел.", "q",   "v",      "t, мин",
                                                  "Задержка, мин", "Скопление, мин", "Время от начала, мин"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
        return QString(kTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
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
    const TArea& a = s_.Areas[area];
    const AreaResult* r = results_.ResultOf(area);
    if (role == Qt::ForegroundRole && results_.Stale()) return QColor(Qt::gray);
    if (role == Qt::BackgroundRole && IsBottleneck(index.row())) return QColor(0xFF, 0xE0, 0xE0);
    switch (index.column()) {
    case Floor: {
        const int f1 = s_.Nodes[a.Node1].Etag;
        const int f2 = s_.Nodes[a.Node2].Etag;
        return Cell(role, f1 == f2 ? QString::number(f1) : QString("%1-%2").arg(f1).arg(f2), f1);
    }
    case Label: return Cell(role, QString::fromStdString(AreaLabel(s_, a)), area);
    case Kind: return Cell(role, PathKindCaption(a.Kind), a.Kind);
    case Length: return RealCell(role, a.Length);
    case Width: return RealCell(role, a.Width);
    default: break;
    }
    if (!r || r->Steps.empty()) return Cell(role, QString(), -1.0);
    switch (index.column()) {
    case Flows: return Cell(role, QString::number(r->Steps.size()), int(r->Steps.size()));
    case People: return Cell(role, QString::number(r->People), r->People);
    case Intensity: return RealCell(role, r->Intensity);
    case Speed: return RealCell(role, r->Speed);
    case Time: return RealCell(role, r->AreaTime);
    case Delay: return RealCell(role, r->DelayTime);
    case Accumulation: return RealCell(role, r->AccumTime);
    case Total: return RealCell(role, r->TotalTime);
    default: return {};
    }
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
    static const char* const kTitles[kColumns] = {"№ потока", "N, чел.", "f, м²", "Длина, м", "Время, мин", "Выход"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
        return QString(kTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant FlowResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(flows_.size())) return {};
    if (role == Qt::ForegroundRole && results_.Stale()) return QColor(Qt::gray);
    const FlowSummary& f = FlowOf(index.row());
    switch (index.column()) {
    case Number: return Cell(role, QString::number(f.Number), f.Number);
    case People: return Cell(role, QString::number(f.People), f.People);
    case F: return RealCell(role, f.F);
    case Length: return RealCell(role, f.Length);
    case Time: return RealCell(role, f.Time);
    case Exit: {
        const bool exit = f.Exit >= 1 && f.Exit <= NodeCount(s_);
        return Cell(role, exit ? QString::fromStdString(NodeLabel(s_, f.Exit)) : QString(), f.Exit);
    }
    default: return {};
    }
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
