#include "dialogs/NumberFields.h"

#include <limits>

#include "model/NumberText.h"
#include "model/TextCodec.h"

namespace stelmar {

QString NormalizeNumber(const QString& text, QChar separator)
{
    if (text.isEmpty()) return "?";
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == ',' || c == '.')
            out += separator;
        else if (c >= '0' && c <= '9')
            out += c;
        else
            return "?";
    }
    return out;
}

QString NumberText(double x)
{
    return QString::fromStdString(FormatReal(x, DecimalSeparatorFromEnvironment()));
}

FieldReader::FieldReader() : separator_(DecimalSeparatorFromEnvironment()) {}

std::optional<int> FieldReader::Integer(QWidget* field, const QString& text, const QString& name, int min,
                                        int max)
{
    bool ok = false;
    const QString digits = NormalizeNumber(text, separator_);
    const int value = digits.contains(separator_) ? 0 : digits.toInt(&ok);
    if (ok && value >= min && value <= max) return value;
    Fail(field, min == 0 && max == std::numeric_limits<int>::max()
                    ? name + ": введите целое число без знака"
                    : QString("%1: введите целое число от %2 до %3").arg(name).arg(min).arg(max));
    return std::nullopt;
}

std::optional<double> FieldReader::Real(QWidget* field, const QString& text, const QString& name)
{
    if (auto value = ParseReal(NormalizeNumber(text, separator_).toStdString())) return value;
    Fail(field, name + ": введите число без знака, например 0" + separator_ + "5");
    return std::nullopt;
}

bool FieldReader::NodeName(QWidget* field, const QString& text)
{
    if (text.contains('\n') || text.contains('\r'))
        Fail(field, "Узел №: обозначение узла не может содержать перевод строки.");
    else if (!FitsCp1251(text.toStdString()))
        Fail(field, "Узел №: обозначение узла содержит символы, которые нельзя сохранить в файле проекта "
                    "(кодировка Windows-1251).");
    else
        return true;
    return false;
}

void FieldReader::Fail(QWidget* field, const QString& message)
{
    if (Failed()) return;
    failed_ = true;
    failedField_ = field;
    message_ = message;
}

}  // namespace stelmar
