#include "gui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace trelmig {

namespace {

QTranslator& programTranslator() {
    static QTranslator translator;
    return translator;
}

QTranslator& qtTranslator() {
    static QTranslator translator;
    return translator;
}

} // namespace

bool InstallTranslations(const QLocale& locale) {
    RemoveTranslations();
    if (qtTranslator().load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator());
    // Built into the program by lrelease at build time.
    if (!programTranslator().load(locale, QStringLiteral("trelmig"), QStringLiteral("_"),
                                  QStringLiteral(":/i18n")))
        return false;
    QCoreApplication::installTranslator(&programTranslator());
    return true;
}

void RemoveTranslations() {
    QCoreApplication::removeTranslator(&programTranslator());
    QCoreApplication::removeTranslator(&qtTranslator());
}

} // namespace trelmig
