#pragma once

// What "Применить" of the area-lengths dialog is about to change, for the
// engineer to confirm: every area whose length changes, with its old and
// new length, and how many areas stay as they are and why. "Применить"
// confirms; "Назад" goes back to the choices.

#include <QDialog>

#include "model/ScaleLengths.h"

namespace stelmar {

class LengthsPreview : public QDialog {
    Q_OBJECT
public:
    LengthsPreview(const TPipeLine& s, const ScaleResult& result, QWidget* parent);
};

// The lines that say how many areas stay as they are and why, one reason a
// line ("концы на разных этажах: 1"); empty when none.
QStringList LeftOutLines(const LeftOutAreas& left);

}  // namespace stelmar
