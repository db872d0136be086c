#pragma once

// The dialog that derives the lengths of areas from a drawing scale: the
// scale area, the areas to measure and their filters.

#include <QDialog>

#include "dialogs/Prompts.h"
#include "dialogs/SchemeChanges.h"
#include "model/ScaleLengths.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QRadioButton;

namespace stelmar {

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // Accepted lengths go into the scheme through `changes`.
    TForm2(PromptsRef prompts, SchemeChanges& changes, QWidget* parent);

    // Shows the dialog for `s` and returns at once. The window behind it
    // stays visible but takes no input until the dialog closes.
    void Open(const TPipeLine& s);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillLists();
    ScaleRequest Request() const;
    void Apply();

    PromptsRef prompts_;
    SchemeChanges& changes_;
    const TPipeLine* scheme_ = nullptr;
    QComboBox* scaleArea_ = nullptr;
    QRadioButton* all_ = nullptr;
    QRadioButton* allZero_ = nullptr;
    QRadioButton* one_ = nullptr;
    QComboBox* oneArea_ = nullptr;
    QGroupBox* kinds_ = nullptr;
    QCheckBox* horizontal_ = nullptr;
    QCheckBox* doorways_ = nullptr;
    QCheckBox* stairsUp_ = nullptr;
    QCheckBox* stairsDown_ = nullptr;
    QCheckBox* activeFloor_ = nullptr;
};

}  // namespace stelmar
