#pragma once

// Printing the drawing of the active floor on one page.

#include "dialogs/PlaceholderDialog.h"

namespace stelmar {

class TForm3 : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent);
};

}  // namespace stelmar
