#pragma once

// The local calculation: validation, flow calculation and the report.

#include "dialogs/PlaceholderDialog.h"

namespace stelmar {

class TFcalc : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TFcalc(QWidget* parent);
};

}  // namespace stelmar
