// The project-level commands of the main window: new, close, open (dialog,
// recent files, command line), save, save as, and closing the window.

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>

#include "editor/MainWindow.h"
#include "editor/RecoveryCopies.h"
#include "model/NumberText.h"
#include "model/RecentFiles.h"
#include "model/UserFolders.h"

namespace stelmar {
namespace {

constexpr const char* kNewProjectQuestion = "Возможно перед созданием нового проекта\nвы хотите сохранить старый?";
constexpr const char* kCloseProjectQuestion = "Возможно перед закрытием\nвы хотите сохранить работу?";
constexpr const char* kCloseAppQuestion = "Возможно перед закрытием приложения\nвы хотите сохранить работу?";
constexpr const char* kNoRecentEntry = "none";

// Engine messages end their lines with CR LF.
QString UserText(const std::string& text)
{
    return QString::fromStdString(text).replace("\r\n", "\n");
}

// What the wait box says while the plans of project `file` are read.
QString PlansReadingText(const std::string& file)
{
    return QString("Чтение планов этажей проекта \"%1\"...").arg(QFileInfo(QString::fromStdString(file)).fileName());
}

bool IsProjectName(const QString& path)
{
    return path.endsWith(".stm", Qt::CaseInsensitive);
}

// The picture of floor n is stored under the project path with "im" + n
// in place of the last three characters, so a project needs the
// three-character extension ".stm"; it also keeps the project file from
// sharing a name with one of its pictures.
QString WithProjectExtension(const QString& path)
{
    return IsProjectName(path) ? path : path + ".stm";
}

}  // namespace

// The scheme is what its file holds, or the new project nobody touched:
// "Сохранено", and undo or redo back to this state shows it again.
void TF::MarkSaved()
{
    history_.MarkSaved();
    SetModified(false);
}

bool TF::SaveBeforeLeaving(const QString& question)
{
    switch (prompts_->AskYesNoCancel(question)) {
    case Answer::Yes: return SaveCommand();
    case Answer::No: recovery_->Discarded(); return true;
    case Answer::Cancel: break;
    }
    return false;
}

void TF::ReportConfigFailure(const std::optional<std::string>& failure)
{
    if (failure) prompts_->ShowWarning(UserText(*failure));
}

void TF::EnableProjectCommands()
{
    SetEnabled({"no1", "ComboBox1", "TBToolbar7", "NSaveAs", "TBLoadIm", "TBDelIm", "N4", "MMPrint", "TBPrint",
                "TBSave", "TBItem2", "MMScale", "Nexport", "TBcursor", "TBNodeIn", "TBNode", "TBNodeOut", "TBArea", "TBDel",
                "Ndel", "TBRun", "TBRunLocal", "N8", "N7", "N25", "MMOperations"},
               true);
    UpdateHistoryCommands();
}

void TF::CloseProjectView()
{
    scheme_.Opened = false;
    SetEnabled({"no1", "TBToolbar7", "ComboBox1", "TBUndo", "TBRendo", "Nundo", "Nrendo", "TBLoadIm", "TBDelIm",
                "MMPrint", "TBSave", "TBPrint", "N4", "TBItem2", "MMScale", "Nexport", "NSaveAs", "TBcursor", "TBNodeIn",
                "TBNode", "TBNodeOut", "TBArea", "TBDel", "Ndel", "TBRun", "TBRunLocal", "N8", "N7", "N25",
                "MMOperations"},
               false);
    floorList_->clear();
    scrollBox_->hide();
    emit SchemeChanged();
}

// Shows the project now held by the scheme from its first floor entry,
// scrolled to the top left, with an empty edit history and no tool.
void TF::BeginEditing()
{
    scheme_.ShowNumbers = Command("N18")->isChecked();
    history_.Reset();
    EnableProjectCommands();
    FillFloorList(scheme_.ActiveEtag - 1);
    scrollBox_->show();
    scrollBox_->horizontalScrollBar()->setValue(0);
    scrollBox_->verticalScrollBar()->setValue(0);
    SelectTool(kPointerTool);
    SetCaption();
    results_.Clear();
    scenarioRuns_.reset();
    ShowResultState();
    Draw();
    emit SchemeChanged();
}

bool TF::NewProject()
{
    if (scheme_.Opened && scheme_.Modified && !SaveBeforeLeaving(kNewProjectQuestion)) return false;
    ResetToNewProject(scheme_);
    BeginEditing();
    MarkSaved();  // nothing to lose until the first change
    return true;
}

bool TF::CloseProject()
{
    if (scheme_.Modified && !SaveBeforeLeaving(kCloseProjectQuestion)) return false;
    CloseProjectView();
    return true;
}

// The file is read completely before anything changes: a file that cannot
// be read leaves the current project as it was.
bool TF::AdoptReadProject(ProjectReadResult&& read)
{
    if (!read.Scheme) {
        prompts_->ShowWarning(UserText(read.Error));
        return false;
    }
    if (scheme_.Opened && scheme_.Modified && !SaveBeforeLeaving(kNewProjectQuestion)) return false;
    // The plans are read with the window painting; a cancel leaves the
    // current project open.
    if (!plans_->OpenAll(*read.Scheme, PlansReadingText(read.Scheme->FileName))) return false;
    AdoptProject(scheme_, std::move(*read.Scheme));
    BeginEditing();
    saveWithoutDialog_ = true;
    MarkSaved();
    QStringList warnings;
    for (const std::string& warning : read.Warnings) warnings << UserText(warning);
    warnings << UndrawablePlans();
    if (!warnings.isEmpty()) prompts_->ShowWarning(warnings.join('\n'));
    return true;
}

// A floor whose plan file was read but cannot be drawn keeps it (it is
// saved again unchanged) and is shown with its picture.
QStringList TF::UndrawablePlans()
{
    QStringList warnings;
    for (int n = 1; n <= scheme_.EtagCount; ++n) {
        QString reason;
        if (!scheme_.Plans[n].Source || plans_->Picture(scheme_.Plans[n], &reason)) continue;
        const std::string file = PlanFileName(scheme_.FileName, n, scheme_.Plans[n].Source->Kind);
        warnings << QString("Не удалось открыть план этажа №%1 из файла \"%2\": %3. Этаж показан с его рисунком.")
                        .arg(n)
                        .arg(UserText(file), reason);
    }
    return warnings;
}

// A copy of unsaved work that a program which ended otherwise left opens
// as the modified project it was, under its own file name.
void TF::OfferRecoveryCopies()
{
    std::optional<ProjectReadResult> read = recovery_->OfferLeftCopies(*prompts_);
    if (!read) return;
    // The copy is taken whatever happens: plans the user did not wait for
    // are read when the floors are shown.
    plans_->OpenAll(*read->Scheme, PlansReadingText(read->Scheme->FileName));
    AdoptProject(scheme_, std::move(*read->Scheme));
    BeginEditing();
    saveWithoutDialog_ = IsProjectName(QString::fromStdString(scheme_.FileName));
    SetModified(true);
    QStringList warnings;
    for (const std::string& warning : read->Warnings) warnings << UserText(warning);
    warnings << UndrawablePlans();
    if (!warnings.isEmpty()) prompts_->ShowWarning(warnings.join('\n'));
}

bool TF::OpenProject(const QString& path)
{
    const std::string file = QFileInfo(path).absoluteFilePath().toStdString();
    ReportConfigFailure(AddRecent(ConfigFolder(), file));
    FillRecentMenu();
    return AdoptReadProject(ReadProjectFile(file));
}

bool TF::OpenProjectFile(const QString& path)
{
    const std::string file = QFileInfo(path).absoluteFilePath().toStdString();
    ReportConfigFailure(PushRecent(ConfigFolder(), file));
    FillRecentMenu();
    return AdoptReadProject(ReadProjectFile(file));
}

void TF::OpenCommand()
{
    const QString path = prompts_->OpenProjectName();
    if (!path.isEmpty()) OpenProject(path);
}

void TF::OpenRecent(int entry)
{
    const std::string path = ReadRecent(ConfigFolder())[entry - 1];
    if (path != kNoRecentEntry) OpenProject(QString::fromStdString(path));
}

void TF::FillRecentMenu()
{
    openDropDown_->clear();
    recentMenu_->clear();  // deletes the entries, which it owns
    const auto recent = ReadRecent(ConfigFolder());
    int shown = 0;
    for (int entry = 1; entry <= kRecentCount; ++entry) {
        const QString path = QString::fromStdString(recent[entry - 1]);
        if (path == kNoRecentEntry || !QFileInfo(path).isFile()) continue;
        QAction* item = recentMenu_->addAction(QString("%1 %2").arg(++shown).arg(path).replace('&', "&&"));
        // Queued: opening rebuilds the menu, which deletes this entry.
        connect(item, &QAction::triggered, this, [this, entry] { OpenRecent(entry); }, Qt::QueuedConnection);
        openDropDown_->addAction(item);
    }
}

// Writes the project under its file name, or under a name the user picks
// when `askName` is set or the project has no ".stm" name. The file name
// changes only when the project was written.
bool TF::SaveProject(bool askName)
{
    QString path = QString::fromStdString(scheme_.FileName);
    if (askName || !IsProjectName(path)) {
        path = prompts_->SaveProjectName(path);
        if (path.isEmpty()) return false;
        path = WithProjectExtension(path);
    }
    ReportConfigFailure(AddRecent(ConfigFolder(), path.toStdString()));
    FillRecentMenu();
    if (auto failure = SaveProjectFile(scheme_, path.toStdString(), DecimalSeparatorFromEnvironment())) {
        prompts_->ShowWarning(UserText(*failure));
        return false;
    }
    scheme_.FileName = path.toStdString();
    recovery_->Saved();
    return true;
}

bool TF::SaveCommand()
{
    if (scheme_.FileName == kNewProjectName) saveWithoutDialog_ = false;
    if (!SaveProject(!saveWithoutDialog_)) return false;
    SetCaption();
    saveWithoutDialog_ = true;
    MarkSaved();
    return true;
}

bool TF::SaveAsCommand()
{
    saveWithoutDialog_ = false;
    if (!SaveProject(true)) return false;
    SetCaption();
    ShowStatus("Сохранено");
    saveWithoutDialog_ = true;
    MarkSaved();
    return true;
}

// Settings are written even when the user keeps the window open.
void TF::closeEvent(QCloseEvent* event)
{
    const bool leave = !(scheme_.Opened && scheme_.Modified) || SaveBeforeLeaving(kCloseAppQuestion);
    ReportConfigFailure(SaveSettings(scheme_, CurrentLayout(), ConfigFolder(), DecimalSeparatorFromEnvironment()));
    if (leave)
        event->accept();
    else
        event->ignore();
}

}  // namespace stelmar
