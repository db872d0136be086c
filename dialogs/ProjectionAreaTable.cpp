#include "dialogs/ProjectionAreaTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QSizeGrip>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "dialogs/NumberFields.h"
#include "model/NumberText.h"

namespace stelmar {

namespace {

constexpr int kPopupWidth = 400;
constexpr int kVisibleRows = 10;

}  // namespace

ProjectionAreaPopup::ProjectionAreaPopup(QWidget* parent) : QFrame(parent, Qt::Popup)
{
    setObjectName("ProjectionAreaPopup");
    setFrameShape(QFrame::Box);

    table_ = new QTableWidget(int(kProjectionAreas.size()), 2, this);
    table_->setObjectName("ProjectionAreaTable");
    table_->setHorizontalHeaderLabels({"Группа", "S"});
    for (int row = 0; row < int(kProjectionAreas.size()); ++row) {
        const ProjectionAreaRow& entry = kProjectionAreas[std::size_t(row)];
        auto* age = new QTableWidgetItem(entry.Age);
        age->setToolTip(entry.Age);
        table_->setItem(row, 0, age);
        table_->setItem(row, 1, new QTableWidgetItem(NumberText(entry.S)));
    }
    table_->verticalHeader()->hide();
    const int rowHeight = table_->fontMetrics().height() + 6;
    table_->verticalHeader()->setMinimumSectionSize(rowHeight);
    table_->verticalHeader()->setDefaultSectionSize(rowHeight);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setShowGrid(true);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(table_, &QTableWidget::cellClicked, this, [this](int row) { Choose(row); });
    connect(table_, &QTableWidget::activated, this, [this](const QModelIndex& index) { Choose(index.row()); });

    // The corner grip makes the drop-down resizable.
    auto* grip = new QHBoxLayout;
    grip->addStretch();
    grip->addWidget(new QSizeGrip(this));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(table_);
    layout->addLayout(grip);

    const int rows = table_->verticalHeader()->defaultSectionSize() * kVisibleRows;
    const int height = rows + table_->horizontalHeader()->sizeHint().height() + 2 * table_->frameWidth() +
                       grip->sizeHint().height() + 2 * frameWidth();
    resize(kPopupWidth, height);
}

void ProjectionAreaPopup::Open(const QWidget* field, double current)
{
    table_->clearSelection();
    table_->setCurrentCell(0, 0, QItemSelectionModel::NoUpdate);
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (kProjectionAreas[std::size_t(row)].S == current) {
            table_->selectRow(row);
            break;
        }
    }
    table_->scrollToItem(table_->currentItem());

    QPoint corner = field->mapToGlobal(QPoint(0, field->height()));
    if (const QScreen* screen = field->screen()) {
        const QRect room = screen->availableGeometry();
        if (corner.y() + height() > room.bottom()) corner.setY(field->mapToGlobal(QPoint(0, 0)).y() - height());
        corner.setX(std::clamp(corner.x(), room.left(), std::max(room.left(), room.right() - width())));
    }
    move(corner);
    show();
    table_->setFocus();
}

void ProjectionAreaPopup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        hide();
    else
        QFrame::keyPressEvent(event);
}

void ProjectionAreaPopup::Choose(int row)
{
    if (row < 0 || row >= int(kProjectionAreas.size())) return;
    hide();
    emit Chosen(kProjectionAreas[std::size_t(row)].S);
}

ProjectionAreaField::ProjectionAreaField(QWidget* parent) : QWidget(parent)
{
    edit_ = new QLineEdit(this);
    button_ = new QToolButton(this);
    button_->setArrowType(Qt::DownArrow);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setToolTip("Выбрать из таблицы");
    popup_ = new ProjectionAreaPopup(this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(edit_, 1);
    layout->addWidget(button_);
    setFocusProxy(edit_);

    connect(button_, &QToolButton::clicked, this, &ProjectionAreaField::OpenTable);
    connect(popup_, &ProjectionAreaPopup::Chosen, this, [this](double s) {
        edit_->setText(NumberText(s));
        edit_->setFocus();
    });
    edit_->installEventFilter(this);
}

QString ProjectionAreaField::text() const { return edit_->text(); }

void ProjectionAreaField::setText(const QString& text) { edit_->setText(text); }

void ProjectionAreaField::OpenTable()
{
    const std::optional<double> current = ParseReal(NormalizeNumber(edit_->text(), '.').toStdString());
    popup_->Open(this, current.value_or(std::nan("")));
}

// Alt+Down and F4 open the table, as they open a drop-down list.
bool ProjectionAreaField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier))) {
            OpenTable();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace stelmar
