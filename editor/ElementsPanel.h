#pragma once

// The panel "Элементы": every node and every area of the scheme in two
// tables beside the drawing, filtered by the floor shown (or every floor),
// kind, errors found by the checks and zero sizes. A value typed or pasted
// into the selected rows of one column is written into all of them as one
// step; rows selected here are the elements selected on the drawing and
// back; a double click shows the element on its floor.

#include <QDockWidget>

#include "calc/ElementFindings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QModelIndex;
class QPoint;

namespace stelmar {

class ElementFilterModel;
class ElementTableModel;
class ElementTableView;
class TF;

class ElementsPanel : public QDockWidget {
    Q_OBJECT
public:
    // A dock of `window` over its scheme; the window places it.
    explicit ElementsPanel(TF& window);

    // Writes `texts` into `column` of the shown rows `rows` of the node
    // table (`nodes`) or the area table, as typing into the selected rows
    // and pasting do: a text for each row, or one for all of them. Tells
    // the user what is wrong instead when some text is not a valid value.
    // True when every text was valid.
    bool WriteColumn(bool nodes, int column, const std::vector<int>& rows, const QStringList& texts);

private:
    struct Table {
        bool Nodes = true;
        ElementTableModel* Model = nullptr;
        ElementFilterModel* Filter = nullptr;
        ElementTableView* View = nullptr;
        QComboBox* Kinds = nullptr;
        QLabel* Shown = nullptr;
    };

    QWidget* BuildTable(Table& table, const QStringList& kinds, QCheckBox* extra);
    Table& Of(bool nodes) { return nodes ? nodes_ : areas_; }

    // Follows the scheme: rows, filters and the selection.
    void Refresh();
    // The filters of the controls and the floor shown; `schemeChanged`
    // when the errors must be looked for again.
    void ApplyFilters(bool schemeChanged);
    void ShowCounts();
    // Selects the rows of the elements selected in the scheme, in every
    // table but the one whose selection is being taken; `reveal` scrolls
    // to the first of them.
    void ShowSelection(bool reveal);
    // The user changed the rows selected in a table: the elements of its
    // kind selected are exactly those rows; a selection that replaced the
    // one before also unselects every element of the other kind.
    void TakeSelection(Table& table);

    // The shown rows selected, in the order shown.
    std::vector<int> SelectedRows(const Table& table) const;
    // The elements shown in those rows.
    std::vector<int> Elements(const Table& table, const std::vector<int>& rows) const;
    void Commit(Table& table, const QModelIndex& index, const QString& text);
    bool Write(Table& table, int column, std::vector<int> elements, const QStringList& texts, bool pasted);
    void Copy(Table& table);
    void Paste(Table& table);
    void Delete(Table& table);
    void ScenarioMenu(Table& table, const QPoint& at);

    TF& tf_;
    Table nodes_;
    Table areas_;
    QCheckBox* allFloors_ = nullptr;
    QCheckBox* errorsOnly_ = nullptr;
    QCheckBox* zeroOnly_ = nullptr;
    // The elements with errors, looked for while that filter is on.
    ElementFindings findings_;
    // Selections and rows being changed by the panel itself, not the user.
    int syncing_ = 0;
    const Table* taking_ = nullptr;
};

}  // namespace stelmar
