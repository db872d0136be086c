#pragma once

// The files a floor's plan is imported from (PDF, and the kinds added
// beside it), the plan's picture made from a floor's plan record, and the
// floor's picture for the project file, in which earlier readers of the
// project see the plan.

#include <QString>
#include <QStringList>
#include <optional>

#include "model/Bitmap.h"
#include "model/Scheme.h"
#include "drawing/PlanPicture.h"

namespace stelmar {

// Lower-case extensions with their dot of the plan files taken: ".pdf",
// ".dxf", and ".dwg", which is refused with advice.
QStringList PlanExtensions();
// The dialog filter entry of the plan files.
QString PlanFilter();
bool IsPlanFile(const QString& path);
// The filter of the background file dialog: pictures and plans together,
// the plans, then each picture format and all files.
QString BackgroundFilter();

// The file as a plan source, its kind taken from the extension; nullopt with
// `error` set to the message for the user (naming the file and the reason)
// when it cannot be read; a DWG file gets kDwgRefused.
std::optional<PlanSourceRef> ReadPlanSource(const QString& path, QString* error);

// The picture of the floor's plan: its source, page and hidden layers;
// null with `reason` set (lower case, no full stop) when the source cannot
// be drawn.
PlanPictureRef OpenPlanPicture(const TFloorPlan& plan, QString* reason);

// The pictures of the floors of `s` whose plans can be drawn; a floor
// whose plan cannot be drawn is left out and keeps its picture.
FloorPlanPictures OpenFloorPlans(const TPipeLine& s);

// The picture of `plan` whose source was just read from `path`; null with
// `message` set to the message for the user, naming the file and the
// reason, when it cannot be drawn.
PlanPictureRef ImportPlanPicture(const TFloorPlan& plan, const QString& path, QString* message);

// The message for a plan file `name` that cannot be drawn for `reason`.
QString PlanFailureText(const QString& name, const QString& reason);

// The floor's picture for the project file: the plan rendered at 100 %,
// its top-left corner at its origin moved by the floor's offset, on white;
// the picture reaches the plan's far corner, at most kMaxPictureSide on
// each side.
Bitmap PlanBitmap(const PlanPicture& picture, const TFloorPlan& plan);

}  // namespace stelmar
