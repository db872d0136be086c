#include "dialogs/PrintDialog.h"

namespace stelmar {

TForm3::TForm3(QWidget* parent) : PlaceholderDialog("Form3", "Печать", parent) {}

}  // namespace stelmar
