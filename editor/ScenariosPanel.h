#pragma once

// The panel "Сценарии": the fire scenarios of the project and the active
// one. Scenarios are added, copied, renamed and deleted here; a click on a
// scenario makes it the active one, whose excluded elements the drawing
// crosses out and whose results it shows. The active scenario's t_нэ and
// t_бл are typed in their fields, each node's own times in the table of
// inputs, exits and check points, which also gives the figures and verdict
// of the last calculation. Every change is one undo step; a value that is
// not a valid time is refused with a message beside its field.

#include <QDockWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace stelmar {

class ScenarioListModel;
class ScenarioNodesModel;
class TF;

class ScenariosPanel : public QDockWidget {
    Q_OBJECT
public:
    // A dock of `window` over its scheme; the window places it.
    explicit ScenariosPanel(TF& window);

    // The panel's commands, also run by the tests.
    void AddScenario();
    void CopyScenario();
    void RenameScenario();
    void DeleteScenario();

private:
    // Follows the scheme, the active scenario and the results.
    void Refresh();
    void ShowActive();
    // Writes the text of the t_нэ (`block` false) or t_бл field into the
    // active scenario, or shows what is wrong with it beside the field.
    void CommitTime(bool block);
    void ClearNotes();
    std::string UniqueName(const std::string& base) const;

    TF& tf_;
    ScenarioListModel* list_ = nullptr;
    ScenarioNodesModel* nodes_ = nullptr;
    QTableView* listView_ = nullptr;
    QTableView* nodesView_ = nullptr;
    QLineEdit* startDelay_ = nullptr;
    QLineEdit* blockTime_ = nullptr;
    QLabel* timeMessage_ = nullptr;
    QLabel* excluded_ = nullptr;
    QLabel* tableMessage_ = nullptr;
    QLabel* notes_ = nullptr;
    QPushButton* clearNotes_ = nullptr;
    QPushButton* delete_ = nullptr;
    int syncing_ = 0;
};

}  // namespace stelmar
