#include "dialogs/AreaParamsDialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "dialogs/NumberFields.h"
#include "model/PathKinds.h"
#include "model/StepNames.h"

namespace stelmar {
namespace {

constexpr int kMinClientWidth = 238;
constexpr int kMinClientHeight = 150;

}  // namespace

TFpar::TFpar(PromptsRef prompts, SchemeChanges& changes, QWidget* parent)
    : ParamsWindow("Fpar", std::move(prompts), parent), changes_(changes)
{
    setWindowTitle("Участок");
    frame_ = new QGroupBox(this);

    // Created in tab order.
    length_ = new QLineEdit("0", frame_);
    length_->setObjectName("Ledit");
    width_ = new QLineEdit("0", frame_);
    width_->setObjectName("Dedit");
    kind_ = new QComboBox(frame_);
    kind_->setObjectName("KeEdit");
    for (const char* kind : kPathKindCaptions) kind_->addItem(kind);
    reverse_ = new QCheckBox("Изменить направление стрелки", frame_);
    reverse_->setObjectName("CBarrow");
    cancelButton_ = FlatButton("Отменить", QStyle::SP_DialogCancelButton, frame_);
    cancelButton_->setObjectName("SpeedButton1");
    acceptButton_ = FlatButton("Принять", QStyle::SP_DialogApplyButton, frame_);
    acceptButton_->setObjectName("SpeedButton2");

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Длина, м:", frame_), 0, 0);
    grid->addWidget(length_, 0, 1);
    grid->addWidget(new QLabel("Ширина, м:", frame_), 1, 0);
    grid->addWidget(width_, 1, 1);
    grid->addWidget(new QLabel("Тип участка:", frame_), 2, 0);
    grid->addWidget(kind_, 2, 1);
    grid->addWidget(reverse_, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    LayOut(frame_, grid, cancelButton_, acceptButton_, QSize(kMinClientWidth, kMinClientHeight));

    connect(cancelButton_, &QToolButton::clicked, this, &QDialog::reject);
    connect(acceptButton_, &QToolButton::clicked, this, &TFpar::SpeedButton2Click);
    for (QWidget* field : {static_cast<QWidget*>(length_), static_cast<QWidget*>(width_), static_cast<QWidget*>(kind_)})
        field->installEventFilter(this);
    DragByBody();
}

bool TFpar::ShowAreaParams(const TPipeLine& s, int area, const QPoint& globalPointer)
{
    if (area < 1 || area > AreaCount(s)) return false;
    PlaceNear(globalPointer);
    scheme_ = &s;
    area_ = area;
    const TArea& a = s.Areas[std::size_t(area)];
    const QString label = QString::fromStdString(AreaLabel(s, a));
    frame_->setTitle(" Параметры участка №" + label);
    setWindowTitle("Участок №" + label);

    length_->setText(NumberText(a.Length));
    width_->setText(NumberText(a.Width));
    kind_->setCurrentIndex(a.Kind >= 1 && a.Kind <= kind_->count() ? a.Kind - 1 : -1);
    // A reversal applies only to the showing in which it was ticked.
    reverse_->setChecked(false);
    length_->setFocus();
    length_->selectAll();

    const bool accepted = exec() == QDialog::Accepted;
    scheme_ = nullptr;
    return accepted;
}

// Both numbers are read before anything is written, so a field that does
// not hold a valid value leaves the area as it was.
void TFpar::SpeedButton2Click()
{
    FieldReader read;
    const std::optional<double> length = read.Real(length_, length_->text(), "Длина, м");
    const std::optional<double> width = read.Real(width_, width_->text(), "Ширина, м");
    if (kind_->currentIndex() < 0) read.Fail(kind_, "Тип участка: выберите тип из списка.");
    if (read.Failed()) {
        Refuse(read);
        return;
    }

    const TArea& a = scheme_->Areas[std::size_t(area_)];
    const auto kind = static_cast<std::uint8_t>(kind_->currentIndex() + 1);
    const bool reverse = reverse_->isChecked();
    // A change of one field is named by it.
    const int changed = (*length != a.Length) + (*width != a.Width) + (kind != a.Kind) + reverse;
    const char* what = changed > 1            ? "параметры"
                       : *length != a.Length ? "длина"
                       : *width != a.Width   ? "ширина"
                       : kind != a.Kind      ? "тип"
                                             : "направление";
    if (changed > 0)
        changes_.Apply(what + (" " + AreaGenitive(*scheme_, area_)), [area = area_, l = *length, w = *width, kind,
                                                                     reverse](TPipeLine& s) {
            TArea& target = s.Areas[std::size_t(area)];
            // A length typed by hand is no longer taken from the drawing.
            if (l != target.Length) target.Drawn = false;
            target.Length = l;
            target.Width = w;
            target.Kind = kind;
            if (reverse) std::swap(target.Node1, target.Node2);
        });
    accept();
}

// Enter in the length, the width or the kind list accepts the dialog (the
// closed list would take it for itself); a letter typed into the closed
// kind list opens it at the first kind that begins with it.
bool TFpar::eventFilter(QObject* watched, QEvent* event)
{
    const bool field = watched == length_ || watched == width_ || watched == kind_;
    if (field && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            SpeedButton2Click();
            return true;
        }
        const bool typing = !key->text().isEmpty() && key->text().at(0).isLetterOrNumber() &&
                            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (watched == kind_ && typing) {
            kind_->showPopup();
            kind_->view()->keyboardSearch(QString());  // a new search, not the rest of an old one
            kind_->view()->keyboardSearch(key->text());
            return true;
        }
    }
    return ParamsWindow::eventFilter(watched, event);
}

}  // namespace stelmar
