#include "gui/WindowMemory.h"

#include "platform/RememberedPrefix.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

namespace trelmig {

WindowMemory::WindowMemory(const QString& settingsFile, const std::filesystem::path& prefix)
    : settings_(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat)),
      // A group name must not hold "/": the folder is kept percent-encoded.
      group_(QString::fromLatin1(
          QUrl::toPercentEncoding(QString::fromStdString(prefix.lexically_normal().string())))) {}

WindowMemory::~WindowMemory() = default;

QString WindowMemory::DefaultFile() {
    const auto file = RememberedPrefixFile();
    if (!file)
        return {};
    return QString::fromStdString((file->parent_path() / "settings.conf").string());
}

QString WindowMemory::key(const char* name) const {
    return QStringLiteral("prefix-%1/%2").arg(group_, QString::fromLatin1(name));
}

QString WindowMemory::Items() const {
    return settings_->value(key("items")).toString();
}

void WindowMemory::SetItems(const QString& mask) {
    settings_->setValue(key("items"), mask);
    settings_->sync();
}

QString WindowMemory::BackupFolder() const {
    return settings_->value(key("backupFolder")).toString();
}

QString WindowMemory::LastBackupFile() const {
    return settings_->value(key("lastBackupFile")).toString();
}

void WindowMemory::SetLastBackupFile(const QString& path) {
    settings_->setValue(key("lastBackupFile"), path);
    settings_->setValue(key("backupFolder"), QFileInfo(path).absolutePath());
    settings_->sync();
}

KeepChoice WindowMemory::KeepVersions(const char* window) const {
    const QString base = QStringLiteral("keep-") + QString::fromLatin1(window);
    KeepChoice choice;
    choice.on = settings_->value(key(qPrintable(base + QStringLiteral("-on"))), false).toBool();
    const QStringList counts =
        settings_->value(key(qPrintable(base + QStringLiteral("-counts")))).toString().split(',');
    if (counts.size() == 4) {
        int* const values[] = {&choice.counts.last, &choice.counts.daily, &choice.counts.weekly,
                               &choice.counts.monthly};
        for (int i = 0; i < 4; ++i) {
            bool ok = false;
            const int value = counts.at(i).toInt(&ok);
            if (ok && value >= 0)
                *values[i] = value;
        }
    }
    return choice;
}

void WindowMemory::SetKeepVersions(const char* window, const KeepChoice& choice) {
    const QString base = QStringLiteral("keep-") + QString::fromLatin1(window);
    const KeepPolicy& c = choice.counts;
    settings_->setValue(key(qPrintable(base + QStringLiteral("-on"))), choice.on);
    settings_->setValue(
        key(qPrintable(base + QStringLiteral("-counts"))),
        QStringLiteral("%1,%2,%3,%4").arg(c.last).arg(c.daily).arg(c.weekly).arg(c.monthly));
    settings_->sync();
}

int WindowMemory::StaleBackupDays(int fallback) const {
    bool ok = false;
    const int days = settings_->value(QStringLiteral("lastBackup/staleDays")).toInt(&ok);
    return ok && days > 0 ? days : fallback;
}

void WindowMemory::SetStaleBackupDays(int days) {
    settings_->setValue(QStringLiteral("lastBackup/staleDays"), days);
    settings_->sync();
}

bool WindowMemory::AskAboutDisc() const {
    return settings_->value(QStringLiteral("questions/discAfterBackup"), true).toBool();
}

void WindowMemory::SetAskAboutDisc(bool ask) {
    settings_->setValue(QStringLiteral("questions/discAfterBackup"), ask);
    settings_->sync();
}

QByteArray WindowMemory::Geometry(const QString& window) const {
    return settings_->value(QStringLiteral("geometry/") + window).toByteArray();
}

void WindowMemory::SetGeometry(const QString& window, const QByteArray& geometry) {
    settings_->setValue(QStringLiteral("geometry/") + window, geometry);
    settings_->sync();
}

QString DefaultBackupFolder() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    QString folder = QDir(documents).filePath(QStringLiteral("Outlook Backups"));
    QDir().mkpath(folder); // where it cannot be made, the dialog shows its nearest parent
    return folder;
}

} // namespace trelmig
