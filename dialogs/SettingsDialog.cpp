#include "dialogs/SettingsDialog.h"

namespace stelmar {

TFParams::TFParams(QWidget* parent) : PlaceholderDialog("FParams", "Параметры", parent) {}

}  // namespace stelmar
