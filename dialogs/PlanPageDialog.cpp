#include "dialogs/PlanPageDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

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

PlanPageDialog::~PlanPageDialog() { StopRendering(); }

// A page chosen before its thumbnail is in stops the rest from being
// rendered; the one under way is finished and dropped.
std::optional<int> PlanPageDialog::AskPage(const QString& name, int pages, std::function<QImage(int page)> thumbnail)
{
    StopRendering();
    setWindowTitle("Страница плана: " + QFileInfo(name).fileName());
    pages_->clear();
    for (int page = 1; page <= pages; ++page) pages_->addItem(new QListWidgetItem(QString("Страница %1").arg(page)));
    pages_->setCurrentRow(0);
    pages_->setFocus();
    const int generation = ++generation_;
    stop_ = std::make_shared<std::atomic<bool>>(false);
    renderer_ = std::thread([this, pages, generation, stop = stop_, thumbnail = std::move(thumbnail)] {
        for (int page = 1; page <= pages && !*stop; ++page) {
            QImage image = thumbnail(page);
            if (*stop) return;
            QMetaObject::invokeMethod(
                this, [this, generation, page, image = std::move(image)] { ShowThumbnail(generation, page, image); },
                Qt::QueuedConnection);
        }
    });
    const bool chosen = exec() == QDialog::Accepted && pages_->currentRow() >= 0;
    *stop_ = true;
    if (!chosen) return std::nullopt;
    return pages_->currentRow() + 1;
}

int PlanPageDialog::ThumbnailsShown() const
{
    int shown = 0;
    for (int row = 0; row < pages_->count(); ++row) shown += !pages_->item(row)->icon().isNull();
    return shown;
}

void PlanPageDialog::ShowThumbnail(int generation, int page, const QImage& image)
{
    if (generation != generation_ || page > pages_->count()) return;
    pages_->item(page - 1)->setIcon(QIcon(QPixmap::fromImage(image)));
}

void PlanPageDialog::StopRendering()
{
    if (stop_) *stop_ = true;
    if (renderer_.joinable()) renderer_.join();
}

}  // namespace stelmar
