#pragma once

// The tables of the "Результаты" panel as models for Qt's table views: one
// row per area of the scheme with its results, one per exit and one per
// flow as the report numbers them, cell for cell the tables of
// ResultTables.h. Cells give their text for display and CSV, a number for
// sorting (Qt::UserRole), and numbers are right-aligned.

#include <QAbstractTableModel>
#include <QStringList>
#include <QSortFilterProxyModel>
#include <vector>

#include "calc/ResultTables.h"

namespace stelmar {

class ResultsOverlay;

class AreaResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Floor, Label, Kind, Length, Width, Flows, People, Intensity, Speed, Time, Delay, Accumulation, Total,
                  kColumns = int(AreaTableColumn::kCount) };

    AreaResultsModel(const TPipeLine& s, const ResultsOverlay& results, QObject* parent);

    // Reads the scheme and the results again.
    void Refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The area of a row (rows are areas in number order).
    int AreaOf(int row) const { return row + 1; }
    // The floors an area is seen on, and whether it is a bottleneck.
    bool OnFloor(int row, int floor) const;
    bool IsBottleneck(int row) const;

private:
    const TPipeLine& s_;
    const ResultsOverlay& results_;
    int rows_ = 0;
};

class FlowResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Number, People, F, Length, Time, Exit, kColumns = int(FlowTableColumn::kCount) };

    FlowResultsModel(const TPipeLine& s, const ResultsOverlay& results, QObject* parent);

    void Refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const FlowSummary& FlowOf(int row) const { return flows_[std::size_t(row)]; }
    // The areas the flow of a row moves over.
    std::vector<int> AreasOf(int row) const;

private:
    const TPipeLine& s_;
    const ResultsOverlay& results_;
    std::vector<FlowSummary> flows_;
};

class ExitResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ExitResultsModel(const TPipeLine& s, const ResultsOverlay& results, QObject* parent);

    void Refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The exit node of a row.
    int NodeOf(int row) const { return exits_[std::size_t(row)].Node; }

private:
    const TPipeLine& s_;
    const ResultsOverlay& results_;
    std::vector<ExitResult> exits_;
};

// The rows of a floor (0: all floors), and with `bottlenecks` only areas
// at the limit of their path.
class ResultsFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ResultsFilter(QObject* parent);
    void SetFloor(int floor);
    void SetBottlenecksOnly(bool only);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    int floor_ = 0;
    bool bottlenecks_ = false;
};

// All rows of a model as text, the header first: what "Сохранить в CSV..."
// writes.
std::vector<std::vector<std::string>> TableText(const QAbstractItemModel& model);

}  // namespace stelmar
