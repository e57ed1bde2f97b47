#pragma once

#include "archive/ZipWriteMode.h"
#include "core/Error.h"
#include "platform/AnsiCodec.h"
#include "repository/Repository.h"

#include <string>

namespace trelmig {

// A version of a repository and a .kvx hold the same entries under the same
// names; these turn one into the other through a folder of the run's work
// folder.
struct VersionKvxOrder {
    RepositoryAddress address;
    std::string passphrase;  // of the repository
    std::string versionName; // the version to export, or kLatestVersionName
    std::string kvxFile;     // host path: written by an export, read by an import
    std::string kvxPassword; // empty: the .kvx is not protected
    std::string workFolder;  // where the entries are laid out for the while
    // An export for the program's own passing use (to restore or look
    // inside) is stored and left to the cache: it is read once, right away.
    ZipWriteMode kvxMode{};
    // borg's progress while it unpacks a version, on the calling thread, and
    // what stops it.
    RepositoryProgressCallback progress{};
    const CancelToken* cancel = nullptr;
};

// Writes the version as a .kvx, its entries in the order they were stored;
// the version's name.
Result<std::string> ExportVersionAsKvx(const VersionKvxOrder& order, const AnsiCodec& ansi);

// Adds the .kvx as a version named and dated after its information file
// (computer, profile, time), its items the information file's item flags.
Result<RepositoryVersion> ImportKvxAsVersion(const VersionKvxOrder& order, const AnsiCodec& ansi);

// The local time of the information file's BackupTime text, written in the
// regional format of the machine that made it ("12/10/2026 7:05:09 AM",
// "10.12.2026 07:05:09", "2026-12-10 07:05:09"); nullopt when it is none.
std::optional<VersionTime> VersionTimeOfBackupTime(const std::string& text);

} // namespace trelmig
