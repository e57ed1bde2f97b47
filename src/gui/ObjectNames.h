#pragma once

#include <QString>

namespace trelmig {

// Gives a control the object name the skin and the tests select it by.
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace trelmig
