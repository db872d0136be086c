#pragma once

// Numbers typed into the parameter dialogs: the normalizing of the typed
// text and the reading of a dialog's fields with one message for the first
// field that does not hold a valid number.

#include <QString>
#include <optional>

class QWidget;

namespace stelmar {

// Empty text gives "?". Otherwise every "," and "." becomes `separator` and
// digits stay; any other character (a minus sign or a blank too) makes the
// whole result "?", which no conversion accepts.
QString NormalizeNumber(const QString& text, QChar separator);

// A number in the general format with the user's decimal separator.
QString NumberText(double x);

// Reads the fields of one accept in order. Only the first failing field is
// reported: its message names the field, and the dialog focuses it.
class FieldReader {
public:
    FieldReader();

    // A whole number of digits only, min..max.
    std::optional<int> Integer(QWidget* field, const QString& text, const QString& name, int min, int max);
    // A real of digits and one decimal separator, 0 or more.
    std::optional<double> Real(QWidget* field, const QString& text, const QString& name);
    // A node label: one line of characters the project file can hold.
    bool NodeName(QWidget* field, const QString& text);
    // Records a failure found by the dialog itself. `field` may be null
    // where the text was not typed into a field (a table cell, a paste).
    void Fail(QWidget* field, const QString& message);

    bool Failed() const { return failed_; }
    QWidget* FailedField() const { return failedField_; }
    const QString& Message() const { return message_; }

private:
    QChar separator_;
    bool failed_ = false;
    QWidget* failedField_ = nullptr;
    QString message_;
};

}  // namespace stelmar
