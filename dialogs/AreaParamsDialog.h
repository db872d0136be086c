#pragma once

// The parameters of one area: length, width, path kind and direction.

#include "dialogs/PlaceholderDialog.h"

namespace stelmar {

class TFpar : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TFpar(QWidget* parent);
};

}  // namespace stelmar
