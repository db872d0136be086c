#include "dialogs/DialogPrompts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

namespace stelmar {

QtDialogPrompts::QtDialogPrompts(QWidget* parent) : parent_(parent) {}

bool QtDialogPrompts::AskYesNo(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.button(QMessageBox::Yes)->setText("Да");
    box.button(QMessageBox::No)->setText("Нет");
    return box.exec() == QMessageBox::Yes;
}

void QtDialogPrompts::ShowWarning(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, "Внимание!", text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtDialogPrompts::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogPrompts::OpenDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtDialogPrompts::ChoosePrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

QString QtDialogPrompts::PdfFileName(const QString& suggested)
{
    QFileDialog dialog(parent_, QString(), suggested, "Документ PDF (*.pdf)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("pdf");
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace stelmar
