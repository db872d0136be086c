#include "editor/AreaLengthsDialog.h"

namespace stelmar {

TForm2::TForm2(QWidget* parent) : PlaceholderDialog("Form2", "Расчет длин участков", parent) {}

}  // namespace stelmar
