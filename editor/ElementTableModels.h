#pragma once

// The two tables of the panel "Элементы" over the live scheme: one row per
// node or per area in number order, the cells as the parameter dialogs
// show them, and the writing of typed or pasted texts into many rows as
// one change. A filter model in front of each picks the rows shown and
// sorts them.

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/SchemeChanges.h"
#include "model/ElementTable.h"

namespace stelmar {

class FieldReader;

// The role that gives a cell's value for sorting (a number where the cell
// shows one, an element's number for its label).
inline constexpr int kSortRole = Qt::UserRole;
// The role that gives a list column's captions (a QStringList), empty for
// a typed column.
inline constexpr int kChoicesRole = Qt::UserRole + 1;

class ElementTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The scheme is read live; changes are written through `changes`.
    ElementTableModel(const TPipeLine& scheme, SchemeChanges& changes, QObject* parent);

    // Follows the scheme after it changed: all rows anew when their number
    // changed, otherwise every cell reported changed.
    void Refresh();
    // No rows, while the table is not shown.
    void Empty();

    // The element of a row of this model.
    static int Element(int row) { return row + 1; }

    // The captions a list column offers, by index (the cell's edit value);
    // empty for a column that is typed.
    virtual QStringList Choices(int column) const = 0;
    // Whether the column can be written for this element.
    virtual bool Writable(int element, int column) const = 0;
    // The element as its messages name it: "узел №5", "участок №1-2".
    virtual QString ElementName(int element) const = 0;
    // The undo step of writing the column of these elements: "ширина
    // участка 4-5", "ширина 3 участков".
    virtual std::string StepName(int column, const std::vector<int>& elements) const = 0;

    // The outcome of writing texts into one column of some elements.
    struct Outcome {
        int Written = 0;      // cells whose value changed
        int Skipped = 0;      // elements the column does not apply to
        int FailedAt = -1;    // index of the first text that is not a valid value
        QString Message;      // that text's message, as the parameter dialogs give it
        bool FloorsAdded = false;
    };
    // Reads every text first (texts[i] for elements[i], or the one text
    // for all of them) and, when all are valid and some differs from the
    // cell, writes them all as one change.
    Outcome Write(int column, const std::vector<int>& elements, const QStringList& texts);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    // The number of elements while a project is open.
    virtual int Count() const = 0;
    // The active fire scenario excludes the element (its row is struck out).
    virtual bool Excluded(int element) const = 0;
    virtual QString Text(int element, int column) const = 0;
    virtual QString EditText(int element, int column) const { return Text(element, column); }
    virtual QVariant SortKey(int element, int column) const = 0;
    virtual bool Numeric(int column) const = 0;
    // Reads a text for the column with the dialogs' checks.
    virtual std::optional<CellValue> Read(FieldReader& read, int column, const QString& text) const = 0;
    virtual bool Differs(int element, int column, const CellValue& value) const = 0;
    virtual void Set(TPipeLine& s, int element, int column, const CellValue& value) const = 0;
    // The index of `text` among the captions of a list column, read as
    // the list would be chosen from.
    std::optional<CellValue> ReadChoice(FieldReader& read, int column, const QString& text, int first,
                                        const QString& message) const;

    const TPipeLine& s_;

private:
    SchemeChanges& changes_;
    int count_ = 0;
};

// Label, floor, kind, people, f and mobility group of every node.
class NodeTableModel final : public ElementTableModel {
    Q_OBJECT
public:
    using ElementTableModel::ElementTableModel;

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QStringList Choices(int column) const override;
    bool Writable(int element, int column) const override;
    QString ElementName(int element) const override;
    std::string StepName(int column, const std::vector<int>& elements) const override;

protected:
    int Count() const override;
    bool Excluded(int element) const override;
    QString Text(int element, int column) const override;
    QString EditText(int element, int column) const override;
    QVariant SortKey(int element, int column) const override;
    bool Numeric(int column) const override;
    std::optional<CellValue> Read(FieldReader& read, int column, const QString& text) const override;
    bool Differs(int element, int column, const CellValue& value) const override;
    void Set(TPipeLine& s, int element, int column, const CellValue& value) const override;
};

// Label, floors, kind, length and width of every area.
class AreaTableModel final : public ElementTableModel {
    Q_OBJECT
public:
    using ElementTableModel::ElementTableModel;

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QStringList Choices(int column) const override;
    bool Writable(int element, int column) const override;
    QString ElementName(int element) const override;
    std::string StepName(int column, const std::vector<int>& elements) const override;

protected:
    int Count() const override;
    bool Excluded(int element) const override;
    QString Text(int element, int column) const override;
    QVariant SortKey(int element, int column) const override;
    bool Numeric(int column) const override;
    std::optional<CellValue> Read(FieldReader& read, int column, const QString& text) const override;
    bool Differs(int element, int column, const CellValue& value) const override;
    void Set(TPipeLine& s, int element, int column, const CellValue& value) const override;
};

// The rows of a table that pass the panel's filter, sorted by the column
// the user chose (in number order until then).
class ElementFilterModel final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    ElementFilterModel(const TPipeLine& scheme, bool nodes, QObject* parent);

    const ElementFilter& Filter() const { return filter_; }
    // Applies another filter: every row anew (one reset of the views, fast
    // however the rows shown are scattered), or, after a change of the
    // scheme, only the rows that come and go (views keep their place).
    void SetFilter(const ElementFilter& filter);
    void Refilter(const ElementFilter& filter);

    // The element shown in a row of this model.
    int ElementAt(int row) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    const TPipeLine& s_;
    bool nodes_;
    ElementFilter filter_;
};

}  // namespace stelmar
