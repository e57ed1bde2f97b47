#pragma once

#include "backup/BackupRequest.h"
#include "core/KeepPolicy.h"

#include <ctime>
#include <string>
#include <vector>

namespace trelmig {

struct BackupRunResult;

// The versions of a chosen backup file, newest first: path and time, and
// whether it was set aside as partial ("<name>-YYYY-MM-DD-HHMMSS.partial.kvx").
struct BackupVersion {
    std::string path;
    VersionTime time;
    bool partial = false;
};
// Partial versions are listed only when asked for: they never count among
// the versions a policy keeps.
std::vector<BackupVersion> VersionsOf(const std::string& chosenFile, bool withPartial = false);
// Every version, partial ones too, of the backup that backupFile belongs to:
// backupFile may be the chosen name or one of its versions.
std::vector<BackupVersion> VersionsBeside(const std::string& backupFile);

// Removes the versions the policy does not keep, and the partial versions
// no newer than the newest complete one, once newVersion was written and
// verified; newVersion itself is never removed. Returns what could not be
// removed, one reason each.
std::vector<std::string> PruneVersions(const std::string& chosenFile, const KeepPolicy& policy,
                                       const std::string& newVersion);

// What follows a versioned backup written to VersionTarget(chosenFile, ...),
// for the window's backup and the unattended run alike: a partial new
// version is renamed to "<version>.partial.kvx" (outcome.archivePath follows
// it), so that it never counts as one; a sound one prunes the older versions
// by the policy. Nothing happens for a backup that was not written. Returns
// what could not be renamed or removed, one reason each.
std::vector<std::string> SettleNewVersion(const std::string& chosenFile, const KeepPolicy& policy,
                                          const std::string& newVersion, BackupRunResult& outcome);

} // namespace trelmig
