#pragma once

// Pieces shared by the two calculation dialogs: their option check boxes
// and the message box that shows what the checks of the scheme found.

#include <QString>
#include <string>
#include <vector>

class QCheckBox;
class QLayout;
class QPlainTextEdit;
class QWidget;

namespace stelmar {

QCheckBox* AddOptionCheckBox(QWidget* parent, QLayout* layout, const char* name, const QString& text);

// The findings one per line in red, or `passedText` in green when there are
// none. Returns true when the scheme passed.
bool ShowValidation(QPlainTextEdit* box, const std::vector<std::string>& findings, const QString& passedText);

}  // namespace stelmar
