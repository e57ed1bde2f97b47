#pragma once

#include "core/KeepPolicy.h"

#include <ctime>
#include <string>
#include <vector>

namespace trelmig {

// The file a versioned backup writes: "<name>-YYYY-MM-DD-HHMMSS.kvx" beside
// the chosen "<name>.kvx", at the run's local time.
std::string VersionTarget(const std::string& chosenFile, const std::tm& time);

// The versions of a chosen backup file, newest first: path and time.
struct BackupVersion {
    std::string path;
    VersionTime time;
};
std::vector<BackupVersion> VersionsOf(const std::string& chosenFile);

// Removes the versions the policy does not keep, once newVersion was written
// and verified; newVersion itself is never removed. Returns what could not be
// removed, one reason each.
std::vector<std::string> PruneVersions(const std::string& chosenFile, const KeepPolicy& policy,
                                       const std::string& newVersion);

} // namespace trelmig
