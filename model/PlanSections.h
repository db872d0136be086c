#pragma once

// The extension-block sections of the floor plans and the lengths taken
// from the drawing:
//
//     floor.N.scale=0.05            metres per canvas pixel
//     floor.N.offset=40;0           the floor's offset, canvas pixels
//     floor.N.plan=pdf              the plan file beside the project (PlanFileName)
//     floor.N.plan.name=Этаж 1.pdf  the file's name when it was imported
//     floor.N.plan.page=2           the page of a PDF
//     floor.N.plan.origin=20;20     where the plan's top-left corner lies
//     floor.N.plan.ppu=2.5          canvas pixels per unit of the plan
//     floor.N.hidden.K=Мебель       the K-th layer of a DXF plan not shown
//     area.N.drawn=1                the area's length is taken from the drawing
//     lengths.kinds=1;5;6           the path kinds whose new areas get it
//
// Reals are written in their shortest exact form with "." as the decimal
// separator, whatever the locale.

#include "model/ExtensionSections.h"

namespace stelmar {

extern const ExtensionSection kFloorSection;
extern const ExtensionSection kAreaSection;
extern const ExtensionSection kLengthsSection;

}  // namespace stelmar
