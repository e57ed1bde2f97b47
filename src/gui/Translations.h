#pragma once

#include <QLocale>

class QCoreApplication;

namespace trelmig {

// Installs the windows' translation for the locale (the user's by default)
// and Qt's own for its standard buttons and dialogs, where installed. English
// needs none. False when no translation of the program was found for it.
bool InstallTranslations(const QLocale& locale = QLocale());

// Removes what InstallTranslations installed.
void RemoveTranslations();

} // namespace trelmig
