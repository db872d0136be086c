#include "dialogs/PdfReportSaving.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <ctime>
#include <memory>
#include <optional>

#include "calc/ReportFrontMatter.h"
#include "calc/ScenarioCalculation.h"
#include "calc/ScenarioChecks.h"
#include "model/NumberText.h"
#include "dialogs/ReportFiles.h"
#include "model/Scenarios.h"
#include "pdf/PdfReport.h"

namespace stelmar {

namespace {

// How long the writing runs before the progress box appears, ms: small
// schemes are done before it would.
constexpr int kProgressDelay = 400;
constexpr int kProgressTick = 50;

}  // namespace

QString SuggestedReportPdfName(const TPipeLine& scheme) { return SuggestedReportName(scheme, "pdf"); }

QString SaveReportAsPdf(const TPipeLine& scheme, Prompts& prompts, QWidget* parent)
{
    if (!CheckScenarios(scheme).empty()) {
        prompts.ShowWarning("Отчет не может быть сформирован: схема не прошла проверку.");
        return {};
    }
    const QString path = prompts.PdfFileName(SuggestedReportPdfName(scheme));
    if (path.isEmpty()) return {};

    // The worker calculates and writes a copy, so the scheme may change
    // meanwhile without touching the report.
    auto copy = std::make_shared<TPipeLine>(scheme);
    const char separator = DecimalSeparatorFromEnvironment();
    const std::string target = path.toStdString();
    std::atomic<int> percent{0};
    std::atomic<bool> stop{false};
    std::optional<std::string> failure;
    std::unique_ptr<QThread> worker(QThread::create([&, copy] {
        const std::vector<ScenarioRun> runs = CalculateScenarios(*copy, separator);
        ShowScenarioResults(*copy, runs[static_cast<std::size_t>(ActiveScenarioIndex(*copy))]);
        const ReportTitle title{CalculationTimeText(std::time(nullptr))};
        failure = WritePdfReport(
            *copy, title, separator, target,
            [&](int p) {
                percent = p;
                return !stop;
            },
            &runs);
    }));

    QProgressDialog progress(kPdfProgressText, "Отмена", 0, 100, parent);
    progress.setWindowTitle("Отчет в PDF");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelay);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QEventLoop loop;
    QTimer ticker;
    ticker.setInterval(kProgressTick);
    QObject::connect(&ticker, &QTimer::timeout, &progress, [&] {
        if (progress.wasCanceled()) stop = true;
        progress.setValue(percent);
    });
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    ticker.start();
    loop.exec();
    worker->wait();
    ticker.stop();
    progress.reset();

    if (failure) {
        if (*failure != kPdfCancelled) prompts.ShowWarning(QString::fromStdString(*failure));
        return {};
    }
    if (!prompts.OpenDocument(path))
        prompts.ShowWarning("Не удалось открыть отчет \"" + path + "\": не найдена программа для файлов PDF.");
    return path;
}

}  // namespace stelmar
