#pragma once

// The questions, messages, printer and file choices and the opening of
// documents of the calculation and print dialogs, behind one interface so
// that the dialogs can run without a person at the screen.
// QtDialogPrompts shows the real boxes and dialogs.

#include <QString>

class QPrinter;
class QWidget;

namespace stelmar {

class DialogPrompts {
public:
    virtual ~DialogPrompts() = default;

    // A question with the buttons Yes and No and no icon; true for Yes.
    virtual bool AskYesNo(const QString& caption, const QString& text) = 0;
    // A message titled "Внимание!" with an OK button.
    virtual void ShowWarning(const QString& text) = 0;
    // A plain message with the application's title, no icon and an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // Opens the document with the program the desktop associates with its
    // type; false when no program could be started.
    virtual bool OpenDocument(const QString& path) = 0;
    // The standard printer chooser for `printer`; true when accepted.
    virtual bool ChoosePrinter(QPrinter& printer) = 0;
    // The PDF file to print into, starting from `suggested`, or an empty
    // text when the user cancels.
    virtual QString PdfFileName(const QString& suggested) = 0;
};

class QtDialogPrompts : public DialogPrompts {
public:
    explicit QtDialogPrompts(QWidget* parent);

    bool AskYesNo(const QString& caption, const QString& text) override;
    void ShowWarning(const QString& text) override;
    void ShowMessage(const QString& text) override;
    bool OpenDocument(const QString& path) override;
    bool ChoosePrinter(QPrinter& printer) override;
    QString PdfFileName(const QString& suggested) override;

private:
    QWidget* parent_;
};

}  // namespace stelmar
