#pragma once

#include "core/ItemCatalogue.h"

#include <array>
#include <ctime>
#include <functional>
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
    // Looked at between the steps; the archive's own writeCancelled event
    // stops the write itself.
    const CancelToken* cancel = nullptr;
};

struct BackupOutcome {
    std::string flags; // the ten "0"/"1" of BackupItem
    std::string log;   // CR LF, log name, separator, result word, TAB per logged step
    // Why each step that ran failed, by step index (empty for the others).
    std::array<std::string, kBackupStepCount> failures;
    bool written = false;
    bool cancelled = false; // stopped by the user; nothing was written
    std::string writeError;
};

// Called before each step that runs (its status text), for each file the
// archive takes (its entry name) and after each step (the progress to add).
struct BackupHooks {
    std::function<void(const BackupStep&)> stepStarting;
    std::function<void(const std::string&)> fileAdding;
    std::function<void(int)> addProgress;
};

// Writes the information file, runs the selected steps, adds the information
// file, writes the archive and removes the scratch files.
BackupOutcome PerformBackup(Environment& env, ZipArchive& zip, const BackupRequest& request,
                            const BackupHooks& hooks = {});

std::string EncodeDescription(const std::string& text);

} // namespace trelmig
