#pragma once

// Where an imported plan lands on the floor's canvas: the canvas pixels per
// metre (by default as many as let the plan fit the canvas of the
// settings) and, for a plan whose units are not metres on the ground (a
// PDF page, drawn at a scale), the scale of the drawing.

#include <QDialog>
#include <QSizeF>
#include <optional>

#include "dialogs/Prompts.h"

class QLabel;
class QLineEdit;

namespace stelmar {

struct PlanPlacement {
    double Denominator = 100;   // the drawing's scale 1 : Denominator
    double PixelsPerMetre = 0;  // canvas pixels per metre
};

class PlanPlacementDialog : public QDialog {
    Q_OBJECT
public:
    PlanPlacementDialog(PromptsRef prompts, QWidget* parent);

    // A plan `size` units large on a canvas `canvas` pixels large. A PDF
    // page's units are points on paper (`paper`): the drawing's scale is
    // asked too, 1:100 at first; other plans' units are `metresPerUnit`
    // metres. nullopt when the user cancels.
    std::optional<PlanPlacement> AskPlacement(const QSizeF& size, bool paper, double metresPerUnit,
                                              const QSize& canvas);

private:
    double MetresPerUnit() const;
    void Refit();
    void ShowExtent();
    void Accept();

    PromptsRef prompts_;
    QLineEdit* denominator_ = nullptr;
    QLabel* denominatorLabel_ = nullptr;
    QLineEdit* pixels_ = nullptr;
    QLabel* extent_ = nullptr;
    QSizeF size_;
    bool paper_ = false;
    double metresPerUnit_ = 1;
    QSize canvas_;
    PlanPlacement result_;
};

}  // namespace stelmar
