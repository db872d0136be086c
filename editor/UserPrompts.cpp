#include "editor/UserPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "pictures/PictureFiles.h"

namespace stelmar {
namespace {

constexpr const char* kTitle = "Внимание!";
constexpr const char* kProjectFilter = "Файл данных (*.stm *.STM)";
constexpr const char* kProjectSaveFilter = "Файл данных SM (*.stm *.STM)";

}  // namespace

QtUserPrompts::QtUserPrompts(QWidget* parent) : parent_(parent) {}

Answer QtUserPrompts::AskYesNoCancel(const QString& text)
{
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    parent_);
    box.setEscapeButton(QMessageBox::Cancel);
    box.button(QMessageBox::Yes)->setText("Да");
    box.button(QMessageBox::No)->setText("Нет");
    box.button(QMessageBox::Cancel)->setText("Отмена");
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

void QtUserPrompts::ShowWarning(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Ok, parent_);
    box.exec();
}

QString QtUserPrompts::OpenProjectName()
{
    return QFileDialog::getOpenFileName(parent_, QString(), QDir::currentPath(), kProjectFilter);
}

QString QtUserPrompts::SaveProjectName(const QString& current)
{
    QFileDialog dialog(parent_, QString(), QDir::currentPath(), kProjectSaveFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("stm");
    if (QFileInfo(current).isAbsolute()) dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtUserPrompts::OpenPictureName()
{
    return QFileDialog::getOpenFileName(parent_, QString(), QDir::currentPath(), ReadablePictureFilter());
}

}  // namespace stelmar
