#include "editor/SchemeEdit.h"

#include "editor/MainWindow.h"

namespace stelmar {

SchemeEdit::SchemeEdit(TF& window) : window_(window)
{
    window_.PushHistory();
    window_.SetModified(true);
}

SchemeEdit::~SchemeEdit() { window_.Draw(); }

TPipeLine& SchemeEdit::Scheme() const { return window_.Scheme(); }

}  // namespace stelmar
