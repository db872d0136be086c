#include "dialogs/ColorButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include "drawing/SchemeDrawing.h"

namespace stelmar {
namespace {

constexpr QSize kPatchSize(36, 14);

}  // namespace

TColor FromQColor(const QColor& c)
{
    return static_cast<TColor>(c.red()) | static_cast<TColor>(c.green()) << 8 | static_cast<TColor>(c.blue()) << 16;
}

ColorButton::ColorButton(const char* objectName, QWidget* parent) : QPushButton(parent)
{
    setObjectName(objectName);
    setIconSize(kPatchSize);
    setAutoDefault(false);
    SetColor(0);
    connect(this, &QPushButton::clicked, this, &ColorButton::Choose);
}

void ColorButton::SetColor(TColor color)
{
    color_ = color;
    QPixmap patch(kPatchSize);
    patch.fill(ToQColor(color));
    QPainter frame(&patch);
    frame.setPen(Qt::darkGray);
    frame.drawRect(patch.rect().adjusted(0, 0, -1, -1));
    frame.end();
    setIcon(patch);
}

void ColorButton::Choose()
{
    QColorDialog chooser(ToQColor(color_), this);
    chooser.setObjectName("ColorDialog1");
    chooser.setOption(QColorDialog::DontUseNativeDialog);
    if (chooser.exec() == QDialog::Accepted) SetColor(FromQColor(chooser.selectedColor()));
}

}  // namespace stelmar
