#pragma once

// "Масштаб по двум точкам": the real distance between two points the user
// picked on a floor's plan, which gives the floor's scale.

#include <QDialog>
#include <optional>

#include "dialogs/Prompts.h"

class QLabel;
class QLineEdit;

namespace stelmar {

class TFscale : public QDialog {
    Q_OBJECT
public:
    TFscale(PromptsRef prompts, QWidget* parent);

    // Asks the distance in metres between two points `pixels` canvas pixels
    // apart (at 100 %); the field starts with the distance the floor's
    // present scale `current` gives them (empty without one). The new
    // scale in metres per canvas pixel, or nullopt when the user cancels.
    std::optional<double> AskScale(double pixels, double current);

private:
    void Accept();

    PromptsRef prompts_;
    QLabel* drawn_ = nullptr;
    QLineEdit* distance_ = nullptr;
    double pixels_ = 0;
    double scale_ = 0;
};

}  // namespace stelmar
