#include "pdf/PdfReport.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <array>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "calc/FlowResults.h"
#include "calc/ReportWriter.h"
#include "calc/ScenarioReport.h"
#include "model/ProgramVersion.h"
#include "model/SafeFile.h"
#include "drawing/ResultsDrawing.h"
#include "drawing/SchemeDrawing.h"
#include "pdf/FloorPages.h"
#include "plans/PlanFiles.h"
#include "pdf/ReportLayout.h"
#include "pdf/StreamDevice.h"

namespace stelmar {

namespace {

constexpr int kResolution = 720;  // dots per inch: ten device units per point
constexpr double kUnitsPerPoint = kResolution / 72.0;
constexpr double kSectionSize = 14;

// Thrown out of the layout when the caller stops the writing.
struct Stopped {};

// The share of a pass (counting, painting) in the whole work, in percent,
// and the share of the front matter in a pass.
constexpr std::array<int, 2> kPassStart = {0, 40};
constexpr std::array<int, 2> kPassSpan = {40, 60};
constexpr double kFrontShare = 0.05;

class PdfComposer {
public:
    PdfComposer(const TPipeLine& s, const ReportTitle& title, char separator, PdfFonts& fonts,
                const PdfProgress& progress, const std::vector<ScenarioRun>* runs)
        : s_(s), title_(title), separator_(separator), progress_(progress), runs_(runs),
          drawings_(s, Overlay(s, separator), fonts, OpenFloorPlans(s))
    {
    }

    void Run(ReportLayout& layout, int pass)
    {
        pass_ = pass;
        layout.SetProgressHandler([this](std::int64_t done, std::int64_t total) {
            Report(kFrontShare + (1 - kFrontShare) * (total > 0 ? static_cast<double>(done) / total : 1));
        });
        ComposeTitleBlock(s_, title_, layout);
        layout.PageBreak();
        layout.Heading(QStringLiteral("1. Исходные данные"), kSectionSize);
        for (int floor = 1; floor <= s_.EtagCount; ++floor) ComposeFloorInputs(s_, floor, separator_, layout);
        drawings_.Compose(layout);
        Report(kFrontShare);
        layout.PageBreak();
        layout.Heading(QStringLiteral("3. Расчет времени эвакуации"), kSectionSize);
        if (runs_)
            ComposeScenarioReport(s_, *runs_, separator_, layout);
        else
            ComposeReport(s_, separator_, layout);
        layout.Finish();
        Report(1);
    }

private:
    void Report(double share)
    {
        const int percent = kPassStart[pass_] + static_cast<int>(kPassSpan[pass_] * std::clamp(share, 0.0, 1.0));
        if (percent == shown_) return;
        shown_ = percent;
        if (progress_ && !progress_(percent)) throw Stopped{};
    }

    // The time at the end of each area, as the figure chosen on the screen
    // may be any.
    static SchemeOverlay Overlay(const TPipeLine& s, char separator)
    {
        SchemeOverlay overlay;
        PutResults(ResultsOf(s), {}, AreaFigure::TotalTime, separator, s, overlay);
        return overlay;
    }

    const TPipeLine& s_;
    const ReportTitle& title_;
    char separator_;
    const PdfProgress& progress_;
    const std::vector<ScenarioRun>* runs_;
    FloorPages drawings_;
    int pass_ = 0;
    int shown_ = -1;
};

}  // namespace

std::optional<std::string> BuildPdfReport(const TPipeLine& s, const ReportTitle& title, char separator,
                                          QIODevice& out, const PdfProgress& progress,
                                          const std::vector<ScenarioRun>* runs)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return "Отчет в PDF не может быть записан: программа запущена без графической подсистемы Qt.";
#ifdef __GLIBC__
    // The writer allocates and frees the buffers of every page. Left to
    // itself glibc gives the top of the heap back to the system after each
    // page and faults it in again for the next, which took a fifth of the
    // time of a long report.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
    QPdfWriter writer(&out);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(QStringLiteral("Отчет о расчете времени эвакуации людей: ") +
                    QString::fromStdString(ProjectTitle(s.FileName)));
    writer.setCreator(QStringLiteral("Stelmar %1").arg(QString::fromLatin1(kProgramVersion)));
    PdfFonts fonts(&writer, kUnitsPerPoint);
    PdfComposer composer(s, title, separator, fonts, progress, runs);
    try {
        ReportLayout counting(fonts, &writer, nullptr, kUnitsPerPoint, 0);
        composer.Run(counting, 0);

        QPainter painter;
        if (!painter.begin(&writer)) return std::string("Не удалось начать запись документа PDF.");
        ReportLayout pages(fonts, &writer, &painter, kUnitsPerPoint, counting.Pages());
        composer.Run(pages, 1);
        if (!painter.end()) return std::string("Не удалось завершить запись документа PDF.");
    } catch (const Stopped&) {
        return std::string(kPdfCancelled);
    }
    return std::nullopt;
}

std::optional<std::string> WritePdfReport(const TPipeLine& s, const ReportTitle& title, char separator,
                                          const std::string& path, const PdfProgress& progress,
                                          const std::vector<ScenarioRun>* runs)
{
    // The pages go to the temporary file as they are painted.
    AtomicFileWriter file(path);
    const auto failed = [&path](const std::string& error) {
        return "Не удалось записать отчет в файл \"" + path + "\": " + error;
    };
    if (!file.Stream())
        if (const auto error = file.Commit()) return failed(*error);
    StreamDevice device(file.Stream());
    if (std::optional<std::string> error = BuildPdfReport(s, title, separator, device, progress, runs)) return error;
    if (const auto error = file.Commit()) return failed(*error);
    return std::nullopt;
}

}  // namespace stelmar
