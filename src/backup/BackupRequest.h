#pragma once

#include "backup/BackupRun.h"
#include "core/ItemMask.h"

#include <ctime>
#include <string>

namespace trelmig {

class Environment;

// A backup as whoever asks for it says it: the window's choices or an
// unattended line.
struct BackupOrder {
    std::string profile;
    ItemMask items;
    std::string chosenFile;  // host path
    std::string password;    // empty: not protected
    std::string description; // CR LF between lines
    // A new version is written beside chosenFile, named after the time of
    // the backup, instead of replacing it.
    bool keepVersions = false;
};

// The request of one backup made now in env's prefix.
BackupRequest MakeBackupRequest(const BackupOrder& order, Environment& env);

// The file a versioned backup writes: "<name>-YYYY-MM-DD-HHMMSS.kvx" beside
// the chosen "<name>.kvx", at the run's local time.
std::string VersionTarget(const std::string& chosenFile, const std::tm& time);

} // namespace trelmig
