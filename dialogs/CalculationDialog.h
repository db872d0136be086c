#pragma once

// The local calculation `TFcalc`: the calculation options, the validation of
// the scheme, the calculation itself, its result line and the report.

#include <QDialog>
#include <memory>

#include "dialogs/Prompts.h"
#include "model/Scheme.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace stelmar {

class ElementNavigation;
class FindingsBox;

inline constexpr const char* kResultsCaption = "Результаты расчета";
inline constexpr const char* kOpenReportQuestion = "Нажмите \"Да\" чтобы открыть отчет.";
inline constexpr const char* kReportFileName = "report.rtf";
inline constexpr const char* kPdfReportFileName = "report.pdf";

class TFcalc : public QDialog {
    Q_OBJECT
public:
    // The dialog works on `scheme`, which outlives it; `navigation` (the
    // window of the drawing, may be null) shows the findings and results.
    TFcalc(TPipeLine& scheme, PromptsRef prompts, ElementNavigation* navigation, QWidget* parent);
    ~TFcalc() override;

    // Shows the options of the scheme, disables "Рассчитать" and validates
    // the scheme; run each time the dialog becomes active.
    void FormActivate();
    // Closes the dialog, calculates, shows the result line and, when the
    // user asks for it, writes the report into the temporary-files folder
    // and opens it.
    void btnCalcClick();
    // "Сохранить отчет в PDF..." and "Сохранить отчет как...": the report
    // of a calculation with the options shown, saved as PDF or RTF where
    // the user chooses; the dialog stays open.
    void btnPdfClick();
    void btnRtfClick();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TPipeLine& scheme_;
    PromptsRef prompts_;
    ElementNavigation* navigation_;
    QSpinBox* precision_ = nullptr;
    QCheckBox* arrivalTimes_ = nullptr;
    QCheckBox* accumulation_ = nullptr;
    QCheckBox* fullReport_ = nullptr;
    FindingsBox* messages_ = nullptr;
    QPushButton* calculate_ = nullptr;
    QPushButton* rtf_ = nullptr;
    QPushButton* pdf_ = nullptr;
};

}  // namespace stelmar
