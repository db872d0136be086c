#pragma once

// Submitting the saved project to the calculation service.

#include "dialogs/PlaceholderDialog.h"

namespace stelmar {

class TFcalcNet : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TFcalcNet(QWidget* parent);
};

}  // namespace stelmar
