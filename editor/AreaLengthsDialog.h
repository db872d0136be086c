#pragma once

// Deriving the lengths of areas from a drawing scale.

#include "dialogs/PlaceholderDialog.h"

namespace stelmar {

class TForm2 : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent);
};

}  // namespace stelmar
