#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <memory>

class QSettings;

namespace trelmig {

// What the windows remember between starts, per Wine prefix: the items last
// backed up, the folder and the file of the last backup; and the main
// window's size. Kept with QSettings in one file, by default
// $XDG_CONFIG_HOME/trelmig/settings.conf beside the remembered prefix.
class WindowMemory {
public:
    WindowMemory(const QString& settingsFile, const std::filesystem::path& prefix);
    ~WindowMemory();

    // The settings file beside the remembered prefix's; empty without a home.
    static QString DefaultFile();

    QString Items() const; // "10110000": one 0/1 per item, empty when none kept
    void SetItems(const QString& mask);
    QString BackupFolder() const;
    QString LastBackupFile() const;
    // A backup was written there: its folder and name are kept.
    void SetLastBackupFile(const QString& path);
    QByteArray Geometry(const QString& window) const;
    void SetGeometry(const QString& window, const QByteArray& geometry);

private:
    QString key(const char* name) const;
    std::unique_ptr<QSettings> settings_;
    QString group_;
};

// Where new backups go unless the user chose another folder: "Outlook
// Backups" in the user's documents folder, made when first asked for.
QString DefaultBackupFolder();

} // namespace trelmig
