#pragma once

// The chooser of the node-label font: family, size, styles and colour.

#include <QDialog>
#include <QFont>

#include "model/Scheme.h"

class QFontDialog;

namespace stelmar {

class ColorButton;

// The platform font of a label font; sizes are converted between pixels
// and points at 96 dots per inch.
QFont ToQFont(const TFontSpec& font);
// Name, pixel height and styles of a platform font, with the given colour.
TFontSpec FromQFont(const QFont& font, TColor color);

class LabelFontDialog : public QDialog {
    Q_OBJECT
public:
    explicit LabelFontDialog(QWidget* parent);

    // Shows the chooser preset with `font`; when the user confirms, `font`
    // takes the chosen font and true is returned.
    bool Choose(TFontSpec& font);

private:
    QFontDialog* fonts_ = nullptr;
    ColorButton* color_ = nullptr;
};

}  // namespace stelmar
