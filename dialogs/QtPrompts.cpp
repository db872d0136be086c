#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include "dialogs/Prompts.h"
#include "pictures/PictureFiles.h"
#include "plans/PlanFiles.h"

namespace stelmar {
namespace {

constexpr const char* kTitle = "Внимание!";
constexpr const char* kProjectFilter = "Файл данных (*.stm *.STM)";
constexpr const char* kProjectSaveFilter = "Файл данных SM (*.stm *.STM)";

// The window the user is working in: a modal dialog when one is open,
// else a modal dialog being shown (the calculation dialogs, which may ask
// before the window system has made them active), else the active window.
// A box owned by it opens above it.
QWidget* Owner()
{
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && qobject_cast<QDialog*>(window) && window->isModal()) return window;
    return QApplication::activeWindow();
}

void NameYesNo(QMessageBox& box)
{
    box.button(QMessageBox::Yes)->setText("Да");
    box.button(QMessageBox::No)->setText("Нет");
}

QString ChosenFile(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

// A file to write, `suggested` chosen at first.
QString SaveFileName(const QString& suggested, const QString& filter, const QString& suffix)
{
    QFileDialog dialog(Owner(), QString(), suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(suggested);
    return ChosenFile(dialog);
}

}  // namespace

Answer QtPrompts::AskYesNoCancel(const QString& text)
{
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    Owner());
    box.setEscapeButton(QMessageBox::Cancel);
    NameYesNo(box);
    box.button(QMessageBox::Cancel)->setText("Отмена");
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

Answer QtPrompts::AskYesNo(const QString& text)
{
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No, Owner());
    box.setEscapeButton(QMessageBox::No);
    NameYesNo(box);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

bool QtPrompts::AskTitled(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, Owner());
    NameYesNo(box);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompts::ShowWarning(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Ok, Owner());
    box.exec();
}

void QtPrompts::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, Owner());
    box.exec();
}

RecoveryChoice QtPrompts::AskRecovery(const QString& text)
{
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::NoButton, Owner());
    QPushButton* restore = box.addButton("Восстановить", QMessageBox::AcceptRole);
    QPushButton* later = box.addButton("Позже", QMessageBox::RejectRole);
    QPushButton* discard = box.addButton("Удалить копию", QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == restore) return RecoveryChoice::Restore;
    return box.clickedButton() == discard ? RecoveryChoice::Discard : RecoveryChoice::Later;
}

QString QtPrompts::OpenProjectName()
{
    return QFileDialog::getOpenFileName(Owner(), QString(), QDir::currentPath(), kProjectFilter);
}

QString QtPrompts::SaveProjectName(const QString& current)
{
    QFileDialog dialog(Owner(), QString(), QDir::currentPath(), kProjectSaveFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("stm");
    if (QFileInfo(current).isAbsolute()) dialog.selectFile(current);
    return ChosenFile(dialog);
}

QString QtPrompts::OpenPictureName()
{
    return QFileDialog::getOpenFileName(Owner(), QString(), QDir::currentPath(), BackgroundFilter());
}

int QtPrompts::ChooseItem(const QString& text, const QStringList& items)
{
    bool chosen = false;
    const QString item = QInputDialog::getItem(Owner(), kTitle, text, items, 0, false, &chosen);
    return chosen ? static_cast<int>(items.indexOf(item)) : -1;
}

// A name typed without an extension gets the one of the chosen format,
// JPEG at first; the drawing may also go to SVG or PDF.
QString QtPrompts::ExportPictureName()
{
    QFileDialog dialog(Owner(), QString(), QDir::currentPath(),
                       WritablePictureFilter() + ";;Рисунок SVG (*.svg);;Документ PDF (*.pdf)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("jpg");
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QRegularExpressionMatch first = QRegularExpression(R"(\*\.(\w+))").match(filter);
        if (first.hasMatch()) dialog.setDefaultSuffix(first.captured(1));
    });
    return ChosenFile(dialog);
}

QString QtPrompts::PdfFileName(const QString& suggested)
{
    return SaveFileName(suggested, "Документ PDF (*.pdf)", "pdf");
}

QString QtPrompts::CsvFileName(const QString& suggested)
{
    return SaveFileName(suggested, "Таблица CSV (*.csv)", "csv");
}

QString QtPrompts::RtfFileName(const QString& suggested)
{
    return SaveFileName(suggested, "Документ RTF (*.rtf)", "rtf");
}

QString QtPrompts::XlsxFileName(const QString& suggested)
{
    return SaveFileName(suggested, "Книга Excel (*.xlsx)", "xlsx");
}

// The desktop's opener, where there is one, tells by its exit status
// whether it found a program. The document's program may run in the
// opener's place for as long as the document stays open: an opener that
// has not failed within a few seconds has opened it. Meanwhile the windows
// are repainted but take no input.
bool QtPrompts::OpenDocument(const QString& path)
{
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (opener.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    constexpr int kOpenerWait = 3000;
    auto* process = new QProcess(qApp);  // outlives this call when it keeps running
    process->setProgram(opener);
    process->setArguments({path});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start();
    if (!process->waitForStarted()) {
        process->deleteLater();
        return false;
    }
    QEventLoop wait;
    QTimer::singleShot(kOpenerWait, &wait, &QEventLoop::quit);
    QObject::connect(process, &QProcess::finished, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (process->state() != QProcess::NotRunning) return true;
    return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

bool QtPrompts::ChoosePrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, Owner());
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace stelmar
