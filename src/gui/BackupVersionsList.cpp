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
QString WhenText(const VersionTime& t) {
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
    versionsList_ = new QListWidget(this);
    versionsList_->setObjectName(QStringLiteral("lstVersions"));
    caption_ = new QLabel(tr("Versions of this backup, newest first"), this);
    caption_->setBuddy(versionsList_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(caption_);
    column->addWidget(versionsList_);
    connect(versionsList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit versionChosen(versionsList_->item(row)->data(Qt::UserRole).toString());
    });
    hide();
}

void BackupVersionsList::Clear() {
    const QSignalBlocker quiet(versionsList_);
    versionsList_->clear();
    hide();
}

void BackupVersionsList::ShowVersionsOf(const QString& file) {
    Clear();
    const QString chosen = QFileInfo(file).absoluteFilePath();
    const QSignalBlocker quiet(versionsList_);
    const auto add = [this, &chosen](const QString& path, const QString& text) {
        auto* row = new QListWidgetItem(text, versionsList_);
        row->setData(Qt::UserRole, path);
        row->setToolTip(path);
        if (QFileInfo(path).absoluteFilePath() == chosen)
            versionsList_->setCurrentItem(row);
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
        QString text = WhenText(version.time);
        if (version.partial)
            text += QStringLiteral("  ") + tr("(partial: some items are missing)");
        add(QString::fromStdString(version.path), text);
    }
    setVisible(versionsList_->count() > 1);
}

} // namespace trelmig
