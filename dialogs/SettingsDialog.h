#pragma once

// The drawing settings: line and node sizes, colours, label font, arrows,
// the "?" marker, people counts and canvas size, and the reset of all node
// labels to their numbers.

#include <QDialog>

#include "dialogs/Prompts.h"
#include "dialogs/SchemeChanges.h"
#include "model/Scheme.h"

class QCheckBox;
class QSpinBox;

namespace stelmar {

class ColorButton;
class LabelFontDialog;

inline constexpr const char* kLabelResetWarning =
    "Внимание, все номера узлов, введенные вручную, будут заменены номерами по умолчанию.";

class TFParams : public QDialog {
    Q_OBJECT
public:
    // The label reset goes into the scheme through `changes`.
    TFParams(PromptsRef prompts, SchemeChanges& changes, QWidget* parent);

    // Shows the dialog with the settings of `s` and waits for the user.
    // "Принять" writes the settings into `s`, resets every node label to
    // its number when "Номера всех узлов по умолчанию" is ticked (one step,
    // when some label was not the number already), and returns true;
    // "Отмена" leaves `s` as it was and returns false.
    bool ShowSettings(TPipeLine& s);

private:
    void Load(const TPipeLine& s);
    void Store(TPipeLine& s) const;
    void ChooseFont();
    void EnableArrowSizes();
    void WarnLabelReset();

    QSpinBox* areaWidth_ = nullptr;
    ColorButton* horizontalColor_ = nullptr;
    ColorButton* doorwayColor_ = nullptr;
    ColorButton* stairsDownColor_ = nullptr;
    ColorButton* stairsUpColor_ = nullptr;
    QCheckBox* questionMark_ = nullptr;
    QCheckBox* arrows_ = nullptr;
    QSpinBox* arrowLength_ = nullptr;
    QSpinBox* arrowAngle_ = nullptr;

    QSpinBox* nodeWidth_ = nullptr;
    QSpinBox* labelOffset_ = nullptr;
    ColorButton* nodeColor_ = nullptr;
    QCheckBox* peopleCounts_ = nullptr;
    QCheckBox* resetLabels_ = nullptr;

    QSpinBox* canvasWidth_ = nullptr;
    QSpinBox* canvasHeight_ = nullptr;

    PromptsRef prompts_;
    SchemeChanges& changes_;
    LabelFontDialog* fontDialog_ = nullptr;
    // The node-label font as chosen so far.
    TFontSpec labelFont_;
};

}  // namespace stelmar
