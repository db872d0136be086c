#pragma once

// What the calculation dialogs ask of the window that shows the drawing:
// to bring an element of a finding into view, to open its parameters, to
// mark the elements of the findings, and to show the results of the
// calculation they made on its scheme.

#include <QRect>
#include <memory>
#include <vector>

#include "calc/ScenarioCalculation.h"
#include "model/ElementRef.h"

namespace stelmar {

class ElementNavigation {
public:
    virtual ~ElementNavigation() = default;
    // Switches to the element's floor, shows and selects it; returns where
    // it lies on the screen (global pixels, with a little room around it),
    // or an empty rectangle.
    virtual QRect ShowElement(const ElementRef& element) = 0;
    // Opens its parameters dialog.
    virtual void OpenElement(const ElementRef& element) = 0;
    // Marks these elements on the drawing (none: no marks).
    virtual void MarkFindings(const std::vector<ElementRef>& elements) = 0;
    // The scheme holds the results of a calculation just made.
    virtual void ShowResults() = 0;
    // The scenarios were just calculated: `runs` of every scenario, the
    // scheme given the active one's results (ShowScenarioResults).
    virtual void ShowScenarioRuns(std::shared_ptr<const std::vector<ScenarioRun>> runs) = 0;
};

}  // namespace stelmar
