#include "dialogs/ValidationView.h"

#include <QCheckBox>
#include <QLayout>

#include "dialogs/ElementNavigation.h"
#include "dialogs/FindingsBox.h"

namespace stelmar {

QCheckBox* AddOptionCheckBox(QWidget* parent, QLayout* layout, const char* name, const QString& text)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    layout->addWidget(box);
    return box;
}

FindingsBox* NewFindingsBox(QWidget* parent, ElementNavigation* navigation)
{
    auto* box = new FindingsBox(parent);
    box->setObjectName("ProcCalc");
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    if (navigation)
        box->SetChooser([navigation](const Finding& f, bool open) {
            if (open)
                navigation->OpenElement(f.Element);
            else
                navigation->ShowElement(f.Element);
        });
    return box;
}

bool ShowFindings(FindingsBox* box, ElementNavigation* navigation, const std::vector<Finding>& findings,
                  const QString& passedText)
{
    if (navigation) {
        std::vector<ElementRef> elements;
        for (const Finding& f : findings)
            if (f.Element.Kind != ElementKind::None) elements.push_back(f.Element);
        navigation->MarkFindings(elements);
    }
    return box->Show(findings, passedText);
}

}  // namespace stelmar
