#include "dialogs/ServiceCalculationDialog.h"

namespace stelmar {

TFcalcNet::TFcalcNet(QWidget* parent) : PlaceholderDialog("FcalcNet", "Расчет", parent) {}

}  // namespace stelmar
