#pragma once

// Printing the drawing `TForm3`: the printer, the orientation (by the shape
// of the floors unless chosen), the scale (each floor fitting its sheet
// unless a scale is chosen, which may take several sheets), the active
// floor or all floors in one job, with or without the results, and a
// preview of exactly the sheets that will print.

#include <QDialog>
#include <QImage>
#include <QPrinter>
#include <vector>

#include "dialogs/PrintSheets.h"
#include "dialogs/Prompts.h"
#include "model/Scheme.h"
#include "drawing/SchemeOverlay.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrintPreviewWidget;
class QRadioButton;

namespace stelmar {

inline constexpr const char* kPrinterReadFailure = "Ошибка определения принтера!";
inline constexpr const char* kPdfPrinterName = "Печать в файл PDF";
inline constexpr const char* kFitToSheet = "По размеру листа";

class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(PromptsRef prompts, QWidget* parent);
    ~TForm3() override;

    // The scheme to print, which outlives the showing of the dialog. With
    // `results` (the results shown on the drawing, which outlive the
    // showing too), "С результатами расчета" offers to print them. The
    // floors' vector plans in `plans` print sharp at the printer's
    // resolution.
    void SetScheme(TPipeLine& scheme, const SchemeOverlay* results = nullptr, FloorPlanPictures plans = {});

    // The printer the dialog prints on: a PDF file when the system knows
    // no printer.
    QPrinter& Printer() { return printer_; }
    const std::vector<PrintSheet>& Sheets() const { return sheets_; }
    PrintChoice Choice() const;
    // Sheet `index` (from 0) as the preview and the printer paint it, at
    // `dpi`: the printable part of the page.
    QImage RenderSheet(int index, int dpi) const;

    // Reads the printer and plans the sheets again.
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Replan();
    void FillScales();
    // The next larger (`step` 1) or smaller (-1) scale of the list.
    void StepScale(int step);
    void PaintSheets(QPrinter* printer) const;
    QSizeF Printable() const;
    void ChoosePrinterClick();
    void PrintClick();
    QString SuggestedPdfName() const;
    QString ProjectName() const;
    const SchemeOverlay* Overlay() const;

    QPrinter printer_;
    TPipeLine* scheme_ = nullptr;
    const SchemeOverlay* results_ = nullptr;
    FloorPlanPictures plans_;
    std::vector<PrintSheet> sheets_;
    PromptsRef prompts_;

    QLineEdit* printerName_ = nullptr;
    QRadioButton* byShape_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
    QComboBox* scale_ = nullptr;
    QRadioButton* activeFloor_ = nullptr;
    QRadioButton* allFloors_ = nullptr;
    QCheckBox* withResults_ = nullptr;
    QLabel* sheetCount_ = nullptr;
    QPrintPreviewWidget* preview_ = nullptr;
};

}  // namespace stelmar
