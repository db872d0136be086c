#pragma once

// Prompts for benchmarks of the real main window: says nothing and answers
// no to everything.

#include <QtGlobal>

#include "dialogs/Prompts.h"

namespace stelmar::bench {

class SilentPrompts : public Prompts {
public:
    Answer AskYesNoCancel(const QString&) override { return Answer::No; }
    Answer AskYesNo(const QString&) override { return Answer::No; }
    bool AskTitled(const QString&, const QString&) override { return false; }
    void ShowWarning(const QString& text) override { qWarning("%s", qPrintable(text)); }
    void ShowMessage(const QString&) override {}
    RecoveryChoice AskRecovery(const QString&) override { return RecoveryChoice::Discard; }
    QString OpenProjectName() override { return {}; }
    QString SaveProjectName(const QString&) override { return {}; }
    QString OpenPictureName() override { return {}; }
    int ChooseItem(const QString&, const QStringList&) override { return -1; }
    QString ExportPictureName() override { return {}; }
    QString PdfFileName(const QString&) override { return {}; }
    QString CsvFileName(const QString&) override { return {}; }
    QString RtfFileName(const QString&) override { return {}; }
    QString XlsxFileName(const QString&) override { return {}; }
    bool OpenDocument(const QString&) override { return false; }
    bool ChoosePrinter(QPrinter&) override { return false; }
};

}  // namespace stelmar::bench
