#pragma once

#include "gui/KeepVersionsBox.h"

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <memory>

class QSettings;

namespace trelmig {

// What the windows remember between starts, per Wine prefix: the items last
// backed up, the folder and the file of the last backup, the versions kept;
// and the main window's size and when a missing backup alarms. Kept with QSettings in one file, by
// default $XDG_CONFIG_HOME/trelmig/settings.conf beside the remembered prefix.
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
    // Whether a window's backups keep versions, and its counts; the window
    // is "main" or "schedule".
    KeepChoice KeepVersions(const char* window) const;
    void SetKeepVersions(const char* window, const KeepChoice& choice);
    // Days without a successful unattended run after which the last-backup
    // line turns red; the same for every prefix (runs.log is one).
    int StaleBackupDays(int fallback) const;
    void SetStaleBackupDays(int days);
    // Whether a backup written in the window is followed by the question
    // whether it goes on a disc; the same for every prefix.
    bool AskAboutDisc() const;
    void SetAskAboutDisc(bool ask);
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
