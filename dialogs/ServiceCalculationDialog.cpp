#include "dialogs/ServiceCalculationDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <unistd.h>

#include "calc/LengthCheck.h"
#include "calc/ResultCheck.h"
#include "calc/ScenarioCalculation.h"
#include "calc/ScenarioChecks.h"
#include "calc/Validation.h"
#include "dialogs/CalculationDialog.h"
#include "dialogs/ElementNavigation.h"
#include "dialogs/EmbeddedService.h"
#include "dialogs/FindingsBox.h"
#include "dialogs/PdfReportSaving.h"
#include "dialogs/ReportFiles.h"
#include "dialogs/SubmitPage.h"
#include "dialogs/SubmitWebPage.h"
#include "dialogs/ValidationView.h"
#include "model/NumberText.h"
#include "model/Scenarios.h"
#include "model/UserFolders.h"

namespace stelmar {

TFcalcNet::TFcalcNet(TPipeLine& scheme, PromptsRef prompts, ElementNavigation* navigation, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      scheme_(scheme), prompts_(std::move(prompts)), navigation_(navigation)
{
    setObjectName("FcalcNet");
    setWindowTitle("Расчет");
    address_ = [this] {
        const ServiceAddress address = ServiceBaseAddress(ConfiguredServiceUrl());
        if (!address.Error.isEmpty()) prompts_->ShowWarning(address.Error);
        return address.Base;
    };

    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");

    auto* calcPage = new QWidget;
    calcPage->setObjectName("TabSheet1");
    pages_->addTab(calcPage, "Расчет времени эвакуации");
    auto* splitter = new QSplitter(Qt::Vertical, calcPage);
    splitter->setObjectName("Splitter1");
    splitter->setChildrenCollapsible(false);
    splitter_ = splitter;
    messages_ = NewFindingsBox(splitter, navigation_);
    splitter->addWidget(messages_);
    auto* calcLayout = new QVBoxLayout(calcPage);
    calcLayout->setContentsMargins(0, 0, 0, 0);
    calcLayout->addWidget(splitter);

    auto* optionsPage = new QWidget;
    optionsPage->setObjectName("TabSheet2");
    pages_->addTab(optionsPage, "Параметры расчета");
    auto* precisionRow = new QHBoxLayout;
    auto* before = new QLabel("Округлять числа при расчете до ", optionsPage);
    before->setObjectName("Label2");
    precision_ = new QSpinBox(optionsPage);
    precision_->setObjectName("SpinEdit1");
    precision_->setRange(1, 9);
    precision_->setValue(2);
    auto* after = new QLabel("-го знака после запятой.", optionsPage);
    after->setObjectName("Label1");
    precisionRow->addWidget(before);
    precisionRow->addWidget(precision_);
    precisionRow->addWidget(after);
    precisionRow->addStretch();
    auto* optionsLayout = new QVBoxLayout(optionsPage);
    optionsLayout->addLayout(precisionRow);
    arrivalTimes_ = AddOptionCheckBox(optionsPage, optionsLayout, "CheckBox2",
                                "Учитывать различное время подхода к точке слияния потоков.");
    accumulation_ = AddOptionCheckBox(optionsPage, optionsLayout, "CBVrSk", "Рассчитывать время скопления");
    fullReport_ = AddOptionCheckBox(optionsPage, optionsLayout, "CBFullReport", "Формировать полный отчет");
    optionsLayout->addStretch();

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    auto* close = new QPushButton("Закрыть", panel);
    close->setObjectName("Button1");
    close->setDefault(true);
    rtf_ = new QPushButton(kSaveRtfCaption, panel);
    rtf_->setObjectName("btnRtf");
    rtf_->setEnabled(false);
    pdf_ = new QPushButton(kSavePdfCaption, panel);
    pdf_->setObjectName("btnPdf");
    pdf_->setEnabled(false);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addStretch();
    panelLayout->addWidget(rtf_);
    panelLayout->addWidget(pdf_);
    panelLayout->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 6);
    layout->addWidget(pages_, 1);
    layout->addWidget(panel);
    setFixedSize(600, 356);

    // Option changes take effect in the scheme at once.
    connect(precision_, &QSpinBox::valueChanged, this,
            [this](int value) { scheme_.Precision = static_cast<std::uint8_t>(value); });
    connect(arrivalTimes_, &QCheckBox::toggled, this, [this](bool on) { scheme_.RazVr = on; });
    connect(accumulation_, &QCheckBox::toggled, this, [this](bool on) { scheme_.VrSk = on; });
    connect(fullReport_, &QCheckBox::toggled, this, [this](bool on) { scheme_.FullReport = on; });
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0) TabSheet1Show();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(rtf_, &QPushButton::clicked, this, [this] { SaveReportAsRtf(scheme_, *prompts_); });
    connect(pdf_, &QPushButton::clicked, this, &TFcalcNet::btnPdfClick);
}

TFcalcNet::~TFcalcNet()
{
    // The page goes before the profile it uses.
    if (browser_) browser_->setPage(nullptr);
    delete page_;
}

void TFcalcNet::SetFileChooser(FileChooser chooser)
{
    chooser_ = std::move(chooser);
    if (page_ && chooser_) page_->SetChooser(chooser_);
}

// The browser starts with the first showing, so that a program that never
// opens the dialog never starts the browser engine.
void TFcalcNet::CreateBrowser()
{
    if (browser_) return;
    // The engine refuses to run as root inside its sandbox.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The browser's own texts (the file field's button and its note) in
    // Russian, whatever the locale of the session: the engine takes its
    // language from its command line when it first starts.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--lang=")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --lang=ru").trimmed());
    browser_ = new QWebEngineView;
    browser_->setObjectName("WebBr");
    splitter_->insertWidget(0, browser_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setSizes({200, 88});
    // A private profile: its downloads are the service's reports.
    profile_ = new QWebEngineProfile(this);
    page_ = new SubmitWebPage(profile_, [this] { return QString::fromStdString(scheme_.FileName); }, this);
    if (chooser_) page_->SetChooser(chooser_);
    browser_->setPage(page_);
    connect(profile_, &QWebEngineProfile::downloadRequested, this, &TFcalcNet::SaveReport);
    connect(page_, &QWebEnginePage::loadFinished, this, &TFcalcNet::PageLoaded);
}

void TFcalcNet::FormShow()
{
    fullReport_->setChecked(scheme_.FullReport);
    arrivalTimes_->setChecked(scheme_.RazVr);
    accumulation_->setChecked(scheme_.VrSk);
    // A precision outside 1..9 is brought into range, in the scheme too.
    precision_->setValue(scheme_.Precision);
    scheme_.Precision = static_cast<std::uint8_t>(precision_->value());
    if (scheme_.Modified && prompts_->AskYesNoCancel(kSaveBeforeSubmitQuestion) == Answer::Yes && save_) save_();
}

void TFcalcNet::FormActivate()
{
    TabSheet1Show();
    ShowFindings(messages_, navigation_, CheckScenarios(scheme_), QString(kValidationPassed) + "\n" + kServiceHint,
                 CheckDrawnLengths(scheme_, DecimalSeparatorFromEnvironment()));
}

void TFcalcNet::TabSheet1Show()
{
    pdf_->setEnabled(false);
    rtf_->setEnabled(false);
    if (!page_) return;
    const QString base = address_();
    LoadPageIntoBrowser(BuildSubmitPage(scheme_, base.toStdString()), base);
}

void TFcalcNet::LoadPageIntoBrowser(const std::string& page, const QString& base)
{
    // The page is in Windows-1251; the base address makes the form's
    // address and the answer's links resolve against the service.
    page_->setContent(QByteArray::fromStdString(page), "text/html;charset=windows-1251", QUrl(base + "/"));
}


void TFcalcNet::btnPdfClick()
{
    const QString path = SaveReportAsPdf(scheme_, *prompts_, this);
    if (!path.isEmpty()) emit PdfSaved(path);
}

// The report the service offers (RTF, or PDF by its own link) replaces the
// previous one in the temporary-files folder and is opened when it has
// arrived.
void TFcalcNet::SaveReport(QWebEngineDownloadRequest* download)
{
    const bool pdf = download->downloadFileName().endsWith(".pdf", Qt::CaseInsensitive);
    const QString path = QString::fromStdString(TempFolder()) + (pdf ? kPdfReportFileName : kReportFileName);
    QFile::remove(path);
    const QFileInfo target(path);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download, path, pdf] {
        if (!download->isFinished()) return;
        if (download->state() != QWebEngineDownloadRequest::DownloadCompleted) {
            prompts_->ShowWarning("Не удалось сохранить отчет \"" + path + "\": " + download->interruptReasonString());
            return;
        }
        emit ReportSaved(path);
        OpenOrOfferCopy(*prompts_, path, pdf ? kPdfReport : kRtfReport,
                        SuggestedReportName(scheme_, pdf ? "pdf" : "rtf"),
                        pdf ? &Prompts::PdfFileName : &Prompts::RtfFileName);
    });
    download->accept();
}

void TFcalcNet::PageLoaded(bool ok)
{
    // The answer to the form is the page at the form's address.
    const bool answer = ok && page_->url().path().endsWith(QString::fromLatin1(kServiceScript));
    pdf_->setEnabled(answer);
    rtf_->setEnabled(answer);
    if (!answer || !navigation_) return;
    // The answer with a report link is a result; the scheme's scenarios are
    // calculated with the options sent, on this computer, for the drawing.
    page_->runJavaScript("document.querySelector('a[download]') !== null", [this](const QVariant& result) {
        if (!result.toBool()) return;
        TPipeLine& s = scheme_;
        s.Precision = static_cast<std::uint8_t>(precision_->value());
        s.RazVr = arrivalTimes_->isChecked();
        s.VrSk = accumulation_->isChecked();
        if (!CheckScenarios(s).empty()) return;
        const auto runs =
            std::make_shared<const std::vector<ScenarioRun>>(CalculateScenarios(s, DecimalSeparatorFromEnvironment()));
        for (const ScenarioRun& run : *runs)
            if (CheckResults(run.Built.Scheme)) return;
        ShowScenarioResults(s, (*runs)[static_cast<std::size_t>(ActiveScenarioIndex(s))]);
        navigation_->ShowScenarioRuns(runs);
    });
}

void TFcalcNet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CreateBrowser();
    pages_->setCurrentIndex(0);
    FormShow();
    FormActivate();
}

}  // namespace stelmar
