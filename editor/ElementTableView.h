#pragma once

// A table of the panel "Элементы". While it has the focus, the keys of its
// own commands (copy, paste, delete, select all) and the typing of values
// belong to it, not to the main window's shortcuts of the same keys (the
// drawing's clipboard, deleting at the pointer, the tool letters).

#include <QTableView>

namespace stelmar {

class ElementTableView : public QTableView {
    Q_OBJECT
public:
    explicit ElementTableView(QWidget* parent);

    // Whether the user's last change of the selection replaced the one
    // before (a plain click or arrow key) rather than adding to it (with
    // Ctrl or Shift, select all).
    bool SelectionReplaced() const { return replaced_; }

signals:
    void CopyRequested();
    void PasteRequested();
    void DeleteRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    mutable bool replaced_ = true;
};

}  // namespace stelmar
