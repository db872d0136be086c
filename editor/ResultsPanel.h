#pragma once

// The dockable panel "Результаты": the results of the last calculation as
// three tables, of areas, exits and flows, sorted by any column, the areas
// filtered by floor and to the bottlenecks; rows and the elements of the
// drawing are selected together; "Сохранить в CSV..." writes the table
// shown, "Сохранить в XLSX..." all three as one workbook.

#include <QDockWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QTabWidget;
class QTableView;

namespace stelmar {

class AreaResultsModel;
class ExitResultsModel;
class FlowResultsModel;
class ResultsFilter;
class TF;

class ResultsPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit ResultsPanel(TF& window);

    QTableView* AreasView() const { return areasView_; }
    QTableView* ExitsView() const { return exitsView_; }
    QTableView* FlowsView() const { return flowsView_; }
    void SaveCsv();
    void SaveXlsx();

private:
    void Refresh();
    void FillFloors();
    // Rows chosen in a table select their elements on the drawing and bring
    // the current one into view.
    void AreaRowsChosen();
    void FlowRowsChosen();
    void ExitRowChosen();
    // The drawing's selection chooses the rows of its areas.
    void FollowDrawing();

    TF& window_;
    AreaResultsModel* areas_;
    ExitResultsModel* exits_;
    FlowResultsModel* flows_;
    ResultsFilter* areaFilter_;
    ResultsFilter* flowFilter_;
    QTabWidget* tables_;
    QTableView* areasView_;
    QTableView* exitsView_;
    QTableView* flowsView_;
    QComboBox* floor_;
    QCheckBox* bottlenecks_;
    QLabel* note_;
    bool following_ = false;  // rows chosen by the drawing, not by the user
};

}  // namespace stelmar
