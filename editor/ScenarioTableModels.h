#pragma once

// The two tables of the panel "Сценарии" over the live scheme: the
// scenarios with their t_р and verdict, and the nodes of the active
// scenario with the times it gives them (typed in place) and the figures
// and verdict of its check. Results are shown while they are those of the
// scheme as it is.

#include <QAbstractTableModel>
#include <functional>

#include "calc/ScenarioCalculation.h"

namespace stelmar {

class TF;

// Tells the user what is wrong with a typed value.
using ScenarioMessage = std::function<void(const QString&)>;

class ScenarioListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kName, kTime, kVerdict, kColumns };

    ScenarioListModel(TF& window, ScenarioMessage message, QObject* parent);
    // Rows anew after the scheme, its scenarios or their results changed.
    void Refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Renames a scenario; an empty name or one another scenario has is
    // refused with a message.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    TF& tf_;
    ScenarioMessage message_;
    int rows_ = 0;
};

class ScenarioNodesModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kNode, kStartDelay, kBlockTime, kTime, kTotal, kAllowed, kAccum, kVerdict, kColumns };

    ScenarioNodesModel(TF& window, ScenarioMessage message, QObject* parent);
    // The inputs and exits of the scheme, then the junctions that are
    // check points of the active scenario.
    void Refresh();
    int NodeAt(int row) const { return nodes_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An input's own t_нэ, a node's own t_бл (empty: the scenario's), as
    // one step; a value that is not a valid time is refused with a message.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    QVariant Display(int node, int column) const;
    QString Figure(double x) const;

    TF& tf_;
    ScenarioMessage message_;
    std::vector<int> nodes_;
};

// The calculation of the active scenario, when it is that of the scheme as
// it is; null otherwise.
const ScenarioRun* CurrentRun(const TF& window);

}  // namespace stelmar
