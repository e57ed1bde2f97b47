#pragma once

#include "core/ItemCatalogue.h"
#include "repository/Repository.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trelmig {

class CancelToken;
class Environment;
class ZipArchive;

// A BorgBackup repository a backup becomes a version of, instead of a .kvx:
// the same entries under the same names.
struct RepositoryTarget {
    RepositoryAddress address;
    std::string passphrase;
    std::string computer; // in the version's name; empty: the session's computer name
    std::string prefix;   // in the version's name; empty: the prefix folder's name
    std::string items;    // the item mask, stored with the version
    // borg's progress, on the thread of the run.
    RepositoryProgressCallback progress;
};

// What one backup writes and gathers, shared by the window's backup and the
// unattended run: the information file, the gathering steps, the archive.
struct BackupRequest {
    std::string profile;
    ItemSelection items{};
    std::string description; // CR LF become "QX$ZRM"
    std::string password;    // empty: not encrypted
    std::string targetFile;  // host path
    std::string outlookDisplayName;
    std::tm time{};
    // Looked at between the steps and last before the new archive is put in
    // place; the archive's own writeCancelled event stops the write itself.
    const CancelToken* cancel = nullptr;
    // Called on the complete new archive, written beside the target, before
    // it replaces anything: nullopt when it is sound, else why not. A new
    // archive that is not sound is removed and the earlier one stays. When
    // empty, the archive is read back through the restore's read path.
    std::function<std::optional<std::string>(const std::string& newArchive,
                                             const std::string& password)>
        verifyArchive;
    // When set, the backup is a new version in this repository; targetFile,
    // password and verifyArchive are not used.
    std::optional<RepositoryTarget> repository;
};

// What one backup did, handed to whoever asked for it: the window, the
// unattended run, the tests.
struct BackupRunResult {
    bool started = false;   // false when validation stopped it (or one was running)
    bool written = false;   // the archive was written
    bool cancelled = false; // stopped by the user; nothing was written
    std::string writeError;
    // Where the new archive was put: the target, or PartialArchiveName(target)
    // when it is partial and an earlier archive at the target was kept.
    std::string archivePath;
    bool keptEarlier = false;
    // The size of the archive written, and of the files gathered into it.
    std::uint64_t archiveBytes = 0;
    std::uint64_t gatheredBytes = 0;
    // A backup into a repository: the new version (archivePath is then
    // "URL::NAME", archiveBytes what it added to the repository).
    std::string versionName;

    std::string flags; // the ten "0"/"1" of BackupItem
    std::string log;   // CR LF, log name, separator, result word, TAB per logged step
    // The chosen items (records with a box) by what became of them, as
    // record indices: gathered, failed although they exist (the archive is
    // partial then), skipped as this Outlook or profile does not have them.
    std::vector<std::size_t> itemsDone;
    std::vector<std::size_t> itemsFailed;
    std::vector<std::size_t> itemsSkipped;
    // Why each record that ran failed, and why a skipped one has nothing to
    // gather, by record index (empty for the others).
    std::array<std::string, kItemRecordCount> failures;
    std::array<std::string, kItemRecordCount> absent;

    // A chosen item that exists could not be gathered.
    bool Partial() const { return !itemsFailed.empty(); }
};

// Where a partial archive goes when an earlier one is at the target:
// "b.kvx" -> "b.partial.kvx".
std::string PartialArchiveName(const std::string& targetFile);

// Called before each step that runs (its status text), for each file the
// archive takes (the name it is shown by), after each step (the progress to
// add) and while the new archive is read back (the file that began last, as
// shown, and the bytes read of all of them).
struct BackupHooks {
    std::function<void(const ItemRecord&)> stepStarting;
    std::function<void(const std::string&)> fileAdding;
    std::function<void(int)> addProgress;
    std::function<void(const std::string& shown, std::uint64_t done, std::uint64_t total)>
        verifying;
};

// Computes the item locations of the request's profile, writes the
// information file, runs the selected steps of the items the profile has,
// adds the information file, writes the archive under a temporary name
// beside its place, has it verified, puts it in place and removes the
// scratch files. A partial archive never replaces an earlier one; a
// complete one removes the partial one of its name (PartialArchiveName).
BackupRunResult PerformBackup(Environment& env, ZipArchive& zip, const BackupRequest& request,
                              const BackupHooks& hooks = {});

std::string EncodeDescription(const std::string& text);

} // namespace trelmig
