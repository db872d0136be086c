#include "editor/AreaLengthsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editor/LengthsPreview.h"
#include "model/StepNames.h"

namespace stelmar {
namespace {

QCheckBox* NewCheckBox(const char* name, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(true);
    return box;
}

QRadioButton* NewRadioButton(const char* name, const QString& caption, QWidget* parent)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

TForm2::TForm2(PromptsRef prompts, SchemeChanges& changes, QWidget* parent)
    : QDialog(parent), prompts_(std::move(prompts)), changes_(changes)
{
    setObjectName("Form2");
    setWindowTitle("Расчет длин участков");

    auto* parameters = new QGroupBox(" Параметры определения ", this);
    scaleArea_ = new QComboBox(parameters);
    scaleArea_->setObjectName("ComboBox1");
    all_ = NewRadioButton("RadioButton1", "Все", parameters);
    all_->setChecked(true);
    allZero_ = NewRadioButton("RadioButton3", "Все с нулевыми значениями", parameters);
    one_ = NewRadioButton("RadioButton2", "№", parameters);
    oneArea_ = new QComboBox(parameters);
    oneArea_->setObjectName("ComboBox2");

    kinds_ = new QGroupBox(" Включая ", parameters);
    kinds_->setObjectName("CBtypes");
    horizontal_ = NewCheckBox("CBgor", "Горизонтальные пути", kinds_);
    doorways_ = NewCheckBox("CBdver", "Дверные проемы", kinds_);
    stairsUp_ = NewCheckBox("CBlesT", "Лестницы вверх", kinds_);
    stairsDown_ = NewCheckBox("CBLesB", "Лестницы вниз", kinds_);
    activeFloor_ = NewCheckBox("CBActivEtag", "Только для активного этажа", kinds_);
    auto* kindRows = new QVBoxLayout(kinds_);
    for (QCheckBox* box : {horizontal_, doorways_, stairsUp_, stairsDown_}) kindRows->addWidget(box);
    kindRows->addSpacing(6);
    kindRows->addWidget(activeFloor_);

    auto* oneRow = new QHBoxLayout;
    oneRow->addWidget(one_);
    oneRow->addWidget(oneArea_, 1);
    auto* rows = new QVBoxLayout(parameters);
    rows->addWidget(new QLabel("Участок для масштаба:", parameters));
    rows->addWidget(scaleArea_);
    rows->addSpacing(6);
    rows->addWidget(new QLabel("Определяемые участки:", parameters));
    rows->addWidget(all_);
    rows->addWidget(allZero_);
    rows->addLayout(oneRow);
    rows->addWidget(kinds_);

    auto* apply = new QPushButton("Применить", this);
    apply->setObjectName("Button1");
    apply->setDefault(true);
    auto* cancel = new QPushButton("Отменить", this);
    cancel->setObjectName("Button2");
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(parameters);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The kind and floor filters apply to "Все" and "Все с нулевыми
    // значениями" only; picking a single area chooses "№".
    connect(one_, &QRadioButton::toggled, this, [this](bool checked) { kinds_->setEnabled(!checked); });
    connect(oneArea_, &QComboBox::activated, this, [this] { one_->setChecked(true); });
    connect(apply, &QPushButton::clicked, this, &TForm2::Apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm2::Open(const TPipeLine& s)
{
    scheme_ = &s;
    open();
}

void TForm2::showEvent(QShowEvent* event)
{
    FillLists();
    QDialog::showEvent(event);
}

// One entry per area in area order; each list keeps its entry by position,
// or takes the first when that position is gone.
void TForm2::FillLists()
{
    QStringList entries;
    if (scheme_) {
        for (int i = 1; i <= AreaCount(*scheme_); ++i) {
            const TArea& a = scheme_->Areas[i];
            entries << QString::fromStdString("Участок " + NodeLabel(*scheme_, a.Node1) + " - " +
                                              NodeLabel(*scheme_, a.Node2));
        }
    }
    for (QComboBox* list : {scaleArea_, oneArea_}) {
        const int previous = list->currentIndex();
        list->clear();
        list->addItems(entries);
        list->setCurrentIndex(previous >= 0 && previous < list->count() ? previous : 0);
    }
}

ScaleRequest TForm2::Request() const
{
    ScaleRequest r;
    r.ScaleArea = scaleArea_->currentIndex() + 1;
    r.Targets = one_->isChecked()       ? LengthTargets::One
                : allZero_->isChecked() ? LengthTargets::AllZero
                                        : LengthTargets::All;
    r.Area = oneArea_->currentIndex() + 1;
    r.Horizontal = horizontal_->isChecked();
    r.StairsDown = stairsDown_->isChecked();
    r.StairsUp = stairsUp_->isChecked();
    r.Doorways = doorways_->isChecked();
    r.ActiveFloorOnly = activeFloor_->isChecked();
    return r;
}

// "Применить": shows what would change and, when the engineer confirms,
// changes it as one step and closes; or explains why it cannot and stays
// open for another choice.
void TForm2::Apply()
{
    if (!scheme_) return;
    ScaleResult result = MeasureScaleLengths(*scheme_, Request());
    if (result.Refusal) {
        prompts_->ShowWarning(QString::fromStdString(*result.Refusal));
        return;
    }
    if (LengthsPreview(*scheme_, result, this).exec() != QDialog::Accepted) return;
    const int count = static_cast<int>(result.Lengths.size());
    const std::string name = count == 1 ? "длина " + AreaGenitive(*scheme_, result.Lengths[0].Area)
                                        : "длины " + CountGenitive(count, "участка", "участков");
    changes_.Apply(name, [lengths = std::move(result.Lengths)](TPipeLine& s) {
        for (const ScaledLength& l : lengths) {
            s.Areas[l.Area].Length = l.Length;
            s.Areas[l.Area].Drawn = false;
        }
    });
    accept();
}

}  // namespace stelmar
