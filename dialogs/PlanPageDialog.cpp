#include "dialogs/PlanPageDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace stelmar {

PlanPageDialog::PlanPageDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("FplanPage");
    pages_ = new QListWidget(this);
    pages_->setObjectName("PlanPages");
    pages_->setViewMode(QListView::IconMode);
    pages_->setIconSize(QSize(160, 160));
    pages_->setGridSize(QSize(190, 200));
    pages_->setResizeMode(QListView::Adjust);
    pages_->setMovement(QListView::Static);
    pages_->setSelectionMode(QAbstractItemView::SingleSelection);
    pages_->setMinimumSize(620, 440);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Выбрать");
    buttons->button(QDialogButtonBox::Cancel)->setText("Отменить");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Выберите страницу, которая станет планом этажа:", this));
    layout->addWidget(pages_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pages_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

std::optional<int> PlanPageDialog::AskPage(const QString& name, const QList<QImage>& thumbnails)
{
    setWindowTitle("Страница плана: " + QFileInfo(name).fileName());
    pages_->clear();
    for (qsizetype i = 0; i < thumbnails.size(); ++i)
        pages_->addItem(new QListWidgetItem(QIcon(QPixmap::fromImage(thumbnails[i])), QString("Страница %1").arg(i + 1)));
    pages_->setCurrentRow(0);
    pages_->setFocus();
    if (exec() != QDialog::Accepted || pages_->currentRow() < 0) return std::nullopt;
    return pages_->currentRow() + 1;
}

}  // namespace stelmar
