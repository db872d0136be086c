#include "dialogs/AboutBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "dialogs/Icons.h"

namespace stelmar {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName("AboutBox");
    setWindowTitle("О программе");

    auto* picture = new QLabel(this);
    picture->setPixmap(ToolIcon("stelmar").pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);

    auto* title = new QLabel("Stelmar: расчет времени эвакуации", this);
    QFont large = title->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.25);
    title->setFont(large);
    auto* version = new QLabel(kProductVersion, this);
    auto* support = new QLabel("Техническая поддержка: support@stelmar.ru", this);
    auto* sales = new QLabel("Приобретение: sales@stelmar.ru", this);
    for (QLabel* label : {support, sales}) label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(picture, 0, 0, 5, 1);
    layout->addWidget(title, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->setRowMinimumHeight(2, 8);
    layout->addWidget(support, 3, 1);
    layout->addWidget(sales, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons, 5, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace stelmar
