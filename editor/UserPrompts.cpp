#include "editor/UserPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

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

Answer QtUserPrompts::AskYesNo(const QString& text)
{
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setEscapeButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText("Да");
    box.button(QMessageBox::No)->setText("Нет");
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtUserPrompts::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent_);
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

// A name typed without an extension gets the one of the chosen format,
// JPEG at first.
QString QtUserPrompts::ExportPictureName()
{
    QFileDialog dialog(parent_, QString(), QDir::currentPath(), WritablePictureFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("jpg");
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const QRegularExpressionMatch first = QRegularExpression(R"(\*\.(\w+))").match(filter);
        if (first.hasMatch()) dialog.setDefaultSuffix(first.captured(1));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace stelmar
