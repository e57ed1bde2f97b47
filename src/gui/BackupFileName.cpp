#include "gui/BackupFileName.h"

namespace trelmig {

QString ProposedBackupName(const QString& profile, const QDate& day) {
    // Letters and digits of any script stay; runs of anything else, which a
    // shell, another file system or a disc image may read otherwise, become
    // one "-".
    QString name;
    for (const QChar c : profile.toLower()) {
        if (c.isLetterOrNumber())
            name += c;
        else if (!name.isEmpty() && !name.endsWith(QLatin1Char('-')))
            name += QLatin1Char('-');
    }
    while (name.endsWith(QLatin1Char('-')))
        name.chop(1);
    if (name.isEmpty())
        name = QStringLiteral("outlook");
    return name + QLatin1Char('-') + day.toString(Qt::ISODate) + QStringLiteral(".kvx");
}

} // namespace trelmig
