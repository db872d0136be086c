#include "editor/Mnemonics.h"

#include <QAction>
#include <QMenu>

namespace stelmar {

QString WithMnemonic(const QString& caption, QString& taken)
{
    auto free = [&taken](QChar c) { return c.isLetterOrNumber() && !taken.contains(c.toLower()); };
    int chosen = -1;
    for (int i = 0; i < caption.size() && chosen < 0; ++i)
        if ((i == 0 || caption[i - 1].isSpace()) && free(caption[i])) chosen = i;
    for (int i = 0; i < caption.size() && chosen < 0; ++i)
        if (free(caption[i])) chosen = i;
    QString text = caption;
    text.replace('&', "&&");
    if (chosen < 0) return text;
    taken += caption[chosen].toLower();
    const int shift = static_cast<int>(caption.left(chosen).count('&'));
    return text.insert(chosen + shift, '&');
}

QString TakenMnemonics(const QMenu& menu)
{
    QString taken;
    for (const QAction* item : menu.actions()) {
        const QString text = item->text();
        for (int i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != '&') continue;
            if (text[i + 1] != '&') taken += text[i + 1].toLower();
            ++i;
        }
    }
    return taken;
}

}  // namespace stelmar
