#include "editor/ElementTableView.h"

#include <QKeyEvent>

namespace stelmar {
namespace {

bool OwnKey(const QKeyEvent& key)
{
    for (QKeySequence::StandardKey command :
         {QKeySequence::Copy, QKeySequence::Paste, QKeySequence::Cut, QKeySequence::SelectAll, QKeySequence::Delete})
        if (key.matches(command)) return true;
    const bool typing = !key.text().isEmpty() && key.text().at(0).isPrint();
    return typing && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

}  // namespace

ElementTableView::ElementTableView(QWidget* parent) : QTableView(parent) {}

bool ElementTableView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && OwnKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

void ElementTableView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        emit CopyRequested();
    } else if (event->matches(QKeySequence::Paste)) {
        emit PasteRequested();
    } else if (event->matches(QKeySequence::Delete)) {
        emit DeleteRequested();
    } else if (event->matches(QKeySequence::Cut)) {
        // Cells are not cut; the key must not cut elements at the pointer.
    } else {
        if (event->matches(QKeySequence::SelectAll)) replaced_ = false;
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

QItemSelectionModel::SelectionFlags ElementTableView::selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags command = QTableView::selectionCommand(index, event);
    if (command != QItemSelectionModel::NoUpdate) replaced_ = command.testFlag(QItemSelectionModel::Clear);
    return command;
}

}  // namespace stelmar
