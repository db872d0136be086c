#pragma once

// The parameters of one node: people, projection area, floor, label and mobility group.

#include "dialogs/PlaceholderDialog.h"

namespace stelmar {

class TFuzel : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TFuzel(QWidget* parent);
};

}  // namespace stelmar
