#pragma once

// The one road of every change of the scheme made in the main window:
// opening an edit records the undo step and marks the project modified,
// the caller changes the scheme, and closing the edit redraws the active
// floor. An edit opened while another is open belongs to that one: a user
// action is one undo step however many changes it makes. An edit may stay
// open across events (a drag is one edit from its first movement to the
// release).

#include "model/Scheme.h"

namespace stelmar {

class TF;

class SchemeEdit {
public:
    explicit SchemeEdit(TF& window);
    ~SchemeEdit();
    SchemeEdit(const SchemeEdit&) = delete;
    SchemeEdit& operator=(const SchemeEdit&) = delete;

    // The scheme being changed.
    TPipeLine& Scheme() const;

private:
    TF& window_;
};

}  // namespace stelmar
