#include "dialogs/LabelFontDialog.h"

#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "dialogs/ColorButton.h"

namespace stelmar {
namespace {

constexpr double kPointsPerPixel = 72.0 / 96.0;

}  // namespace

QFont ToQFont(const TFontSpec& font)
{
    QFont q(QString::fromStdString(font.Name));
    q.setPointSizeF(std::max(1, std::abs(font.Height)) * kPointsPerPixel);
    q.setBold(font.Bold);
    q.setItalic(font.Italic);
    q.setUnderline(font.Underline);
    q.setStrikeOut(font.StrikeOut);
    return q;
}

TFontSpec FromQFont(const QFont& font, TColor color)
{
    TFontSpec chosen;
    chosen.Name = font.family().toStdString();
    const int fromPoints = static_cast<int>(std::lround(font.pointSizeF() / kPointsPerPixel));
    chosen.Height = font.pixelSize() > 0 ? font.pixelSize() : std::max(1, fromPoints);
    chosen.Color = color;
    chosen.Bold = font.bold();
    chosen.Italic = font.italic();
    chosen.Underline = font.underline();
    chosen.StrikeOut = font.strikeOut();
    return chosen;
}

LabelFontDialog::LabelFontDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("FontDialog1");
    setWindowTitle("Шрифт");

    // The toolkit's font chooser, embedded without its own buttons, with
    // the colour beside it as in the font dialog of the platform.
    fonts_ = new QFontDialog(this);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts_->setWindowFlags(Qt::Widget);
    color_ = new ColorButton("FontColor", this);
    auto* colorLabel = new QLabel("Цвет:", this);
    colorLabel->setBuddy(color_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("Отмена");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(colorLabel);
    bottom->addWidget(color_);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(bottom);
}

bool LabelFontDialog::Choose(TFontSpec& font)
{
    // The chooser lists real families, so it starts at the family that the
    // name resolves to; the name itself stays when that family is kept.
    QFont preset = ToQFont(font);
    const QString resolved = QFontInfo(preset).family();
    preset.setFamily(resolved);
    fonts_->setCurrentFont(preset);
    color_->SetColor(font.Color);
    if (exec() != QDialog::Accepted) return false;
    const std::string name = font.Name;
    font = FromQFont(fonts_->currentFont(), color_->Color());
    if (fonts_->currentFont().family() == resolved) font.Name = name;
    return true;
}

}  // namespace stelmar
