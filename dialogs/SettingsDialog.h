#pragma once

// The drawing settings: line and node sizes, colours, label font, arrows and canvas size.

#include "dialogs/PlaceholderDialog.h"

namespace stelmar {

class TFParams : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TFParams(QWidget* parent);
};

}  // namespace stelmar
