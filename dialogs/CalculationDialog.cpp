#include "dialogs/CalculationDialog.h"

namespace stelmar {

TFcalc::TFcalc(QWidget* parent) : PlaceholderDialog("Fcalc", "Расчет", parent) {}

}  // namespace stelmar
