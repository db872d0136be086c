#pragma once

// Keyboard mnemonics of menu entries: the underlined letter that Alt (or
// the open menu) takes.

#include <QString>

class QMenu;

namespace stelmar {

// The caption with a mnemonic ("&"): the first letter of a word, else any
// letter or digit, that is not in `taken` (lower case); the letter chosen
// is added to `taken`. The text shown stays the same but for the
// underlined letter.
QString WithMnemonic(const QString& caption, QString& taken);

// The mnemonics the entries of `menu` have, lower case.
QString TakenMnemonics(const QMenu& menu);

}  // namespace stelmar
