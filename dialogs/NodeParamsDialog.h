#pragma once

// The parameters of one node: people, projection area, floor, label and mobility group.

#include "dialogs/ParamsWindow.h"
#include "dialogs/SchemeChanges.h"
#include "model/Scheme.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace stelmar {

class ProjectionAreaField;

class TFuzel : public ParamsWindow {
    Q_OBJECT
public:
    // Accepted values go into the scheme through `changes`.
    TFuzel(PromptsRef prompts, SchemeChanges& changes, QWidget* parent);

    // Fills the dialog from node `node` of `s`, shows it beside the pointer
    // and waits. True when the user accepted; a change of any value was
    // then written as one step.
    bool ShowNodeParams(const TPipeLine& s, int node, const QPoint& globalPointer);

signals:
    // An accept may have raised the number of floors; the floor chooser is
    // rebuilt for it.
    void FloorsChanged();

private:
    void SpeedButton1Click();
    void SpeedButton3Click();

protected:
    // Enter in a field accepts as "Принять" does, Enter on a button presses
    // it; Esc cancels.
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsInput() const;

    QGroupBox* frame_ = nullptr;
    QLineEdit* people_ = nullptr;
    ProjectionAreaField* projectionArea_ = nullptr;
    QSpinBox* floor_ = nullptr;
    QLineEdit* label_ = nullptr;
    QComboBox* mobility_ = nullptr;
    QToolButton* defaultLabelButton_ = nullptr;
    QToolButton* cancelButton_ = nullptr;
    QToolButton* acceptButton_ = nullptr;

    SchemeChanges& changes_;
    // The node being edited, from ShowNodeParams to the accept.
    const TPipeLine* scheme_ = nullptr;
    int node_ = 0;
};

}  // namespace stelmar
