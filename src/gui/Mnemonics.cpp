#include "gui/Mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>

namespace trelmig {

QString WithMnemonic(const QString& text, QChar letter) {
    if (text.contains(QLatin1Char('&')))
        return text;
    qsizetype at = text.indexOf(letter, 0, Qt::CaseSensitive);
    if (at < 0)
        at = text.indexOf(letter, 0, Qt::CaseInsensitive);
    if (at < 0)
        return text;
    return text.left(at) + QLatin1Char('&') + text.mid(at);
}

void SetMnemonic(QAbstractButton* button, QChar letter) {
    button->setText(WithMnemonic(button->text(), letter));
}

void SetMnemonic(QLabel* label, QChar letter) {
    label->setText(WithMnemonic(label->text(), letter));
}

void SetMnemonic(QAction* action, QChar letter) {
    action->setText(WithMnemonic(action->text(), letter));
}

} // namespace trelmig
