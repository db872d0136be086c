#pragma once

// `TFcalcNet`: validates the open scheme and shows, in an embedded browser,
// the upload form by which the saved project and the calculation options
// are posted to the calculation service; the browser shows the answer and
// the report it offers is saved to the temporary-files folder and opened.
// Once the service has answered, the report can be saved as PDF.

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

#include "dialogs/Prompts.h"
#include "model/Scheme.h"

class QCheckBox;
class QPushButton;
class QPlainTextEdit;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWebEngineView;

namespace stelmar {

inline constexpr const char* kSaveBeforeSubmitQuestion =
    "Сохранить открытую схему?\nОтветьте \"Да\", если вы хотите отправить на расчет проект,\n"
    "который открыт на данный момент.";

class ElementNavigation;
class FindingsBox;
class SubmitWebPage;

class TFcalcNet : public QDialog {
    Q_OBJECT
public:
    // Picks the files for the browser's file field, starting at `start`
    // (the project's file); an empty list when the user cancels.
    using FileChooser = std::function<QStringList(const QString& start)>;

    // The dialog works on `scheme`, which outlives it.
    // `navigation` (the window of the drawing, may be null) shows the
    // findings and, when the service's answer arrives, the results of the
    // same calculation made here.
    TFcalcNet(TPipeLine& scheme, PromptsRef prompts, ElementNavigation* navigation, QWidget* parent);
    ~TFcalcNet() override;

    // The main window's save, run when the user answers "Да" to the save
    // question.
    void SetSaveCommand(std::function<void()> save) { save_ = std::move(save); }
    // The service's base address; by default the configured address or
    // the in-process service.
    void SetServiceAddress(std::function<QString()> address) { address_ = std::move(address); }
    void SetFileChooser(FileChooser chooser);

    // The embedded browser; created when the dialog is first shown.
    QWebEngineView* Browser() const { return browser_; }

    // Shows the options of the scheme and offers to save a modified scheme.
    void FormShow();
    // Loads the upload form and validates the scheme.
    void FormActivate();
    // Loads the upload form built from the current options.
    void TabSheet1Show();
    // "Сохранить отчет в PDF...", once the service has answered: the same
    // calculation on the embedded engine, saved as PDF.
    void btnPdfClick();

signals:
    // The service's report has been saved at `path`.
    void ReportSaved(const QString& path);
    // The PDF report has been written at `path`.
    void PdfSaved(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateBrowser();
    void LoadPageIntoBrowser(const std::string& page, const QString& base);
    void SaveReport(QWebEngineDownloadRequest* download);
    // The page loaded: when it is the service's result, the same
    // calculation is made on the scheme for the drawing.
    void PageLoaded(bool ok);

    TPipeLine& scheme_;
    PromptsRef prompts_;
    ElementNavigation* navigation_;
    std::function<void()> save_;
    std::function<QString()> address_;
    FileChooser chooser_;
    QTabWidget* pages_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QWebEngineView* browser_ = nullptr;
    QWebEngineProfile* profile_ = nullptr;
    SubmitWebPage* page_ = nullptr;
    FindingsBox* messages_ = nullptr;
    QSpinBox* precision_ = nullptr;
    QCheckBox* arrivalTimes_ = nullptr;
    QCheckBox* accumulation_ = nullptr;
    QCheckBox* fullReport_ = nullptr;
    QPushButton* rtf_ = nullptr;  // "Сохранить отчет как...", beside the PDF
    QPushButton* pdf_ = nullptr;
};

}  // namespace stelmar
