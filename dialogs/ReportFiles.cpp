#include "dialogs/ReportFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "calc/ScenarioCalculation.h"
#include "calc/ScenarioChecks.h"
#include "calc/ScenarioReport.h"
#include "model/NumberText.h"
#include "model/SafeFile.h"

namespace stelmar {

QString SuggestedReportName(const TPipeLine& scheme, const QString& extension)
{
    const QFileInfo project(QString::fromStdString(scheme.FileName));
    if (scheme.FileName != kNewProjectName && project.isAbsolute())
        return project.absolutePath() + "/" + project.completeBaseName() + "." + extension;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    return folder + "/Отчет." + extension;
}

bool OpenOrOfferCopy(Prompts& prompts, const QString& path, const DocumentKind& kind, const QString& suggested,
                     QString (Prompts::*chooseName)(const QString&))
{
    if (prompts.OpenDocument(path)) return true;
    const QString question = "Не удалось открыть " + kind.What + " \"" + path + "\": не найдена программа " +
                             kind.Program + ".\nСохранить " + kind.What + " в другом месте?";
    if (prompts.AskYesNo(question) != Answer::Yes) return false;
    const QString copy = (prompts.*chooseName)(suggested);
    if (copy.isEmpty() || QFileInfo(copy) == QFileInfo(path)) return false;
    QFile source(path);
    std::optional<std::string> failure;
    if (!source.open(QIODevice::ReadOnly))
        failure = source.errorString().toStdString();
    else
        failure = WriteFilesAtomically({{copy.toStdString(), source.readAll().toStdString()}});
    if (failure)
        prompts.ShowWarning("Не удалось сохранить " + kind.What + " в файл \"" + copy + "\": " +
                            QString::fromStdString(*failure) + ".");
    return false;
}

QString SaveReportAsRtf(const TPipeLine& scheme, Prompts& prompts)
{
    if (!CheckScenarios(scheme).empty()) {
        prompts.ShowWarning("Отчет не может быть сформирован: схема не прошла проверку.");
        return {};
    }
    const QString path = prompts.RtfFileName(SuggestedReportName(scheme, "rtf"));
    if (path.isEmpty()) return {};
    const char separator = DecimalSeparatorFromEnvironment();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<ScenarioRun> runs = CalculateScenarios(scheme, separator);
    const std::optional<std::string> failure = WriteScenarioReport(scheme, runs, path.toStdString(), separator);
    QApplication::restoreOverrideCursor();
    if (failure) {
        prompts.ShowWarning(QString::fromStdString(*failure));
        return {};
    }
    if (!prompts.OpenDocument(path))
        prompts.ShowWarning("Отчет сохранен в файл \"" + path + "\", но не найдена программа для файлов RTF, чтобы "
                            "открыть его.");
    return path;
}

}  // namespace stelmar
