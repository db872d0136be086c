#include "dialogs/ValidationView.h"

#include <QCheckBox>
#include <QLayout>
#include <QScreen>
#include <algorithm>
#include <optional>

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
        box->SetChooser([navigation, box](const Finding& f, bool open) {
            if (open)
                navigation->OpenElement(f.Element);
            else
                MoveClearOf(*box->window(), navigation->ShowElement(f.Element));
        });
    return box;
}

void MoveClearOf(QWidget& window, const QRect& element)
{
    const QRect frame = window.frameGeometry();
    if (element.isEmpty() || !frame.intersects(element)) return;
    const QScreen* screen = window.screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    // Beside each side of the element, as near to where the window is as
    // the screen allows.
    const QPoint places[] = {
        {element.right() + 1, frame.top()},
        {element.left() - frame.width(), frame.top()},
        {frame.left(), element.bottom() + 1},
        {frame.left(), element.top() - frame.height()},
    };
    std::optional<QPoint> best;
    for (QPoint place : places) {
        QRect moved(place, frame.size());
        if (!room.isEmpty()) {
            moved.moveLeft(std::clamp(moved.left(), room.left(), std::max(room.left(), room.right() - moved.width() + 1)));
            moved.moveTop(std::clamp(moved.top(), room.top(), std::max(room.top(), room.bottom() - moved.height() + 1)));
        }
        if (moved.intersects(element)) continue;
        if (!best || (moved.topLeft() - frame.topLeft()).manhattanLength() <
                         (*best - frame.topLeft()).manhattanLength())
            best = moved.topLeft();
    }
    if (best) window.move(window.pos() + (*best - frame.topLeft()));
}

bool ShowFindings(FindingsBox* box, ElementNavigation* navigation, const std::vector<Finding>& findings,
                  const QString& passedText, const std::vector<Finding>& warnings)
{
    if (navigation) {
        std::vector<ElementRef> elements;
        for (const std::vector<Finding>* list : {&findings, &warnings})
            for (const Finding& f : *list)
                if (f.Element.Kind != ElementKind::None) elements.push_back(f.Element);
        navigation->MarkFindings(elements);
    }
    return box->Show(findings, passedText, warnings);
}

}  // namespace stelmar
