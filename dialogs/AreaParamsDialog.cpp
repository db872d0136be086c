#include "dialogs/AreaParamsDialog.h"

namespace stelmar {

TFpar::TFpar(QWidget* parent) : PlaceholderDialog("Fpar", "Участок", parent) {}

}  // namespace stelmar
