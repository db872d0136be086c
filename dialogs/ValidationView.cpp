#include "dialogs/ValidationView.h"

#include <QCheckBox>
#include <QLayout>
#include <QPlainTextEdit>
#include <QStringList>

namespace stelmar {

QCheckBox* AddOptionCheckBox(QWidget* parent, QLayout* layout, const char* name, const QString& text)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    layout->addWidget(box);
    return box;
}

bool ShowValidation(QPlainTextEdit* box, const std::vector<std::string>& findings, const QString& passedText)
{
    static const QColor kFindingsColor(0xFF, 0, 0);
    static const QColor kPassedColor(0, 0x80, 0);
    QStringList lines;
    for (const std::string& finding : findings) lines << QString::fromStdString(finding);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, findings.empty() ? kPassedColor : kFindingsColor);
    box->setPalette(palette);
    box->setPlainText(findings.empty() ? passedText : lines.join('\n'));
    return findings.empty();
}

}  // namespace stelmar
