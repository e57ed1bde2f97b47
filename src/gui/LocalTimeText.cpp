#include "gui/LocalTimeText.h"

#include <QDateTime>
#include <QLocale>

namespace trelmig {

QString LocalTimeText(const std::string& stored) {
    QString text = QString::fromStdString(stored);
    for (const QString& format :
         {QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-dd HH:mm")}) {
        const QDateTime time = QDateTime::fromString(text, format);
        if (time.isValid())
            return LocalTimeText(time);
    }
    return text;
}

QString LocalTimeText(const QDateTime& time) {
    return QLocale().toString(time, QLocale::ShortFormat);
}

} // namespace trelmig
