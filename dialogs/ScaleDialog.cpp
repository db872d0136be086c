#include "dialogs/ScaleDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "dialogs/NumberFields.h"
#include "model/DrawnLengths.h"

namespace stelmar {

TFscale::TFscale(PromptsRef prompts, QWidget* parent) : QDialog(parent), prompts_(std::move(prompts))
{
    setObjectName("Fscale");
    setWindowTitle("Масштаб по двум точкам");
    drawn_ = new QLabel(this);
    drawn_->setObjectName("DrawnDistance");
    distance_ = new QLineEdit(this);
    distance_->setObjectName("DistanceEdit");
    auto* form = new QFormLayout;
    form->addRow("Расстояние на чертеже:", drawn_);
    form->addRow("Расстояние между точками, м:", distance_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Применить");
    buttons->button(QDialogButtonBox::Cancel)->setText("Отменить");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFscale::Accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<double> TFscale::AskScale(double pixels, double current)
{
    pixels_ = pixels;
    drawn_->setText(QString("%1 точек").arg(NumberText(RoundTo3(pixels))));
    distance_->setText(current > 0 ? NumberText(RoundTo3(current * pixels)) : QString());
    distance_->setFocus();
    distance_->selectAll();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return scale_;
}

void TFscale::Accept()
{
    FieldReader read;
    const std::optional<double> metres = read.Real(distance_, distance_->text(), "Расстояние между точками, м");
    std::optional<double> scale;
    if (metres) {
        scale = ScaleFromPoints(0, 0, pixels_, 0, *metres);
        if (!scale) read.Fail(distance_, "Расстояние между точками, м: введите расстояние больше нуля.");
    }
    if (read.Failed()) {
        prompts_->ShowWarning(read.Message());
        distance_->setFocus();
        distance_->selectAll();
        return;
    }
    scale_ = *scale;
    accept();
}

}  // namespace stelmar
