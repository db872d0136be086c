#include "dialogs/DrawnKindsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/PathKinds.h"

namespace stelmar {

TFdrawnKinds::TFdrawnKinds(QWidget* parent) : QDialog(parent)
{
    setObjectName("FdrawnKinds");
    setWindowTitle("Длины по чертежу");
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel("Новые участки этих видов на этаже с масштабом получают длину по чертежу:", this);
    text->setWordWrap(true);
    layout->addWidget(text);
    for (std::size_t i = 0; i < kinds_.size(); ++i) {
        kinds_[i] = new QCheckBox(kPathKindCaptions[i], this);
        kinds_[i]->setObjectName(QString("DrawnKind%1").arg(i + 1));
        layout->addWidget(kinds_[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Применить");
    buttons->button(QDialogButtonBox::Cancel)->setText("Отменить");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<std::uint8_t> TFdrawnKinds::AskKinds(std::uint8_t current)
{
    for (std::size_t i = 0; i < kinds_.size(); ++i) kinds_[i]->setChecked((current >> (i + 1) & 1) != 0);
    if (exec() != QDialog::Accepted) return std::nullopt;
    std::uint8_t kinds = 0;
    for (std::size_t i = 0; i < kinds_.size(); ++i)
        if (kinds_[i]->isChecked()) kinds |= static_cast<std::uint8_t>(1 << (i + 1));
    return kinds;
}

}  // namespace stelmar
