#include "editor/ElementDelegate.h"

#include <QComboBox>
#include <QLineEdit>

#include "editor/ElementTableModels.h"

namespace stelmar {
namespace {

// The text the editor was opened with, to tell an accepted change from an
// editor merely left.
constexpr const char* kOpenedWith = "openedWith";

QString EditorText(QWidget* editor)
{
    if (auto* list = qobject_cast<QComboBox*>(editor)) return list->currentText();
    if (auto* line = qobject_cast<QLineEdit*>(editor)) return line->text();
    return {};
}

}  // namespace

ElementDelegate::ElementDelegate(Commit commit, QObject* parent)
    : QStyledItemDelegate(parent), commit_(std::move(commit))
{
}

QWidget* ElementDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    const QStringList choices = index.data(kChoicesRole).toStringList();
    if (choices.isEmpty()) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* list = new QComboBox(parent);
    list->addItems(choices);
    for (int i = 0; i < list->count(); ++i) list->setItemData(i, choices[i], Qt::ToolTipRole);
    return list;
}

void ElementDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* list = qobject_cast<QComboBox*>(editor))
        list->setCurrentIndex(list->findText(text));
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(text);
    editor->setProperty(kOpenedWith, EditorText(editor));
}

void ElementDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    const QString text = EditorText(editor);
    if (text != editor->property(kOpenedWith).toString()) commit_(index, text);
}

}  // namespace stelmar
