#include "dialogs/CalculationDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "calc/LengthCheck.h"
#include "calc/ResultCheck.h"
#include "calc/ScenarioCalculation.h"
#include "calc/ScenarioChecks.h"
#include "calc/ScenarioReport.h"
#include "calc/Validation.h"
#include "dialogs/ElementNavigation.h"
#include "dialogs/FindingsBox.h"
#include "dialogs/PdfReportSaving.h"
#include "dialogs/ReportFiles.h"
#include "dialogs/ValidationView.h"
#include "dialogs/Icons.h"
#include "model/NumberText.h"
#include "model/Scenarios.h"
#include "model/UserFolders.h"

namespace stelmar {

TFcalc::TFcalc(TPipeLine& scheme, PromptsRef prompts, ElementNavigation* navigation, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      scheme_(scheme), prompts_(std::move(prompts)), navigation_(navigation)
{
    setObjectName("Fcalc");
    setWindowTitle("Расчет");

    auto* pages = new QTabWidget(this);
    pages->setObjectName("PageControl1");
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    pages->addTab(page, "Расчет времени эвакуации");

    auto* options = new QGroupBox(" Параметры расчета ", page);
    options->setObjectName("GroupBox1");
    auto* precisionRow = new QHBoxLayout;
    auto* before = new QLabel("Округлять числа при расчете до ", options);
    before->setObjectName("Label2");
    precision_ = new QSpinBox(options);
    precision_->setObjectName("SpinEdit1");
    precision_->setRange(1, 9);
    precision_->setValue(2);
    auto* after = new QLabel("-го знака после запятой.", options);
    after->setObjectName("Label1");
    precisionRow->addWidget(before);
    precisionRow->addWidget(precision_);
    precisionRow->addWidget(after);
    precisionRow->addStretch();
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->setSpacing(2);
    optionsLayout->addLayout(precisionRow);
    arrivalTimes_ = AddOptionCheckBox(options, optionsLayout, "CheckBox2",
                                "Учитывать различное время подхода к точке слияния потоков.");
    accumulation_ = AddOptionCheckBox(options, optionsLayout, "CBVrSk", "Рассчитывать время скопления");
    fullReport_ = AddOptionCheckBox(options, optionsLayout, "CBFullReport", "Формировать полный отчет");
    optionsLayout->addStretch();

    messages_ = NewFindingsBox(page, navigation_);
    messages_->setFixedHeight(64);

    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(4, 4, 4, 4);
    pageLayout->addWidget(options, 1);
    pageLayout->addWidget(messages_);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    calculate_ = new QPushButton(ToolIcon("calculate-local"), "Рассчитать", panel);
    calculate_->setObjectName("btnCalc");
    calculate_->setDefault(true);
    rtf_ = new QPushButton(kSaveRtfCaption, panel);
    rtf_->setObjectName("btnRtf");
    pdf_ = new QPushButton(kSavePdfCaption, panel);
    pdf_->setObjectName("btnPdf");
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addStretch();
    panelLayout->addWidget(rtf_);
    panelLayout->addWidget(pdf_);
    panelLayout->addWidget(calculate_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 6);
    layout->addWidget(pages, 1);
    layout->addWidget(panel);
    setFixedSize(600, 258);

    // Option changes take effect in the scheme at once.
    connect(precision_, &QSpinBox::valueChanged, this,
            [this](int value) { scheme_.Precision = static_cast<std::uint8_t>(value); });
    connect(arrivalTimes_, &QCheckBox::toggled, this, [this](bool on) { scheme_.RazVr = on; });
    connect(accumulation_, &QCheckBox::toggled, this, [this](bool on) { scheme_.VrSk = on; });
    connect(fullReport_, &QCheckBox::toggled, this, [this](bool on) { scheme_.FullReport = on; });
    connect(calculate_, &QPushButton::clicked, this, &TFcalc::btnCalcClick);
    connect(rtf_, &QPushButton::clicked, this, &TFcalc::btnRtfClick);
    connect(pdf_, &QPushButton::clicked, this, &TFcalc::btnPdfClick);
}

TFcalc::~TFcalc() = default;

void TFcalc::FormActivate()
{
    arrivalTimes_->setChecked(scheme_.RazVr);
    accumulation_->setChecked(scheme_.VrSk);
    fullReport_->setChecked(scheme_.FullReport);
    // A precision outside 1..9 is brought into range, in the scheme too.
    precision_->setValue(scheme_.Precision);
    scheme_.Precision = static_cast<std::uint8_t>(precision_->value());
    const bool passed = ShowFindings(messages_, navigation_, CheckScenarios(scheme_), kValidationPassed,
                                     CheckDrawnLengths(scheme_, DecimalSeparatorFromEnvironment()));
    for (QPushButton* button : {calculate_, rtf_, pdf_}) button->setEnabled(passed);
}

void TFcalc::btnPdfClick() { SaveReportAsPdf(scheme_, *prompts_, this); }


void TFcalc::btnCalcClick()
{
    // The window system stays responsive during a long calculation, but
    // takes no input that could change the scheme meanwhile.
    const char separator = DecimalSeparatorFromEnvironment();
    const auto runs = std::make_shared<const std::vector<ScenarioRun>>(CalculateScenarios(
        scheme_, separator, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }));
    // Values that are not finite are shown like the findings of the checks,
    // and the dialog stays open without a result.
    for (const ScenarioRun& run : *runs)
        if (std::optional<std::string> failure = CheckResults(run.Built.Scheme)) {
            if (!scheme_.Scenarios.empty()) *failure = "Сценарий «" + run.Name + "»: " + *failure;
            ShowFindings(messages_, navigation_, {Finding{*failure, {}}}, kValidationPassed);
            calculate_->setEnabled(false);
            return;
        }
    done(QDialog::Accepted);
    ShowScenarioResults(scheme_, (*runs)[static_cast<std::size_t>(ActiveScenarioIndex(scheme_))]);
    if (navigation_) navigation_->ShowScenarioRuns(runs);

    QString question;
    for (const ScenarioRun& run : *runs) question += QString::fromStdString(ScenarioResultLine(scheme_, run)) + "\n";
    if (!prompts_->AskTitled(kResultsCaption, question + kOpenReportQuestion)) return;

    const std::string path = TempFolder() + kReportFileName;
    const std::optional<std::string> failure = WriteScenarioReport(scheme_, *runs, path, separator);
    if (failure) {
        prompts_->ShowWarning(QString::fromStdString(*failure));
        return;
    }
    OpenOrOfferCopy(*prompts_, QString::fromStdString(path), kRtfReport, SuggestedReportName(scheme_, "rtf"),
                    &Prompts::RtfFileName);
}

void TFcalc::btnRtfClick() { SaveReportAsRtf(scheme_, *prompts_); }

void TFcalc::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TFcalc::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) FormActivate();
}

}  // namespace stelmar
