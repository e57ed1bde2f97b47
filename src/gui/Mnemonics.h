#pragma once

#include <QString>

class QAction;
class QAbstractButton;
class QLabel;

namespace trelmig {

// The text with "&" before the first occurrence of letter (the same case
// first, else any case), so that Alt and the letter reach the control; the
// text unchanged when it holds no such letter or has a mnemonic already.
QString WithMnemonic(const QString& text, QChar letter);

void SetMnemonic(QAbstractButton* button, QChar letter);
void SetMnemonic(QLabel* label, QChar letter);
void SetMnemonic(QAction* action, QChar letter);

} // namespace trelmig
