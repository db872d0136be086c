#pragma once

// The cell editors of the element tables: a list for the kind and the
// mobility group, a line for every typed value. What the user accepted goes
// to the panel as text, which reads it with the dialogs' checks; an editor
// closed without a change writes nothing.

#include <QStyledItemDelegate>
#include <functional>

namespace stelmar {

class ElementDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // `commit` receives the edited cell and the text accepted for it.
    using Commit = std::function<void(const QModelIndex& index, const QString& text)>;
    ElementDelegate(Commit commit, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    Commit commit_;
};

}  // namespace stelmar
