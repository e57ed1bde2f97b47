#include "gui/CompletionLogText.h"

#include <QCoreApplication>
#include <QString>

namespace trelmig {

namespace {

// The verdicts of the completion lines (core/CompletionLog), listed here for
// the translators' tools; the item names are marked in the item records.
[[maybe_unused]] constexpr const char* kLogTexts[] = {
    QT_TRANSLATE_NOOP("CompletionLog", "succeeded!"),
    QT_TRANSLATE_NOOP("CompletionLog", "Fail!"),
    QT_TRANSLATE_NOOP("CompletionLog", "not used by this Outlook"),
    QT_TRANSLATE_NOOP("CompletionLog", "nothing to back up"),
    QT_TRANSLATE_NOOP("CompletionLog", "not restored, as an earlier part of it failed"),
};

// A word in the user's language; spaces around it stay where they were.
QString translatedWord(const QString& word) {
    const QString bare = word.trimmed();
    if (bare.isEmpty())
        return word;
    const QString translated =
        QCoreApplication::translate("CompletionLog", bare.toUtf8().constData());
    QString result = word;
    return result.replace(result.indexOf(bare), bare.size(), translated);
}

} // namespace

std::string TranslatedCompletionLog(std::string_view log) {
    const QString crlf = QStringLiteral("\r\n");
    QStringList lines = QString::fromUtf8(log.data(), qsizetype(log.size())).split(crlf);
    for (QString& line : lines) {
        // "<label><tabs><verdict><tab>", or an indented reason.
        if (line.startsWith(QStringLiteral("    "))) {
            line = translatedWord(line);
            continue;
        }
        QStringList columns = line.split(QLatin1Char('\t'));
        if (columns.size() < 2)
            continue;
        for (QString& column : columns)
            column = translatedWord(column);
        line = columns.join(QLatin1Char('\t'));
    }
    return lines.join(crlf).toStdString();
}

} // namespace trelmig
