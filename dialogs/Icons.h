#pragma once

// The program's pictures, drawn as SVG files in the resources: toolbar and
// menu icons, the application icon and the splash picture.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace stelmar {

// The icon of the given name ("new", "open", "save", "load-picture",
// "delete-picture", "print", "settings", "undo", "redo", "area-lengths",
// "calculate", "calculate-local", "add-floor", "delete-floor", "help",
// "about", "cursor", "input", "junction", "exit", "area", "delete", and the
// application icon "stelmar"), with pixmaps from 16 to 256 pixels. A name
// without a picture gives a null icon.
QIcon ToolIcon(const QString& name);

// The splash picture: 465 × 249 device-independent pixels, rendered for
// the screen's pixel ratio.
QPixmap SplashPicture();

}  // namespace stelmar
