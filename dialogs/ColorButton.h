#pragma once

// A button that shows a colour and lets the user choose another one with
// the colour chooser.

#include <QPushButton>

#include "model/Scheme.h"

class QColor;

namespace stelmar {

// The $00BBGGRR value of a colour.
TColor FromQColor(const QColor& c);

class ColorButton : public QPushButton {
    Q_OBJECT
public:
    ColorButton(const char* objectName, QWidget* parent);

    TColor Color() const { return color_; }
    void SetColor(TColor color);

private:
    // Opens the colour chooser at the current colour; cancelling it keeps
    // the colour.
    void Choose();

    TColor color_ = 0;
};

}  // namespace stelmar
