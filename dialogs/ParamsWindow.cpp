#include "dialogs/ParamsWindow.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSpinBox>
#include <QToolButton>

#include "dialogs/NumberFields.h"

namespace stelmar {

QPoint PlaceBesidePointer(const QPoint& pointer, const QSize& size, const QRect& frame)
{
    constexpr int kInset = 50;
    QRect r(pointer - QPoint(5, 5), size);
    if (r.left() < frame.left()) r.moveLeft(frame.left() + kInset);
    if (r.top() < frame.top()) r.moveTop(frame.top() + kInset);
    if (r.x() + r.width() > frame.x() + frame.width()) r.moveLeft(frame.x() + frame.width() - r.width() - kInset);
    if (r.y() + r.height() > frame.y() + frame.height()) r.moveTop(frame.y() + frame.height() - r.height() - kInset);
    return r.topLeft();
}

ParamsWindow::ParamsWindow(const char* objectName, PromptsRef prompts, QWidget* parent)
    : QDialog(parent, Qt::Tool), prompts_(std::move(prompts))
{
    setObjectName(objectName);
    setWindowOpacity(230.0 / 255.0);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    installEventFilter(this);
}

void ParamsWindow::DragByBody()
{
    for (QLabel* label : findChildren<QLabel*>()) label->installEventFilter(this);
    for (QGroupBox* frame : findChildren<QGroupBox*>()) frame->installEventFilter(this);
}

void ParamsWindow::PlaceNear(const QPoint& globalPointer)
{
    const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
    if (!main) {
        move(globalPointer - QPoint(5, 5));
        return;
    }
    move(PlaceBesidePointer(globalPointer, frameGeometry().size(), main->frameGeometry()));
}

void ParamsWindow::LayOut(QGroupBox* frame, QGridLayout* grid, QToolButton* left, QToolButton* right,
                          const QSize& minimum)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(left);
    buttons->addWidget(right);

    auto* inside = new QVBoxLayout(frame);
    inside->addLayout(grid);
    inside->addSpacing(4);
    inside->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(frame);
    setMinimumSize(minimum);
    adjustSize();
    setFixedSize(size());
}

void ParamsWindow::Refuse(const FieldReader& read)
{
    prompts_->ShowWarning(read.Message());
    QWidget* field = read.FailedField();
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field->focusProxy() ? field->focusProxy() : field))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(field))
        spin->selectAll();
}

QToolButton* ParamsWindow::FlatButton(const QString& caption, QStyle::StandardPixmap icon, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

// A press of the left button on the body or a label takes the window as its
// caption would; moves with the button held carry it along.
bool ParamsWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool body = watched == this || qobject_cast<QLabel*>(watched) || qobject_cast<QGroupBox*>(watched);
    if (!body) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
        // In front of every window of the program, also of a calculation
        // dialog whose finding opened it.
        if (watched == this) {
            raise();
            activateWindow();
        }
        break;
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) break;
        dragging_ = true;
        dragOffset_ = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
        return true;
    }
    case QEvent::MouseMove:
        if (!dragging_) break;
        move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - dragOffset_);
        return true;
    case QEvent::MouseButtonRelease:
        if (!dragging_) break;
        dragging_ = false;
        return true;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace stelmar
