#include "editor/SchemeEdit.h"

#include "editor/MainWindow.h"

namespace stelmar {

SchemeEdit::SchemeEdit(TF& window, std::string name) : window_(window) { window_.BeginEdit(std::move(name)); }

SchemeEdit::~SchemeEdit() { window_.EndEdit(); }

TPipeLine& SchemeEdit::Scheme() const { return window_.Scheme(); }

}  // namespace stelmar
