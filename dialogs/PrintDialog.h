#pragma once

// Printing the drawing of the active floor on one page `TForm3`: the
// printer, the orientation, the place and size of the picture on the page
// with a small preview, and the print itself.

#include <QDialog>
#include <QPrinter>
#include <memory>

#include "dialogs/PrintLayout.h"
#include "dialogs/Prompts.h"
#include "model/Scheme.h"
#include "drawing/SchemeOverlay.h"

class QFrame;
class QImage;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace stelmar {

inline constexpr const char* kPrinterReadFailure = "Ошибка определения принтера!";
inline constexpr const char* kPdfPrinterName = "Печать в файл PDF";

class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(PromptsRef prompts, QWidget* parent);
    ~TForm3() override;

    // The scheme to print, which outlives the showing of the dialog, and
    // the size of its whole canvas in canvas pixels: the size of the picture,
    // whatever the main window's zoom. With `results` (the results shown on
    // the drawing, which outlive the showing too), "С результатами расчета"
    // offers to print them.
    void SetPicture(TPipeLine& scheme, const QSize& canvasSize, const SchemeOverlay* results = nullptr);

    // The printer the dialog prints on: a PDF file when the system knows
    // no printer.
    QPrinter& Printer() { return printer_; }
    const PrintLayout& Layout() const { return layout_; }

    // Reads the page of the current printer and orientation and puts the
    // picture at the printer's offsets at scale 1.
    void FormActivate();
    void UpdatePreview();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OrientationClick();
    void ChoosePrinterClick();
    void PrintClick();
    // Moves or scales the picture with one of the layout's buttons.
    void Adjust(void (PrintLayout::*change)());
    bool PrintPicture();
    QString SuggestedPdfName() const;

    QPrinter printer_;
    PrintLayout layout_;
    TPipeLine* scheme_ = nullptr;
    // The whole canvas drawn for the preview.
    QImage picture_;
    const SchemeOverlay* results_ = nullptr;
    QCheckBox* withResults_ = nullptr;
    const SchemeOverlay* Overlay() const;
    PromptsRef prompts_;

    QLineEdit* printerName_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
    QFrame* pagePanel_ = nullptr;
    QLabel* pageImage_ = nullptr;
};

}  // namespace stelmar
