#pragma once

// The parameters of one area: length, width, path kind and direction.

#include "dialogs/ParamsWindow.h"
#include "dialogs/SchemeChanges.h"
#include "model/Scheme.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QToolButton;

namespace stelmar {

class TFpar : public ParamsWindow {
    Q_OBJECT
public:
    // Accepted values go into the scheme through `changes`.
    TFpar(PromptsRef prompts, SchemeChanges& changes, QWidget* parent);

    // Fills the dialog from area `area` of `s`, shows it beside the pointer
    // and waits. True when the user accepted; a change of any value was
    // then written as one step.
    bool ShowAreaParams(const TPipeLine& s, int area, const QPoint& globalPointer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SpeedButton2Click();

    QGroupBox* frame_ = nullptr;
    QLineEdit* length_ = nullptr;
    QLineEdit* width_ = nullptr;
    QComboBox* kind_ = nullptr;
    QCheckBox* reverse_ = nullptr;
    QToolButton* cancelButton_ = nullptr;
    QToolButton* acceptButton_ = nullptr;

    SchemeChanges& changes_;
    // The area being edited, from ShowAreaParams to the accept.
    const TPipeLine* scheme_ = nullptr;
    int area_ = 0;
};

}  // namespace stelmar
