#pragma once

// Pieces shared by the two calculation dialogs: their option check boxes
// and the findings box wired to the drawing.

#include <QRect>
#include <QString>
#include <string>
#include <vector>

#include "calc/Validation.h"

class QCheckBox;
class QLayout;
class QWidget;

namespace stelmar {

class ElementNavigation;
class FindingsBox;

QCheckBox* AddOptionCheckBox(QWidget* parent, QLayout* layout, const char* name, const QString& text);

// The findings box "ProcCalc" of a dialog: a click on a finding shows its
// element through `navigation` and moves the dialog clear of it, a double
// click opens its parameters (nothing without a navigation).
FindingsBox* NewFindingsBox(QWidget* parent, ElementNavigation* navigation);

// Moves `window` (a top-level window) the least distance that leaves
// `element` (global pixels) uncovered while the window stays on the
// screen; leaves it where it is when it covers nothing or no such place
// exists.
void MoveClearOf(QWidget& window, const QRect& element);

// Shows the findings of the check and the warnings in the box and marks
// their elements on the drawing; true when the scheme passed (warnings do
// not stop it).
bool ShowFindings(FindingsBox* box, ElementNavigation* navigation, const std::vector<Finding>& findings,
                  const QString& passedText, const std::vector<Finding>& warnings = {});

}  // namespace stelmar
