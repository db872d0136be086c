#include "dialogs/NodeParamsDialog.h"

namespace stelmar {

TFuzel::TFuzel(QWidget* parent) : PlaceholderDialog("FUzel", "Узел", parent) {}

}  // namespace stelmar
