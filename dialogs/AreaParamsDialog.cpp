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

namespace stelmar {
namespace {

// Path kinds 1..6 by item index.
constexpr const char* kPathKinds[] = {"Горизонтальный путь", "Лестница вниз", "Лестница вверх",
                                      "Дверной проем",       "Пандус вниз",   "Пандус вверх"};

constexpr int kMinClientWidth = 238;
constexpr int kMinClientHeight = 150;

}  // namespace

TFpar::TFpar(PromptsRef prompts, QWidget* parent) : ParamsWindow("Fpar", std::move(prompts), parent)
{
    setWindowTitle("Участок");
    GroupBox1 = new QGroupBox(this);

    // Created in tab order.
    Ledit = new QLineEdit("0", GroupBox1);
    Ledit->setObjectName("Ledit");
    Dedit = new QLineEdit("0", GroupBox1);
    Dedit->setObjectName("Dedit");
    KeEdit = new QComboBox(GroupBox1);
    KeEdit->setObjectName("KeEdit");
    for (const char* kind : kPathKinds) KeEdit->addItem(kind);
    CBarrow = new QCheckBox("Изменить направление стрелки", GroupBox1);
    CBarrow->setObjectName("CBarrow");
    SpeedButton1 = FlatButton("Отменить", QStyle::SP_DialogCancelButton, GroupBox1);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton2 = FlatButton("Принять", QStyle::SP_DialogApplyButton, GroupBox1);
    SpeedButton2->setObjectName("SpeedButton2");

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Длина, м:", GroupBox1), 0, 0);
    grid->addWidget(Ledit, 0, 1);
    grid->addWidget(new QLabel("Ширина, м:", GroupBox1), 1, 0);
    grid->addWidget(Dedit, 1, 1);
    grid->addWidget(new QLabel("Тип участка:", GroupBox1), 2, 0);
    grid->addWidget(KeEdit, 2, 1);
    grid->addWidget(CBarrow, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    LayOut(GroupBox1, grid, SpeedButton1, SpeedButton2, QSize(kMinClientWidth, kMinClientHeight));

    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::reject);
    connect(SpeedButton2, &QToolButton::clicked, this, &TFpar::SpeedButton2Click);
    for (QWidget* field : {static_cast<QWidget*>(Ledit), static_cast<QWidget*>(Dedit), static_cast<QWidget*>(KeEdit)})
        field->installEventFilter(this);
    DragByBody();
}

bool TFpar::ShowAreaParams(TPipeLine& s, int area, const QPoint& globalPointer)
{
    if (area < 1 || area > AreaCount(s)) return false;
    PlaceNear(globalPointer);
    scheme_ = &s;
    area_ = area;
    const TArea& a = s.Areas[std::size_t(area)];
    const QString label = QString::fromStdString(AreaLabel(s, a));
    GroupBox1->setTitle(" Параметры участка №" + label);
    setWindowTitle("Участок №" + label);

    Ledit->setText(NumberText(a.Length));
    Dedit->setText(NumberText(a.Width));
    KeEdit->setCurrentIndex(a.Kind >= 1 && a.Kind <= KeEdit->count() ? a.Kind - 1 : -1);
    // A reversal applies only to the showing in which it was ticked.
    CBarrow->setChecked(false);
    Ledit->setFocus();
    Ledit->selectAll();

    const bool accepted = exec() == QDialog::Accepted;
    scheme_ = nullptr;
    return accepted;
}

// Both numbers are read before anything is written, so a field that does
// not hold a valid value leaves the area as it was.
void TFpar::SpeedButton2Click()
{
    FieldReader read;
    const std::optional<double> length = read.Real(Ledit, Ledit->text(), "Длина, м");
    const std::optional<double> width = read.Real(Dedit, Dedit->text(), "Ширина, м");
    if (KeEdit->currentIndex() < 0) read.Fail(KeEdit, "Тип участка: выберите тип из списка.");
    if (read.Failed()) {
        Refuse(read);
        return;
    }

    TArea& a = scheme_->Areas[std::size_t(area_)];
    a.Length = *length;
    a.Width = *width;
    if (CBarrow->isChecked()) std::swap(a.Node1, a.Node2);
    a.Kind = static_cast<std::uint8_t>(KeEdit->currentIndex() + 1);
    accept();
}

// Enter in the length, the width or the kind list accepts the dialog; a
// letter typed into the closed kind list opens it at the first kind that
// begins with it.
bool TFpar::eventFilter(QObject* watched, QEvent* event)
{
    const bool field = watched == Ledit || watched == Dedit || watched == KeEdit;
    if (field && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            SpeedButton2Click();
            return true;
        }
        const bool typing = !key->text().isEmpty() && key->text().at(0).isLetterOrNumber() &&
                            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (watched == KeEdit && typing) {
            KeEdit->showPopup();
            KeEdit->view()->keyboardSearch(QString());  // a new search, not the rest of an old one
            KeEdit->view()->keyboardSearch(key->text());
            return true;
        }
    }
    return ParamsWindow::eventFilter(watched, event);
}

}  // namespace stelmar
