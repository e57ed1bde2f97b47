#include "gui/ByteProgressText.h"

#include <QCoreApplication>

namespace trelmig {

namespace {

QString workText(ByteWork work) {
    switch (work) {
    case ByteWork::Compressing:
        return QCoreApplication::translate("ByteProgress", "Compressing %1");
    case ByteWork::Restoring:
        return QCoreApplication::translate("ByteProgress", "Restoring %1");
    case ByteWork::Verifying:
        return QCoreApplication::translate("ByteProgress", "Verifying %1");
    case ByteWork::Writing:
        return QCoreApplication::translate("ByteProgress", "Writing %1");
    }
    return QStringLiteral("%1");
}

} // namespace

QString ByteSizeText(std::uint64_t bytes, const QLocale& locale) {
    return locale.formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeSIFormat);
}

QString TimeLeftText(std::chrono::seconds left) {
    const long long s = left.count();
    if (s < 60)
        return QCoreApplication::translate("ByteProgress", "%1 s").arg(s);
    const long long minutes = (s + 59) / 60;
    if (minutes < 60)
        return QCoreApplication::translate("ByteProgress", "%1 min").arg(minutes);
    return QCoreApplication::translate("ByteProgress", "%1 h %2 min")
        .arg(minutes / 60)
        .arg(minutes % 60);
}

QString ByteProgressText(ByteWork work, const QString& item, std::uint64_t done,
                         std::uint64_t total, std::optional<double> bytesPerSecond,
                         std::optional<std::chrono::seconds> left, const QLocale& locale) {
    QString text =
        QCoreApplication::translate("ByteProgress", "%1: %2 of %3")
            .arg(workText(work).arg(item), ByteSizeText(done, locale), ByteSizeText(total, locale));
    if (bytesPerSecond)
        text += QCoreApplication::translate("ByteProgress", ", %1/s")
                    .arg(ByteSizeText(static_cast<std::uint64_t>(*bytesPerSecond), locale));
    // At the end there is nothing left to tell.
    if (left && left->count() > 0 && done < total)
        text +=
            QCoreApplication::translate("ByteProgress", ", about %1 left").arg(TimeLeftText(*left));
    return text;
}

} // namespace trelmig
