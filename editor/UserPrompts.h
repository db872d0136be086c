#pragma once

// The questions, warnings and file choices of the main window, behind one
// interface so that the window's commands can run without a person at the
// screen. QtUserPrompts shows the real message boxes and file dialogs.

#include <QString>

class QWidget;

namespace stelmar {

enum class Answer { Yes, No, Cancel };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A question titled "Внимание!" with the information icon and the
    // buttons Yes, No and Cancel; closing the box counts as Cancel.
    virtual Answer AskYesNoCancel(const QString& text) = 0;
    // A message titled "Внимание!" with an OK button.
    virtual void ShowWarning(const QString& text) = 0;
    // A question titled "Внимание!" with the question icon and the buttons
    // Yes and No; closing the box counts as No.
    virtual Answer AskYesNo(const QString& text) = 0;
    // A plain message under the program's title, with an OK button.
    virtual void ShowMessage(const QString& text) = 0;

    // The project file to open, or an empty text when the user cancels.
    virtual QString OpenProjectName() = 0;
    // The file to save the project under, starting from `current`, or an
    // empty text when the user cancels.
    virtual QString SaveProjectName(const QString& current) = 0;
    // The picture to load as the floor background, or an empty text.
    virtual QString OpenPictureName() = 0;
    // The picture file to export the drawing to, or an empty text.
    virtual QString ExportPictureName() = 0;
};

class QtUserPrompts : public UserPrompts {
public:
    explicit QtUserPrompts(QWidget* parent);

    Answer AskYesNoCancel(const QString& text) override;
    void ShowWarning(const QString& text) override;
    Answer AskYesNo(const QString& text) override;
    void ShowMessage(const QString& text) override;
    QString OpenProjectName() override;
    QString SaveProjectName(const QString& current) override;
    QString OpenPictureName() override;
    QString ExportPictureName() override;

private:
    QWidget* parent_;
};

}  // namespace stelmar
