#pragma once

#include "core/ItemCatalogue.h"

#include <array>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace trelmig {

class CancelToken;
class Environment;
class ZipArchive;

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
};

struct BackupOutcome {
    std::string flags; // the ten "0"/"1" of BackupItem
    std::string log;   // CR LF, log name, separator, result word, TAB per logged step
    // Why each step that ran failed, by step index (empty for the others).
    std::array<std::string, kBackupStepCount> failures;
    // Chosen items this Outlook or profile does not have, by step index: why
    // there is nothing to gather (empty for the others). They are no failure.
    std::array<std::string, kBackupStepCount> absent;
    // A chosen item that exists could not be gathered: the archive is partial.
    bool itemsFailed = false;
    bool written = false;
    bool cancelled = false; // stopped by the user; nothing was written
    std::string writeError;
    // Where the new archive was put: the target, or PartialArchiveName(target)
    // when it is partial and an earlier archive at the target was kept.
    std::string archivePath;
    bool keptEarlier = false;
};

// Where a partial archive goes when an earlier one is at the target:
// "b.kvx" -> "b.partial.kvx".
std::string PartialArchiveName(const std::string& targetFile);

// Called before each step that runs (its status text), for each file the
// archive takes (its entry name) and after each step (the progress to add).
struct BackupHooks {
    std::function<void(const BackupStep&)> stepStarting;
    std::function<void(const std::string&)> fileAdding;
    std::function<void(int)> addProgress;
};

// Computes the item locations of the request's profile, writes the
// information file, runs the selected steps of the items the profile has,
// adds the information file, writes the archive under a temporary name
// beside its place, has it verified, puts it in place and removes the
// scratch files. A partial archive never replaces an earlier one.
BackupOutcome PerformBackup(Environment& env, ZipArchive& zip, const BackupRequest& request,
                            const BackupHooks& hooks = {});

std::string EncodeDescription(const std::string& text);

} // namespace trelmig
