#pragma once

// Scripted answers to every question and file or printer choice of the
// program, and a record of what it asked and said.

#include <QList>
#include <QStringList>

#include "dialogs/Prompts.h"

namespace stelmar::test {

class ScriptedPrompts : public Prompts {
public:
    // Answers to the coming questions of every kind, in order; Cancel (No
    // for a Yes/No question) when none is left.
    QList<Answer> Answers;
    // Names the coming save dialogs return; an empty name or none left
    // cancels the dialog.
    QStringList SaveNames;
    QString OpenName;
    QString PictureName;
    QString ExportName;
    QString PdfName;  // empty cancels the file dialog
    QString CsvName;
    QString RtfName;
    QString XlsxName;
    bool OpenSucceeds = true;
    // Items chosen in the coming lists (their indexes); cancelled when none is left.
    QList<int> Chosen;
    QList<QStringList> Choices;  // the lists offered
    // Answers to the coming recovery questions; "Позже" when none is left.
    QList<RecoveryChoice> RecoveryChoices;

    QStringList Questions;
    QStringList Captions;  // of the questions asked under their own caption
    QStringList Warnings;
    QStringList Messages;  // plain messages, not titled "Внимание!"
    QStringList Opened;
    int SaveDialogs = 0;
    int PrinterChoices = 0;
    QString SuggestedPdf;
    QString SuggestedRtf;

    Answer AskYesNoCancel(const QString& text) override
    {
        Questions << text;
        return Answers.isEmpty() ? Answer::Cancel : Answers.takeFirst();
    }
    Answer AskYesNo(const QString& text) override
    {
        return AskYesNoCancel(text) == Answer::Yes ? Answer::Yes : Answer::No;
    }
    bool AskTitled(const QString& caption, const QString& text) override
    {
        Captions << caption;
        return AskYesNo(text) == Answer::Yes;
    }
    void ShowWarning(const QString& text) override { Warnings << text; }
    void ShowMessage(const QString& text) override { Messages << text; }
    RecoveryChoice AskRecovery(const QString& text) override
    {
        Questions << text;
        return RecoveryChoices.isEmpty() ? RecoveryChoice::Later : RecoveryChoices.takeFirst();
    }
    QString OpenProjectName() override { return OpenName; }
    QString SaveProjectName(const QString&) override
    {
        ++SaveDialogs;
        return SaveNames.isEmpty() ? QString() : SaveNames.takeFirst();
    }
    QString OpenPictureName() override { return PictureName; }
    int ChooseItem(const QString& text, const QStringList& items) override
    {
        Questions << text;
        Choices << items;
        return Chosen.isEmpty() ? -1 : Chosen.takeFirst();
    }
    QString ExportPictureName() override { return ExportName; }
    QString PdfFileName(const QString& suggested) override
    {
        SuggestedPdf = suggested;
        return PdfName;
    }
    QString CsvFileName(const QString&) override { return CsvName; }
    QString RtfFileName(const QString& suggested) override
    {
        SuggestedRtf = suggested;
        return RtfName;
    }
    QString XlsxFileName(const QString&) override { return XlsxName; }
    bool OpenDocument(const QString& path) override
    {
        Opened << path;
        return OpenSucceeds;
    }
    bool ChoosePrinter(QPrinter&) override
    {
        ++PrinterChoices;
        return false;
    }
};

}  // namespace stelmar::test
