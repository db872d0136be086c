#include "dialogs/PlaceholderDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace stelmar {

PlaceholderDialog::PlaceholderDialog(const char* objectName, const QString& caption, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);

    auto* title = new QLabel(caption, this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* notice = new QLabel(kNotYetAvailable, this);
    auto* close = new QPushButton("Закрыть", this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(notice);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace stelmar
