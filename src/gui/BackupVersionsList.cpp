#include "gui/BackupVersionsList.h"

#include "schedule/BackupVersions.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QVBoxLayout>

namespace trelmig {

namespace {

// The date in the locale's long form, the time with its seconds (two
// versions may be a minute apart) but without a time zone.
QString whenText(const VersionTime& t) {
    const QLocale locale;
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(QDate(t.year, t.month, t.day), QLocale::LongFormat) +
           QStringLiteral("  ") +
           locale.toString(QTime(t.hour, t.minute, t.second), timeFormat.trimmed());
}

} // namespace

BackupVersionsList::BackupVersionsList(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BackupVersionsList"));
    lstVersions = new QListWidget(this);
    lstVersions->setObjectName(QStringLiteral("lstVersions"));
    caption = new QLabel(tr("Versions of this backup, newest first"), this);
    caption->setBuddy(lstVersions);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(caption);
    column->addWidget(lstVersions);
    connect(lstVersions, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit versionChosen(lstVersions->item(row)->data(Qt::UserRole).toString());
    });
    hide();
}

void BackupVersionsList::Clear() {
    const QSignalBlocker quiet(lstVersions);
    lstVersions->clear();
    hide();
}

void BackupVersionsList::ShowVersionsOf(const QString& file) {
    Clear();
    const QString chosen = QFileInfo(file).absoluteFilePath();
    const QSignalBlocker quiet(lstVersions);
    const auto add = [this, &chosen](const QString& path, const QString& text) {
        auto* row = new QListWidgetItem(text, lstVersions);
        row->setData(Qt::UserRole, path);
        row->setToolTip(path);
        if (QFileInfo(path).absoluteFilePath() == chosen)
            lstVersions->setCurrentItem(row);
    };
    const auto versions = VersionsBeside(file.toStdString());
    // The name the versions go beside holds no time: a backup file of that
    // name heads the list by its name, whichever of them is open.
    const QFileInfo info(file);
    const auto versionOf = ChosenNameOfVersion(info.fileName().toStdString());
    const QString plain =
        versionOf ? info.dir().filePath(QString::fromStdString(*versionOf)) : info.filePath();
    if (!versions.empty() && QFileInfo(plain).isFile())
        add(plain, QFileInfo(plain).fileName());
    for (const BackupVersion& version : versions) {
        QString text = whenText(version.time);
        if (version.partial)
            text += QStringLiteral("  ") + tr("(partial: some items are missing)");
        add(QString::fromStdString(version.path), text);
    }
    setVisible(lstVersions->count() > 1);
}

} // namespace trelmig
