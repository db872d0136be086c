#pragma once

// Every question, message, file choice, printer choice and opening of a
// document that the program shows, behind one interface, so that the
// windows and dialogs can run without a person at the screen. The main
// window and every dialog are given the same object when they are made.
// QtPrompts shows the real boxes and dialogs.

#include <QString>
#include <QStringList>
#include <memory>

class QPrinter;
class QWidget;

namespace stelmar {

enum class Answer { Yes, No, Cancel };

// What to do with the recovery copy of unsaved work found at start.
enum class RecoveryChoice { Restore, Later, Discard };

class Prompts {
public:
    virtual ~Prompts() = default;

    // A question titled "Внимание!" with the information icon and the
    // buttons Yes, No and Cancel; closing the box counts as Cancel.
    virtual Answer AskYesNoCancel(const QString& text) = 0;
    // A question titled "Внимание!" with the question icon and the buttons
    // Yes and No; closing the box counts as No.
    virtual Answer AskYesNo(const QString& text) = 0;
    // A question under `caption` with the buttons Yes and No and no icon;
    // true for Yes.
    virtual bool AskTitled(const QString& caption, const QString& text) = 0;
    // A message titled "Внимание!" with an OK button.
    virtual void ShowWarning(const QString& text) = 0;
    // A plain message under the program's title, with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // The question about a recovery copy, titled "Внимание!", with the
    // buttons "Восстановить", "Позже" and "Удалить копию"; closing the box
    // counts as "Позже".
    virtual RecoveryChoice AskRecovery(const QString& text) = 0;

    // The project file to open, or an empty text when the user cancels.
    virtual QString OpenProjectName() = 0;
    // The file to save the project under, starting from `current`, or an
    // empty text when the user cancels.
    virtual QString SaveProjectName(const QString& current) = 0;
    // The picture to load as the floor background, or an empty text.
    virtual QString OpenPictureName() = 0;
    // One of `items` chosen in answer to `text`: its index, or -1 when the
    // user cancels.
    virtual int ChooseItem(const QString& text, const QStringList& items) = 0;
    // The picture file to export the drawing to, or an empty text.
    virtual QString ExportPictureName() = 0;
    // The PDF file to print into, starting from `suggested`, or an empty
    // text when the user cancels.
    virtual QString PdfFileName(const QString& suggested) = 0;
    // The CSV file to save a table into, starting from `suggested`, or an
    // empty text.
    virtual QString CsvFileName(const QString& suggested) = 0;
    // The RTF file to save a report into, starting from `suggested`, or an
    // empty text.
    virtual QString RtfFileName(const QString& suggested) = 0;
    // The XLSX workbook to save the tables into, or an empty text.
    virtual QString XlsxFileName(const QString& suggested) = 0;

    // Opens the document with the program the desktop associates with its
    // type; false when none opened it (an opener that could not start or
    // that ended with a failure, as xdg-open does when it finds no program).
    virtual bool OpenDocument(const QString& path) = 0;
    // The standard printer chooser for `printer`; true when accepted.
    virtual bool ChoosePrinter(QPrinter& printer) = 0;
};

using PromptsRef = std::shared_ptr<Prompts>;

// The real boxes and dialogs, each owned by the window the user is working
// in when it opens (a dialog that stays on top, or else the active window),
// so that it is never hidden behind it.
class QtPrompts : public Prompts {
public:
    Answer AskYesNoCancel(const QString& text) override;
    Answer AskYesNo(const QString& text) override;
    bool AskTitled(const QString& caption, const QString& text) override;
    void ShowWarning(const QString& text) override;
    void ShowMessage(const QString& text) override;
    RecoveryChoice AskRecovery(const QString& text) override;
    QString OpenProjectName() override;
    QString SaveProjectName(const QString& current) override;
    QString OpenPictureName() override;
    int ChooseItem(const QString& text, const QStringList& items) override;
    QString ExportPictureName() override;
    QString PdfFileName(const QString& suggested) override;
    QString CsvFileName(const QString& suggested) override;
    QString RtfFileName(const QString& suggested) override;
    QString XlsxFileName(const QString& suggested) override;
    bool OpenDocument(const QString& path) override;
    bool ChoosePrinter(QPrinter& printer) override;
};

}  // namespace stelmar
