#pragma once

// The one road of every change of the scheme made in the main window:
//
//     const SchemeEdit edit(window, "ширина участка 4-5");
//     ... change edit.Scheme() ...
//
// Opening the edit records the scheme; closing it (the destructor) makes
// the change one undo step under that name, marks the project modified and
// redraws. An edit that changed nothing leaves no step, no modified mark
// and keeps what could be redone. An edit opened while another is open
// belongs to that one, whose name the step takes: a user action is one
// undo step however many changes it makes. An edit may stay open across
// events (a drag is one edit from its first movement to the release).
// Names are what follows "Отменить: " in the Undo command, in UTF-8 (see
// model/StepNames.h).

#include <string>

#include "model/Scheme.h"

namespace stelmar {

class TF;

class SchemeEdit {
public:
    SchemeEdit(TF& window, std::string name);
    ~SchemeEdit();
    SchemeEdit(const SchemeEdit&) = delete;
    SchemeEdit& operator=(const SchemeEdit&) = delete;

    // The scheme being changed.
    TPipeLine& Scheme() const;

private:
    TF& window_;
};

}  // namespace stelmar
