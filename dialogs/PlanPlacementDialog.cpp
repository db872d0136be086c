#include "dialogs/PlanPlacementDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

#include "dialogs/NumberFields.h"
#include "model/PictureFile.h"
#include "model/PlanPlacement.h"

namespace stelmar {
namespace {

constexpr const char* kPixelsName = "Точек холста на метр";
constexpr const char* kDenominatorName = "Масштаб чертежа";

// A number typed in a field, read as the dialog reads it on accept.
std::optional<double> Typed(const QString& text)
{
    FieldReader read;
    return read.Real(nullptr, text, QString());
}

}  // namespace

PlanPlacementDialog::PlanPlacementDialog(PromptsRef prompts, QWidget* parent)
    : QDialog(parent), prompts_(std::move(prompts))
{
    setObjectName("FplanPlacement");
    setWindowTitle("Размещение плана");
    denominator_ = new QLineEdit(this);
    denominator_->setObjectName("DrawingScaleEdit");
    pixels_ = new QLineEdit(this);
    pixels_->setObjectName("PixelsPerMetreEdit");
    extent_ = new QLabel(this);
    extent_->setObjectName("PlanExtent");
    auto* form = new QFormLayout;
    form->addRow(QString(kDenominatorName) + " 1:", denominator_);
    denominatorLabel_ = qobject_cast<QLabel*>(form->labelForField(denominator_));
    form->addRow(QString(kPixelsName) + ":", pixels_);
    form->addRow("Размер плана на холсте:", extent_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Разместить");
    buttons->button(QDialogButtonBox::Cancel)->setText("Отменить");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PlanPlacementDialog::Accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(denominator_, &QLineEdit::textEdited, this, &PlanPlacementDialog::Refit);
    connect(pixels_, &QLineEdit::textEdited, this, &PlanPlacementDialog::ShowExtent);
}

std::optional<PlanPlacement> PlanPlacementDialog::AskPlacement(const QSizeF& size, bool paper, double metresPerUnit,
                                                               const QSize& canvas)
{
    size_ = size;
    paper_ = paper;
    metresPerUnit_ = metresPerUnit;
    canvas_ = canvas;
    denominator_->setVisible(paper);
    if (denominatorLabel_) denominatorLabel_->setVisible(paper);
    denominator_->setText("100");
    Refit();
    pixels_->setFocus();
    pixels_->selectAll();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return result_;
}

double PlanPlacementDialog::MetresPerUnit() const
{
    if (!paper_) return metresPerUnit_;
    const std::optional<double> denominator = Typed(denominator_->text());
    return denominator && *denominator > 0 ? MetresPerPdfPoint(*denominator) : 0;
}

// The pixels per metre at which the plan fits the canvas.
void PlanPlacementDialog::Refit()
{
    const double metres = MetresPerUnit();
    if (metres > 0) {
        const double fit =
            FittingPixelsPerMetre(size_.width() * metres, size_.height() * metres, canvas_.width(), canvas_.height());
        pixels_->setText(NumberText(fit));
    }
    ShowExtent();
}

void PlanPlacementDialog::ShowExtent()
{
    const std::optional<double> pixels = Typed(pixels_->text());
    const double metres = MetresPerUnit();
    if (!pixels || !(*pixels > 0) || !(metres > 0)) {
        extent_->clear();
        return;
    }
    const QSizeF extent = size_ * metres * *pixels;
    extent_->setText(QString("%1 × %2 точек").arg(std::ceil(extent.width())).arg(std::ceil(extent.height())));
}

void PlanPlacementDialog::Accept()
{
    FieldReader read;
    const std::optional<double> denominator =
        paper_ ? read.Real(denominator_, denominator_->text(), kDenominatorName) : 1.0;
    const std::optional<double> pixels = read.Real(pixels_, pixels_->text(), kPixelsName);
    if (denominator && !(*denominator > 0))
        read.Fail(denominator_, QString(kDenominatorName) + ": введите число больше нуля.");
    if (pixels && !(*pixels > 0)) read.Fail(pixels_, QString(kPixelsName) + ": введите число больше нуля.");
    if (!read.Failed()) {
        const QSizeF extent = size_ * MetresPerUnit() * *pixels;
        if (std::ceil(extent.width()) > kMaxPictureSide || std::ceil(extent.height()) > kMaxPictureSide)
            read.Fail(pixels_, QString("План займет %1 × %2 точек, а в файле проекта можно сохранить изображение не "
                                       "больше %3 точек по каждой стороне. Уменьшите число точек холста на метр.")
                                   .arg(std::ceil(extent.width()))
                                   .arg(std::ceil(extent.height()))
                                   .arg(kMaxPictureSide));
    }
    if (read.Failed()) {
        prompts_->ShowWarning(read.Message());
        if (QLineEdit* field = qobject_cast<QLineEdit*>(read.FailedField())) {
            field->setFocus();
            field->selectAll();
        }
        return;
    }
    result_ = {paper_ ? *denominator : 1.0, *pixels};
    accept();
}

}  // namespace stelmar
